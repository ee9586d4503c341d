#include "package/markdown_notes.h"

#include "net/url.h"

namespace bcnk {

namespace {

// The path part of an address, escaped as a link needs it: "/guides/vat.html.md".
Text AddressPath(const Text& address) { return UriEscape(ParseUrl(address).path); }

// The example shown to the owner: a page of its own rather than a folder's index.
const MarkdownTwin& ExampleTwin(const std::vector<MarkdownTwin>& twins) {
    for (const MarkdownTwin& twin : twins) {
        if (!twin.fileName.ends_with(u"/index.html.md")) {
            return twin;
        }
    }
    return twins.front();
}

// Inserts `lines` after the line of llms.txt, else after that of llms-lite.txt, else at
// the end: the llms files stay together.
void InsertAfterLlmsLines(Text& text, const Text& lines) {
    size_t at = text.find(u"\nllms.txt ");
    if (at == Text::npos) {
        at = text.find(u"\nllms-lite.txt ");
    }
    at = at == Text::npos ? text.size() : text.find(u'\n', at + 1);
    at = at == Text::npos ? text.size() : at + 1;
    text.insert(at, lines);
}

// How a page points at its twin, with the first twin as the example.
Text AlternateLinkLines(const MarkdownTwin& example, const Text& indent) {
    const Text twinPath = AddressPath(example.address);
    return indent + u"- in the page's <head>: <link rel=\"alternate\" type=\"text/markdown\" href=\"" +
           twinPath + u"\">\n" + indent + u"- or as an HTTP header of the page: Link: <" + twinPath +
           u">; rel=\"alternate\"; type=\"text/markdown\"\n";
}

}  // namespace

void AddMarkdownToReadme(Text& readme, const std::vector<MarkdownTwin>& twins, bool withFull,
                         bool llmsTxtLinksThem) {
    Text files;
    if (withFull) {
        files += u"llms-full.txt         [REVIEW] Your pages' main content in one Markdown file\n"
                 u"                      for AI systems that read a site whole.\n";
    }
    if (!twins.empty()) {
        files += u"md/                   [REVIEW] A Markdown version of each page, without its\n"
                 u"                      menus and footers: ";
        files += NumberText(static_cast<long long>(twins.size()));
        files += u" files.\n";
    }
    InsertAfterLlmsLines(readme, files);
    if (twins.empty()) {
        return;
    }
    const MarkdownTwin& example = ExampleTwin(twins);
    Text note = u"MARKDOWN VERSIONS\n"
                u"-----------------\n"
                u"AI systems read a page's Markdown version at the page's address plus .md\n"
                u"(" + AddressPath(example.address) + u" for " +
                UriEscape(ParseUrl(example.pageAddress).path) + u").\n"
                u"Upload what is inside md/ to your web root, so each file lands beside\n"
                u"its page, and read a few first: they are your pages' text as the scan\n"
                u"found it.";
    note += llmsTxtLinksThem ? u" llms.txt links to them.\n" : u"\n";
    note += u"To point AI readers from a page to its version, add to each page\n";
    note += AlternateLinkLines(example, u"");
    note += u"\n";
    const Text before = u"REVIEW NOTES\n";
    const size_t at = readme.find(before);
    readme.insert(at == Text::npos ? readme.size() : at, note);
}

void AddMarkdownToUploadMap(Text& map, const std::vector<MarkdownTwin>& twins, bool withFull) {
    Text lines;
    if (withFull) {
        lines += u"llms-full.txt         -> WEB ROOT/llms-full.txt\n";
    }
    if (!twins.empty()) {
        const MarkdownTwin& example = ExampleTwin(twins);
        lines += u"md/ (Markdown versions of your pages) -> into WEB ROOT as it is: the folders "
                 u"and files inside md/ go to the same places in WEB ROOT, each beside its page (";
        lines += example.fileName + u" -> WEB ROOT" + ParseUrl(example.address).path +
                 u"). Then, so AI readers find each page's version, add to each page\n";
        lines += AlternateLinkLines(example, u"  ");
    }
    InsertAfterLlmsLines(map, lines);
}

}  // namespace bcnk
