#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "net/url.h"

namespace bcnk {
namespace {

// One row per input of a function from text to text; the row's input is printed on failure.
struct TextRow {
    Text input;
    Text expected;
};

void ExpectRows(Text (*function)(const Text&), const std::vector<TextRow>& rows) {
    for (const TextRow& row : rows) {
        EXPECT_EQ(function(row.input), row.expected) << "input: " << WideToUtf8(row.input);
    }
}

UrlParts Parts(bool secure, const Text& host, int port, const Text& path) {
    return UrlParts{secure, host, port, path, !host.empty()};
}

TEST(ParseUrl, SplitsAddresses) {
    struct Row {
        Text input;
        UrlParts expected;
    };
    const std::vector<Row> rows = {
        {u"example.com", Parts(true, u"example.com", 443, u"/")},
        {u"http://Example.com:8080/a?b#c", Parts(false, u"Example.com", 8080, u"/a?b#c")},
        {u"https://user:pw@example.org/x", Parts(true, u"example.org", 443, u"/x")},
        {u"https://example.org:abc/", Parts(true, u"example.org", 443, u"/")},
        {u"https://", Parts(true, u"", 443, u"/")},
        {u"http://", Parts(false, u"", 80, u"/")},
        {u"  https://Example.com \t", Parts(true, u"Example.com", 443, u"/")},
        {u"example.com#top", Parts(true, u"example.com", 443, u"/#top")},
        {u"example.com/a#b", Parts(true, u"example.com", 443, u"/a#b")},
        {u"example.com?x=1", Parts(true, u"example.com", 443, u"/?x=1")},
        {u"https://example.com?q=a/b", Parts(true, u"example.com", 443, u"/?q=a/b")},
        // Only exactly "http" (any case) is insecure; unknown schemes count as secure.
        {u"HTTP://x", Parts(false, u"x", 80, u"/")},
        {u"Https://x", Parts(true, u"x", 443, u"/")},
        {u"ftp://x/y", Parts(true, u"x", 443, u"/y")},
        // User-info is dropped through the first "@" only.
        {u"http://user:p@ss@example.org/", Parts(false, u"ss@example.org", 80, u"/")},
        {u"http://a:b@c:d@host:81/", Parts(false, u"c", 80, u"/")},
        {u"http://@example.org", Parts(false, u"example.org", 80, u"/")},
        // Ports read like wcstol: white space, sign, leading digits; 0 means the default.
        {u"http://example.com:0/", Parts(false, u"example.com", 80, u"/")},
        {u"http://example.com: 8080/", Parts(false, u"example.com", 8080, u"/")},
        {u"http://example.com:+8080", Parts(false, u"example.com", 8080, u"/")},
        {u"http://example.com:81x", Parts(false, u"example.com", 81, u"/")},
        {u"http://example.com:-1/", Parts(false, u"example.com", -1, u"/")},
        {u"http://example.com:", Parts(false, u"example.com", 80, u"/")},
        {u"http://example.com:99999999999/", Parts(false, u"example.com", INT_MAX, u"/")},
        {u"http://example.com:-99999999999/", Parts(false, u"example.com", INT_MIN, u"/")},
        {u"http://:8080/", Parts(false, u"", 8080, u"/")},
        // An IPv6 literal keeps its brackets; only a colon after "]" starts the port.
        {u"http://[::1]:8080/x", Parts(false, u"[::1]", 8080, u"/x")},
        {u"[fe80::1]", Parts(true, u"[fe80::1]", 443, u"/")},
        {u"//example.com/x", Parts(true, u"", 443, u"//example.com/x")},
        // A "://" inside the path or query of a scheme-less address is not a scheme.
        {u"example.com/?next=http://other.org/",
         Parts(true, u"example.com", 443, u"/?next=http://other.org/")},
        {u"https://example.com/go?to=http://other.org",
         Parts(true, u"example.com", 443, u"/go?to=http://other.org")},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseUrl(row.input), row.expected) << "input: " << WideToUtf8(row.input);
    }
}

TEST(ParseUrl, EmptyInputGivesFreshParts) {
    EXPECT_EQ(ParseUrl(u""), UrlParts());
    EXPECT_EQ(ParseUrl(u" \t\r\n"), UrlParts());
    EXPECT_FALSE(UrlParts().valid);
    EXPECT_EQ(UrlParts().port, 0);
}

TEST(OriginOf, SchemeHostAndNonDefaultPort) {
    ExpectRows(OriginOf, {
                             {u"https://example.com:443/", u"https://example.com"},
                             {u"http://example.com:443/", u"http://example.com:443"},
                             {u"HTTP://Shop.Example.com:80/x", u"http://Shop.Example.com"},
                             {u"example.com:8443", u"https://example.com:8443"},
                             {u"https://user@Example.com/#top", u"https://Example.com"},
                             {u"http://example.com:-5/", u"http://example.com:-5"},
                             {u"https://", u""},
                             {u"", u""},
                         });
}

TEST(HostKey, LowerCasedHostWithoutPort) {
    ExpectRows(HostKey, {
                            {u"https://WWW.Example.com:8080/x", u"www.example.com"},
                            {u"example.com:8080", u"example.com"},
                            {u"http://example.com", u"example.com"},
                            {u"https://", u""},
                            {u"", u""},
                        });
}

TEST(DuplicateKey, SamePageSameKey) {
    ExpectRows(
        DuplicateKey,
        {
            {u"https://Example.com/Blog/index.html", u"https://example.com/Blog"},
            {u"https://example.com/blog/", u"https://example.com/blog"},
            {u"http://example.com:80", u"http://example.com/"},
            {u"https://example.com/a/?Q=1", u"https://example.com/a?Q=1"},
            {u"https://example.com/index.php", u"https://example.com/"},
            {u"http://example.com/a", u"http://example.com/a"},
            {u"https://example.com/a", u"https://example.com/a"},
            {u"https://example.com/default.htm", u"https://example.com/"},
            {u"https://EXAMPLE.com", u"https://example.com/"},
            {u"https://example.com/blog/index.html?page=2", u"https://example.com/blog?page=2"},
            {u"https://example.com/a//", u"https://example.com/a/"},
            {u"https://example.com:8443/X", u"https://example.com:8443/X"},
            {u"https://example.com/myindex.html", u"https://example.com/myindex.html"},
            {u"https://example.com/index.html.bak", u"https://example.com/index.html.bak"},
            {u"https://example.com/a/index.html/", u"https://example.com/a/index.html"},
            {u"https://example.com/a/?x=/B/", u"https://example.com/a?x=/B/"},
            {u"https://example.com/index.htm?", u"https://example.com/?"},
            // Paths are case-sensitive: these are two pages (a server that folds case gets
            // one visit per spelling, as with other crawlers).
            {u"https://example.com/ABOUT.html", u"https://example.com/ABOUT.html"},
            {u"https://example.com/about.html", u"https://example.com/about.html"},
            {u"https://example.com/Index.PHP", u"https://example.com/Index.PHP"},
            // The spelling of an escape folds; what it stands for does not.
            {u"https://example.com/%7euser/%c3%A9?q=%7E", u"https://example.com/~user/%C3%A9?q=~"},
            {u"https://example.com/~user/\u00E9", u"https://example.com/~user/%C3%A9"},
            {u"https://example.com/a%2Fb", u"https://example.com/a%2Fb"},
            // A fragment never makes another page.
            {u"https://example.com/#Top", u"https://example.com/"},
            {u"https://example.com/index.html#top", u"https://example.com/"},
            {u"https://example.com/a?x=1#top", u"https://example.com/a?x=1"},
            // Validity is not checked: an unusable address keys with an empty host.
            {u"http://", u"http:///"},
        });
}

TEST(ResolveLink, ResolvesAgainstPage) {
    struct Row {
        Text page;
        Text href;
        Text expected;
    };
    const Text guide = u"https://example.com/docs/guide?x=1";
    const std::vector<Row> rows = {
        {guide, u"intro", u"https://example.com/docs/intro"},
        {guide, u"../about/", u"https://example.com/about/"},
        {guide, u"?x=2", u"https://example.com/docs/?x=2"},
        {guide, u"./a//b/../c", u"https://example.com/docs/a/c"},
        {guide, u"/a//b/./c", u"https://example.com/a/b/c"},
        {guide, u"../../../../x", u"https://example.com/x"},
        {u"http://example.com/a/b", u"//cdn.example.com/x", u"http://cdn.example.com/x"},
        {u"https://example.com/a/b", u"//cdn.example.com/x", u"https://cdn.example.com/x"},
        {u"http://example.com/a/b", u"  /contact#form  ", u"http://example.com/contact"},
        {u"https://example.com:8443/a/", u"b", u"https://example.com:8443/a/b"},
        {u"example.com/a/b", u"c", u"https://example.com/a/c"},
        {u"https://example.com", u"c", u"https://example.com/c"},
        // A fragment on the page address does not change where relative links point.
        {u"https://example.com/docs/guide#top", u"intro", u"https://example.com/docs/intro"},
        // The page's query is part of its path here: a "/" in it shifts the directory.
        {u"https://example.com/a/b?x=c/d", u"e", u"https://example.com/a/b?x=c/e"},
        // Absolute links are normalised but keep their own host and case.
        {guide, u"HTTP://Example.com/a/../b", u"http://Example.com/b"},
        {guide, u"https://other.org", u"https://other.org/"},
        {u"", u"https://other.org:443/x/./y", u"https://other.org/x/y"},
        // Only http(s) links are followed; no other scheme becomes a path on the site.
        {guide, u"ftp://files.example.com/x", u""},
        {guide, u"news:comp.lang", u""},
        {guide, u"urn:isbn:0451450523", u""},
        {guide, u"Irc+x.y-z://host/", u""},
        {guide, u"http:intro", u""},
        // A colon after the first "/", "?" or "#" is no scheme.
        {guide, u"a/b:c", u"https://example.com/docs/a/b:c"},
        {guide, u"?next=http://other.org", u"https://example.com/docs/?next=http://other.org"},
        {guide, u"2024:notes", u"https://example.com/docs/2024:notes"},
        {guide, u"https://example.com/x#part", u"https://example.com/x"},
        // Links not to be followed.
        {guide, u"#section", u""},
        {guide, u"   ", u""},
        {guide, u"", u""},
        {guide, u"JavaScript:void(0)", u""},
        {guide, u"mailto:a@example.com", u""},
        {guide, u"TEL:+123", u""},
        {guide, u"data:text/html,hi", u""},
        {u"", u"intro", u""},
        {u"https://", u"/x", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ResolveLink(row.page, row.href), row.expected)
            << "page: " << WideToUtf8(row.page) << " href: " << WideToUtf8(row.href);
    }
}

TEST(NormalizeAbsolute, CleansPathOnly) {
    ExpectRows(NormalizeAbsolute,
               {
                   {u"HTTPS://Example.COM:443/a/./b/../c//d?x=1", u"https://Example.COM/a/c/d?x=1"},
                   {u"https://example.com?q=1", u"https://example.com/?q=1"},
                   {u"http://example.com:8080//a/../../b?x=../y//z",
                    u"http://example.com:8080/b?x=../y//z"},
                   {u"https://example.com/A/B/", u"https://example.com/A/B/"},
                   {u"https://", u"https://"},
                   {u"", u""},
               });
}

TEST(RemoveDotSegments, FollowsRfc3986) {
    ExpectRows(RemoveDotSegments, {
                                      {u"/a/b/c/./../../g", u"/a/g"},
                                      {u"mid/content=5/../6", u"mid/6"},
                                      {u"/a/b/../c", u"/a/c"},
                                      {u"/..", u"/"},
                                      {u"/a/.", u"/a/"},
                                      {u"/a/b/..", u"/a/"},
                                      {u"/../../x", u"/x"},
                                      {u"/./", u"/"},
                                      {u"/a/.b/..c/...", u"/a/.b/..c/..."},
                                      {u"../a", u"a"},
                                      {u"./a", u"a"},
                                      {u".", u"/"},
                                      {u"..", u"/"},
                                      {u"", u"/"},
                                      {u"/", u"/"},
                                  });
}

TEST(CollapseSlashes, SingleSlashes) {
    ExpectRows(CollapseSlashes, {
                                    {u"//a///b/", u"/a/b/"},
                                    {u"abc", u"abc"},
                                    {u"", u""},
                                });
}

TEST(UriEscape, EscapesWhatUrisMayNotHoldAndNormalisesEscapes) {
    ExpectRows(
        UriEscape,
        {
            {u"https://example.com/na\u00EFve page.html",
             u"https://example.com/na%C3%AFve%20page.html"},
            // The same page written escaped in lower case and raw gives one address.
            {u"https://example.com/caf%c3%a9.html", u"https://example.com/caf%C3%A9.html"},
            {u"https://example.com/caf\u00E9.html", u"https://example.com/caf%C3%A9.html"},
            {u"https://example.com/%7Euser/%41", u"https://example.com/~user/A"},
            {u"https://example.com/100%/%zz%4", u"https://example.com/100%25/%25zz%254"},
            {u"https://example.com/a<b>\"c\"\\d^e`f{g|h}[i]",
             u"https://example.com/a%3Cb%3E%22c%22%5Cd%5Ee%60f%7Bg%7Ch%7D%5Bi%5D"},
            {u"https://[::1]:8080/p?q=a b&c=d;e#top#two",
             u"https://[::1]:8080/p?q=a%20b&c=d;e#top%23two"},
            {u"https://example.com/ctl\x01\ttab\nnl\x7F",
             u"https://example.com/ctl%01%09tab%0Anl%7F"},
            {u"https://example.com/(a)!$&'*+,;=:@", u"https://example.com/(a)!$&'*+,;=:@"},
            {u"https://h\u00E4st.example/\U0001F600", u"https://h%C3%A4st.example/%F0%9F%98%80"},
            {Text(u"https://example.com/\xD800x"), u"https://example.com/%EF%BF%BDx"},
            {u"", u""},
        });
}

TEST(IsSkippedExtension, EndOfAddressWithoutQuery) {
    struct Row {
        Text address;
        bool skipped;
    };
    const std::vector<Row> rows = {
        {u"https://example.com/IMG.JPG", true},
        {u"https://example.com/llms.txt", true},
        {u"https://example.com/feed.xml?v=2", true},
        {u"https://example.com/font.woff2", true},
        {u"https://example.com/.css", true},
        {u"https://example.com/blog.html", false},
        {u"https://example.com/", false},
        {u"https://example.com/page?file=a.pdf", false},
        {u"https://example.com/js", false},
        {u"https://example.com/x.pdf#page=2", false},
        {u"", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsSkippedExtension(row.address), row.skipped)
            << "address: " << WideToUtf8(row.address);
    }
}

}  // namespace
}  // namespace bcnk
