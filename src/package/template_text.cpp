#include "package/template_text.h"

#include "net/url.h"

namespace bcnk {

Text ProductHeading(const PageRecord& page) {
    if (!page.productName.empty()) {
        return page.productName;
    }
    if (!page.h1.empty()) {
        return page.h1;
    }
    return page.title;
}

Text AboutText(const ScanResult& scan, const PackageForm& form) {
    return form.description.empty() ? scan.siteDescription : form.description;
}

Text JsonString(const Text& value) {
    // Built by appending: g++ 12 at -O3 misreads the operator+ chain as overlapping copies.
    Text quoted;
    const Text escaped = JsonEscape(value);
    quoted.reserve(escaped.size() + 2);
    quoted += u'"';
    quoted += escaped;
    quoted += u'"';
    return quoted;
}

Text JsonBool(bool value) {
    return value ? u"true" : u"false";
}

std::size_t CountPagesOfClass(const ScanResult& scan, PageClass pageClass) {
    std::size_t count = 0;
    for (const PageRecord& page : scan.pages) {
        if (page.pageClass == pageClass) {
            ++count;
        }
    }
    return count;
}

namespace {

bool IsLineBreakOrTab(char16_t unit) {
    return (unit >= 0x09 && unit <= 0x0D) || unit == 0x85 || unit == 0x2028 || unit == 0x2029;
}

bool IsDroppedControl(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0xFFFE || unit == 0xFFFF;
}

// Whether the text, at the start of a line, would begin a heading, quote, list or table.
bool StartsBlock(const Text& text) {
    if (text.empty()) {
        return false;
    }
    if (Text(u"#>-+*=|").find(text.front()) != Text::npos) {
        return true;
    }
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9') {
        ++digits;
    }
    return digits > 0 && digits < text.size() && (text[digits] == u'.' || text[digits] == u')');
}

}  // namespace

Text MarkdownText(const Text& value) {
    Text line;
    line.reserve(value.size());
    for (const char16_t unit : value) {
        if (IsLineBreakOrTab(unit)) {
            line += u' ';
        } else if (!IsDroppedControl(unit)) {
            line += unit;
        }
    }
    line = Trim(line);
    Text out;
    out.reserve(line.size() + 8);
    for (const char16_t unit : line) {
        if (unit == u'\\' || unit == u'[' || unit == u']' || unit == u'<' || unit == u'>') {
            out += u'\\';
        }
        out += unit;
    }
    if (StartsBlock(out)) {
        // Before a digit run the marker is the character after it ("1." or "1)").
        size_t at = 0;
        while (out[at] >= u'0' && out[at] <= u'9') {
            ++at;
        }
        out.insert(at, 1, u'\\');
    }
    return out;
}

Text MarkdownLink(const Text& text, const Text& address) {
    // Built by appending: g++ 12's Release build reports a false overlap for u"[" + Text.
    Text link = u"[";
    link += MarkdownText(text);
    link += u"](";
    for (const char16_t unit : UriEscape(address)) {
        if (unit == u'(') {
            link += u"%28";
        } else if (unit == u')') {
            link += u"%29";
        } else {
            link += unit;
        }
    }
    link += u")";
    return link;
}

std::vector<Text> LlmsHead(const PackageForm& form, const Text& markdownAbout) {
    std::vector<Text> blocks = {u"# " + MarkdownText(form.name) + u"\n"};
    if (!markdownAbout.empty()) {
        blocks.push_back(u"> " + markdownAbout + u"\n");
    }
    return blocks;
}

Text LlmsListEntry(const Text& linkText, const PageRecord& page) {
    return LlmsListEntry(linkText, page.url, page.description);
}

Text LlmsListEntry(const Text& linkText, const Text& address, const Text& description) {
    // A link needs a text; a page whose name is nothing but control characters goes by its
    // address.
    const bool named = !MarkdownText(linkText).empty();
    Text entry = u"- " + MarkdownLink(named ? linkText : UriEscape(address), address);
    const Text text = MarkdownText(description);
    if (!text.empty()) {
        entry += u": " + text;
    }
    return entry + u"\n";
}

Text JoinBlocks(const std::vector<Text>& blocks) {
    Text out;
    for (const Text& block : blocks) {
        out += (out.empty() ? u"" : u"\n") + block;
    }
    return out;
}

}  // namespace bcnk
