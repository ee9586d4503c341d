#include "reference_parser.h"

#include "analysis/language.h"

#include <algorithm>

namespace bcnk::fuzz {

namespace {

constexpr size_t npos = Text::npos;

Text ReferenceElementText(const Text& page, const Text& tag) {
    const Text folded = ToLower(page);
    const size_t start = folded.find(u"<" + tag);
    if (start == npos)
        return Text();
    const size_t gt = folded.find(u'>', start);
    if (gt == npos)
        return Text();
    const size_t close = folded.find(u"</" + tag + u">", gt);
    if (close == npos)
        return Text();
    return ReferenceHtmlToText(page.substr(gt + 1, close - gt - 1));
}

bool QuotedValue(const Text& block, const Text& folded, size_t key, Text& value) {
    const size_t colon = folded.find(u':', key);
    if (colon == npos)
        return false;
    const size_t open = block.find(u'"', colon + 1);
    if (open == npos)
        return false;
    const size_t close = block.find(u'"', open + 1);
    if (close == npos)
        return false;
    value = block.substr(open + 1, close - open - 1);
    return true;
}

Text NameAfter(const Text& block, const Text& folded, size_t from) {
    const size_t key = folded.find(u"\"name\"", from);
    Text value;
    if (key == npos || !QuotedValue(block, folded, key, value))
        return Text();
    return DecodeEntities(Trim(value));
}

}  // namespace

Text ReferenceHtmlToText(const Text& fragment) {
    Text stripped;
    bool inside = false;
    for (size_t at = 0; at < fragment.size(); ++at) {
        const char16_t unit = fragment[at];
        const char16_t next = at + 1 < fragment.size() ? fragment[at + 1] : u'\0';
        const bool tagStart = (next >= u'a' && next <= u'z') || (next >= u'A' && next <= u'Z') ||
                              next == u'/' || next == u'!' || next == u'?';
        if (inside) {
            inside = unit != u'>';
        } else if (unit == u'<' && tagStart) {
            inside = true;
        } else {
            stripped += unit;
        }
    }
    const Text decoded = DecodeEntities(stripped);
    Text collapsed;
    bool inSpace = false;
    for (const char16_t unit : decoded) {
        if (IsWhiteSpaceUnit(unit)) {
            if (!inSpace && !collapsed.empty())
                collapsed += u' ';
            inSpace = true;
        } else {
            collapsed += unit;
            inSpace = false;
        }
    }
    return Trim(collapsed);
}

void ReferenceDetectStructuredData(const Text& page, ParsedPage& parsed) {
    const Text folded = ToLower(page);
    size_t from = 0;
    for (;;) {
        const size_t marker = folded.find(u"application/ld+json", from);
        if (marker == npos)
            return;
        const size_t gt = folded.find(u'>', marker);
        if (gt == npos)
            return;
        const size_t close = folded.find(u"</script>", gt);
        if (close == npos)
            return;
        const Text block = page.substr(gt + 1, close - gt - 1);
        const Text foldedBlock = ToLower(block);
        size_t typeFrom = 0;
        for (;;) {
            const size_t key = foldedBlock.find(u"\"@type\"", typeFrom);
            if (key == npos)
                break;
            const size_t colon = foldedBlock.find(u':', key);
            if (colon == npos)
                break;
            Text value;
            if (QuotedValue(block, foldedBlock, key, value)) {
                value = Trim(value);
                auto& types = parsed.schemaTypes;
                if (!value.empty() && std::find(types.begin(), types.end(), value) == types.end()) {
                    types.push_back(value);
                }
            }
            typeFrom = colon + 1;
        }
        const bool organization = foldedBlock.find(u"\"organization\"") != npos;
        if (parsed.organizationName.empty() && organization) {
            parsed.organizationName = NameAfter(block, foldedBlock, 0);
        }
        const size_t person = foldedBlock.find(u"\"person\"");
        if (parsed.personName.empty() && !organization && person != npos) {
            parsed.personName = NameAfter(block, foldedBlock, person);
        }
        size_t anchor = foldedBlock.find(u"\"softwareapplication\"");
        if (anchor == npos)
            anchor = foldedBlock.find(u"\"product\"");
        if (parsed.productName.empty() && anchor != npos) {
            parsed.productName = NameAfter(block, foldedBlock, anchor);
        }
        from = close + 9;
    }
}

ParsedPage ReferenceParseHtmlPage(const std::string& body) {
    ParsedPage parsed;
    const Text page = Utf8ToWide(body);
    const Text folded = ToLower(page);

    const size_t html = folded.find(u"<html");
    if (html != npos) {
        const size_t gt = folded.find(u'>', html);
        if (gt != npos) {
            parsed.language = ToLower(GetAttribute(page.substr(html, gt - html + 1), u"lang"));
        }
    }
    parsed.language = parsed.language.substr(0, parsed.language.find(u'-'));

    parsed.title = ReferenceElementText(page, u"title");

    for (size_t from = 0;;) {
        const size_t meta = folded.find(u"<meta", from);
        if (meta == npos)
            break;
        const size_t gt = folded.find(u'>', meta);
        if (gt == npos)
            break;
        const Text tag = page.substr(meta, gt - meta + 1);
        from = gt + 1;
        if (ToLower(GetAttribute(tag, u"name")) == u"description") {
            parsed.description = DecodeEntities(GetAttribute(tag, u"content"));
            break;
        }
    }

    parsed.h1 = ReferenceElementText(page, u"h1");

    for (const Text tag : {u"h1", u"h2"}) {
        const Text opening = u"<" + tag;
        const Text closing = u"</" + tag + u">";
        for (size_t from = 0;;) {
            const size_t start = folded.find(opening, from);
            if (start == npos)
                break;
            const size_t behind = start + opening.size();
            if (behind >= page.size())
                break;
            if (page[behind] != u'>' && !IsWhiteSpaceUnit(page[behind])) {
                from = behind;
                continue;
            }
            const size_t gt = folded.find(u'>', start);
            const size_t close = gt == npos ? npos : folded.find(closing, gt);
            if (close == npos) {
                from = behind;
                continue;
            }
            Text text = ReferenceHtmlToText(page.substr(gt + 1, close - gt - 1));
            if (!text.empty())
                parsed.headings.push_back(text);
            from = close + closing.size();
        }
    }

    ReferenceDetectStructuredData(page, parsed);

    for (size_t from = 0; from + 2 <= page.size();) {
        const size_t start = folded.find(u"<a", from);
        if (start == npos)
            break;
        from = start + 2;
        if (from < page.size() && (page[from] == u'>' || IsWhiteSpaceUnit(page[from]))) {
            const size_t gt = folded.find(u'>', start);
            if (gt == npos)
                break;
            from = gt + 1;
            const Text href = GetAttribute(page.substr(start, gt - start + 1), u"href");
            if (!href.empty())
                parsed.links.push_back(href);
        }
    }

    const Text text = ReferenceHtmlToText(page);
    bool inWord = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t character = text[i];
        if (character >= 0xD800 && character <= 0xDBFF && i + 1 < text.size() &&
            text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            character = 0x10000 + ((character - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        // Han and Kana count a word per character.
        if (IsHanOrKana(character)) {
            ++parsed.wordCount;
            inWord = false;
            continue;
        }
        const bool space = character <= 0xFFFF && IsWhiteSpaceUnit(static_cast<char16_t>(character));
        if (!space && !inWord)
            ++parsed.wordCount;
        inWord = !space;
    }
    return parsed;
}

}  // namespace bcnk::fuzz
