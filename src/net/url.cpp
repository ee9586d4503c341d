#include "net/url.h"

#include <array>
#include <climits>
#include <string>
#include <string_view>

namespace bcnk {

namespace {

constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;

int DefaultPort(bool secure) {
    return secure ? kHttpsPort : kHttpPort;
}

bool IsAsciiLetter(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
}

bool StartsWith(const Text& text, const Text& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const Text& text, const Text& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Reads a port the way the C library's wcstol reads a number: leading white space, an
// optional sign, digits up to the first non-digit, 0 when there are none. Saturates at the
// 32-bit range so that both platforms (whose longs differ in width) give the same value.
int ReadPortNumber(const Text& text) {
    size_t index = 0;
    while (index < text.size() && IsWhiteSpaceUnit(text[index])) {
        ++index;
    }
    bool negative = false;
    if (index < text.size() && (text[index] == u'+' || text[index] == u'-')) {
        negative = text[index] == u'-';
        ++index;
    }
    long long value = 0;
    for (; index < text.size() && text[index] >= u'0' && text[index] <= u'9'; ++index) {
        if (value <= static_cast<long long>(INT_MAX) + 1) {
            value = value * 10 + (text[index] - u'0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// "http://" or "https://", the host, and ":port" only when it is not the scheme's default.
Text OriginText(bool secure, const Text& host, int port) {
    Text origin = secure ? u"https://" : u"http://";
    origin += host;
    if (port != DefaultPort(secure)) {
        origin += u':';
        origin += NumberText(port);
    }
    return origin;
}

struct PathAndQuery {
    Text path;
    Text query;  // from the first "?" (included) to the end; empty without one
};

PathAndQuery SplitQuery(const Text& path) {
    const size_t mark = path.find(u'?');
    if (mark == Text::npos) {
        return {path, Text()};
    }
    return {path.substr(0, mark), path.substr(mark)};
}

// The scheme a link starts with ("mailto" of "mailto:a@b"), or empty for a relative link:
// letters, digits, "+", "-" and "." after a first letter, up to a ":".
Text SchemeOf(const Text& link) {
    if (link.empty() || !IsAsciiLetter(link[0])) {
        return Text();
    }
    for (size_t index = 1; index < link.size(); ++index) {
        const char16_t unit = link[index];
        if (unit == u':') {
            return link.substr(0, index);
        }
        if (!IsAsciiLetter(unit) && !(unit >= u'0' && unit <= u'9') && unit != u'+' &&
            unit != u'-' && unit != u'.') {
            return Text();
        }
    }
    return Text();
}

// Moves the first segment of `input` (with its leading "/", if any) to the end of `output`.
void MoveFirstSegment(Text& input, Text& output) {
    const size_t next = input.find(u'/', input.empty() || input[0] != u'/' ? 0 : 1);
    const size_t length = next == Text::npos ? input.size() : next;
    output.append(input, 0, length);
    input.erase(0, length);
}

void DropLastSegment(Text& output) {
    const size_t slash = output.rfind(u'/');
    output.erase(slash == Text::npos ? 0 : slash);
}

}  // namespace

void PrintTo(const UrlParts& parts, std::ostream* os) {
    *os << "{secure=" << parts.secure << " host=\"" << WideToUtf8(parts.host)
        << "\" port=" << parts.port << " path=\"" << WideToUtf8(parts.path)
        << "\" valid=" << parts.valid << "}";
}

UrlParts ParseUrl(const Text& text) {
    UrlParts parts;
    const Text trimmed = Trim(text);
    if (trimmed.empty()) {
        return parts;
    }

    // A "://" that only appears after the first "/", "?" or "#" belongs to the path or the
    // query (example.com/?next=https://other), not to a scheme; taking it as one would send
    // the crawl to the other site.
    Text remainder = trimmed;
    const size_t schemeEnd = trimmed.find(u"://");
    if (schemeEnd != Text::npos && trimmed.find_first_of(u"/?#") >= schemeEnd) {
        parts.secure = ToLower(trimmed.substr(0, schemeEnd)) != u"http";
        remainder = trimmed.substr(schemeEnd + 3);
    }

    Text authority = remainder;
    const size_t pathStart = remainder.find_first_of(u"/?#");
    if (pathStart == Text::npos) {
        parts.path = u"/";
    } else {
        authority = remainder.substr(0, pathStart);
        parts.path = remainder.substr(pathStart);
        if (parts.path[0] != u'/') {
            parts.path.insert(parts.path.begin(), u'/');
        }
    }

    const size_t at = authority.find(u'@');
    if (at != Text::npos) {
        authority.erase(0, at + 1);
    }

    // An IPv6 literal keeps its brackets, as it must be written in an address; its colons
    // are not the port's.
    const size_t colon = authority.find(u':', authority.rfind(u']') + 1);
    if (colon == Text::npos) {
        parts.host = authority;
    } else {
        parts.host = authority.substr(0, colon);
        parts.port = ReadPortNumber(authority.substr(colon + 1));
    }
    if (parts.port == 0) {
        parts.port = DefaultPort(parts.secure);
    }
    parts.valid = !parts.host.empty();
    return parts;
}

Text OriginOf(const Text& address) {
    const UrlParts parts = ParseUrl(address);
    if (!parts.valid) {
        return Text();
    }
    return OriginText(parts.secure, parts.host, parts.port);
}

Text HostKey(const Text& address) {
    const UrlParts parts = ParseUrl(address);
    return parts.valid ? ToLower(parts.host) : Text();
}

Text DuplicateKey(const Text& address) {
    static const std::array<Text, 5> kIndexDocuments = {
        u"/index.html", u"/index.php", u"/index.htm", u"/default.html", u"/default.htm",
    };
    const UrlParts parts = ParseUrl(address);
    // Paths and queries keep their letter case: /ABOUT.html and /about.html are two pages on
    // every case-sensitive server. Only the spelling of escapes folds (%7e, %7E and ~).
    PathAndQuery split = SplitQuery(WithoutFragment(parts.path));
    Text path = UriEscape(split.path);
    for (const Text& document : kIndexDocuments) {
        if (EndsWith(path, document)) {
            path.erase(path.size() - document.size() + 1);
            break;
        }
    }
    if (path.size() > 1 && path.back() == u'/') {
        path.pop_back();
    }
    if (path.empty()) {
        path = u"/";
    }
    return OriginText(parts.secure, ToLower(parts.host), parts.port) + path +
           UriEscape(split.query);
}

Text WithoutFragment(const Text& address) {
    const size_t fragment = address.find(u'#');
    return fragment == Text::npos ? address : address.substr(0, fragment);
}

Text ResolveLink(const Text& pageAddress, const Text& href) {
    Text link = Trim(href);
    const size_t fragment = link.find(u'#');
    if (fragment != Text::npos) {
        link.erase(fragment);
    }
    if (link.empty()) {
        return Text();
    }

    // Only http(s) links are pages of a site; mailto:, ftp://, news: and the like are not
    // links to crawl, and must never be read as relative paths.
    const Text scheme = ToLower(SchemeOf(link));
    if (!scheme.empty()) {
        const bool web = scheme == u"http" || scheme == u"https";
        return web && link.compare(scheme.size(), 3, u"://") == 0 ? NormalizeAbsolute(link)
                                                                  : Text();
    }

    const UrlParts page = ParseUrl(pageAddress);
    if (!page.valid) {
        return Text();
    }
    Text absolute;
    if (StartsWith(link, u"//")) {
        absolute = (page.secure ? u"https:" : u"http:") + link;
    } else if (StartsWith(link, u"/")) {
        absolute = OriginOf(pageAddress) + link;
    } else {
        // The page path still carries its query, so the last "/" may lie inside it: links
        // are resolved the way the stored addresses were always resolved.
        const size_t slash = page.path.rfind(u'/');
        const Text directory = slash == Text::npos ? u"/" : page.path.substr(0, slash + 1);
        absolute = OriginOf(pageAddress) + directory + link;
    }
    return NormalizeAbsolute(absolute);
}

Text NormalizeAbsolute(const Text& address) {
    const UrlParts parts = ParseUrl(address);
    if (!parts.valid) {
        return address;
    }
    PathAndQuery split = SplitQuery(parts.path);
    if (split.path.empty()) {
        split.path = u"/";
    }
    return OriginText(parts.secure, parts.host, parts.port) +
           CollapseSlashes(RemoveDotSegments(split.path)) + split.query;
}

Text RemoveDotSegments(const Text& path) {
    Text input = path;
    Text output;
    while (!input.empty()) {
        if (StartsWith(input, u"../")) {
            input.erase(0, 3);
        } else if (StartsWith(input, u"./")) {
            input.erase(0, 2);
        } else if (StartsWith(input, u"/./")) {
            input.erase(0, 2);
        } else if (input == u"/.") {
            input = u"/";
        } else if (StartsWith(input, u"/../")) {
            input.erase(0, 3);
            DropLastSegment(output);
        } else if (input == u"/..") {
            input = u"/";
            DropLastSegment(output);
        } else if (input == u"." || input == u"..") {
            input.clear();
        } else {
            MoveFirstSegment(input, output);
        }
    }
    return output.empty() ? Text(u"/") : output;
}

Text CollapseSlashes(const Text& path) {
    Text result;
    result.reserve(path.size());
    for (char16_t unit : path) {
        if (unit != u'/' || result.empty() || result.back() != u'/') {
            result += unit;
        }
    }
    return result;
}

bool IsSkippedExtension(const Text& address) {
    static const std::array<Text, 20> kSkippedEndings = {
        u".jpg", u".jpeg", u".png",   u".gif", u".webp", u".svg", u".ico",
        u".css", u".js",   u".json",  u".xml", u".pdf",  u".zip", u".mp4",
        u".mp3", u".woff", u".woff2", u".ttf", u".eot",  u".txt",
    };
    Text lowered = ToLower(address);
    const size_t query = lowered.find(u'?');
    if (query != Text::npos) {
        lowered.erase(query);
    }
    for (const Text& ending : kSkippedEndings) {
        if (EndsWith(lowered, ending)) {
            return true;
        }
    }
    return false;
}

namespace {

int HexValue(char byte) {
    if (byte >= '0' && byte <= '9') {
        return byte - '0';
    }
    const char folded = AsciiLower(byte);
    return folded >= 'a' && folded <= 'f' ? folded - 'a' + 10 : -1;
}

bool IsUnreservedByte(unsigned char byte) {
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

// The gen-delims and sub-delims that may stand anywhere in an address; "#", "[" and "]"
// are decided by where they stand.
bool IsKeptDelimiter(unsigned char byte) {
    static constexpr std::string_view kKept = ":/?@!$&'()*+,;=";
    return kKept.find(static_cast<char>(byte)) != std::string_view::npos;
}

void AppendEscape(Text& out, unsigned char byte) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out += u'%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

}  // namespace

Text UriEscape(const Text& address) {
    const std::string bytes = WideToUtf8(address);
    // Square brackets belong to IP literals in the host and nowhere else.
    size_t authorityEnd = 0;
    const size_t schemeEnd = bytes.find("://");
    if (schemeEnd != std::string::npos) {
        authorityEnd = bytes.find_first_of("/?#", schemeEnd + 3);
        if (authorityEnd == std::string::npos) {
            authorityEnd = bytes.size();
        }
    }
    Text out;
    out.reserve(bytes.size());
    bool inFragment = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '%' && i + 2 < bytes.size() && HexValue(bytes[i + 1]) >= 0 &&
            HexValue(bytes[i + 2]) >= 0) {
            const auto decoded =
                static_cast<unsigned char>(HexValue(bytes[i + 1]) * 16 + HexValue(bytes[i + 2]));
            if (IsUnreservedByte(decoded)) {
                out += static_cast<char16_t>(decoded);
            } else {
                AppendEscape(out, decoded);
            }
            i += 2;
        } else if (IsUnreservedByte(byte) || IsKeptDelimiter(byte) ||
                   ((byte == '[' || byte == ']') && i < authorityEnd) ||
                   (byte == '#' && !inFragment)) {
            inFragment = inFragment || byte == '#';
            out += static_cast<char16_t>(byte);
        } else {
            AppendEscape(out, byte);
        }
    }
    return out;
}

}  // namespace bcnk
