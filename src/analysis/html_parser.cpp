#include "analysis/html_parser.h"

#include <climits>

#include "analysis/html_text.h"
#include "analysis/language.h"
#include "analysis/markup_index.h"
#include "analysis/meta_refresh.h"
#include "analysis/structured_data.h"
#include "common/charset.h"

namespace bcnk {

namespace {

Text AttributeValue(TextView tag, TextView foldedName) {
    // An empty name would be found again at the same place forever.
    if (foldedName.empty()) {
        return Text();
    }
    const size_t size = tag.size();
    size_t from = 0;
    for (;;) {
        const size_t at = FindFolded(tag, foldedName, from);
        if (at == kNotFound) {
            return Text();
        }
        from = at + foldedName.size();
        // Only a whole attribute name counts, not the tail of another name (xml:lang).
        if (at != 0 && !IsSpace(tag[at - 1]) && tag[at - 1] != u'<') {
            continue;
        }
        size_t index = from;
        while (index < size && IsSpace(tag[index])) {
            ++index;
        }
        if (index >= size || tag[index] != u'=') {
            continue;
        }
        ++index;
        while (index < size && IsSpace(tag[index])) {
            ++index;
        }
        if (index >= size) {
            return Text();
        }
        size_t end;
        if (tag[index] == u'"' || tag[index] == u'\'') {
            const char16_t quote = tag[index];
            ++index;
            end = FindUnit(tag, quote, index);
            if (end == kNotFound) {
                end = size;
            }
        } else {
            end = index;
            while (end < size && !IsSpace(tag[end]) && tag[end] != u'>') {
                ++end;
            }
        }
        while (index < end && IsSpace(tag[index]))
            ++index;
        while (end > index && IsSpace(tag[end - 1]))
            --end;
        return Text(tag.substr(index, end - index));
    }
}

// The start tag that begins at `lessThan`, up to and including its ">"; empty when the page
// ends first. `end` receives the position of the ">".
TextView StartTag(TextView page, size_t lessThan, size_t& end) {
    end = FindUnit(page, u'>', lessThan);
    return end == kNotFound ? TextView() : page.substr(lessThan, end - lessThan + 1);
}

Text FoldedMarker(TextView prefix, const Text& tagName, TextView suffix) {
    Text marker(prefix);
    marker += ToLower(tagName);
    marker += suffix;
    return marker;
}

Text IndexedElementText(TextView page, const MarkupIndex& index, const Text& tagName) {
    const size_t start = FindTagMarker(page, index, FoldedMarker(u"<", tagName, u""), 0);
    if (start == kNotFound) {
        return Text();
    }
    const size_t contentStart = FindUnit(page, u'>', start);
    if (contentStart == kNotFound) {
        return Text();
    }
    const size_t close =
        FindTagMarker(page, index, FoldedMarker(u"</", tagName, u">"), contentStart);
    if (close == kNotFound) {
        return Text();
    }
    return ReadableText(page.substr(contentStart + 1, close - contentStart - 1));
}

Text ReadLanguage(TextView page, const MarkupIndex& index) {
    Text language;
    const size_t start = FindTagMarker(page, index, u"<html", 0);
    if (start != kNotFound) {
        size_t end;
        language = ToLower(AttributeValue(StartTag(page, start, end), u"lang"));
    }
    // Empty when the page declares none; the crawl then asks the header and the text.
    return language.substr(0, language.find(u'-'));
}

// The content of the first <meta name="..."> of that name (folded), entities decoded.
Text ReadMetaContent(TextView page, const MarkupIndex& index, const Text& name) {
    size_t from = 0;
    for (;;) {
        const size_t start = FindTagMarker(page, index, u"<meta", from);
        if (start == kNotFound) {
            return Text();
        }
        size_t end;
        const TextView tag = StartTag(page, start, end);
        if (end == kNotFound) {
            return Text();
        }
        if (ToLower(AttributeValue(tag, u"name")) == name) {
            return DecodeEntities(AttributeValue(tag, u"content"));
        }
        from = end + 1;
    }
}

// The first <meta http-equiv="refresh"> decides, as in browsers.
Text ReadRefreshTarget(TextView page, const MarkupIndex& index) {
    size_t from = 0;
    for (;;) {
        const size_t start = FindTagMarker(page, index, u"<meta", from);
        if (start == kNotFound) {
            return Text();
        }
        size_t end;
        const TextView tag = StartTag(page, start, end);
        if (end == kNotFound) {
            return Text();
        }
        if (ToLower(AttributeValue(tag, u"http-equiv")) == u"refresh") {
            return ImmediateRefreshTarget(DecodeEntities(AttributeValue(tag, u"content")));
        }
        from = end + 1;
    }
}

void AppendHeadings(TextView page, const MarkupIndex& index, TextView tagName,
                    std::vector<Text>& headings) {
    // Appended piece by piece: g++ 12 in Release misreads the chained form as overlapping.
    Text opening = u"<";
    opening.append(tagName);
    Text closing = u"</";
    closing.append(tagName);
    closing += u'>';
    size_t from = 0;
    for (;;) {
        const size_t start = FindTagMarker(page, index, opening, from);
        if (start == kNotFound) {
            return;
        }
        const size_t behind = start + opening.size();
        if (behind >= page.size()) {
            return;
        }
        if (page[behind] != u'>' && !IsSpace(page[behind])) {
            from = behind;  // a longer tag name such as h2x
            continue;
        }
        const size_t contentStart = FindUnit(page, u'>', start);
        const size_t close = contentStart == kNotFound
                                 ? kNotFound
                                 : FindTagMarker(page, index, closing, contentStart);
        // Searching on from a later start could only find the same missing marker missing
        // again, so stopping here gives the same headings without rescanning the page.
        if (close == kNotFound) {
            return;
        }
        Text text = ReadableText(page.substr(contentStart + 1, close - contentStart - 1));
        if (!text.empty()) {
            headings.push_back(std::move(text));
        }
        from = close + closing.size();
    }
}

std::vector<Text> ReadLinks(TextView page, const MarkupIndex& index) {
    std::vector<Text> links;
    size_t from = 0;
    while (from + 2 <= page.size()) {
        const size_t start = FindTagMarker(page, index, u"<a", from);
        if (start == kNotFound) {
            break;
        }
        from = start + 2;
        if (from >= page.size() || (page[from] != u'>' && !IsSpace(page[from]))) {
            continue;  // abbr, area, ...
        }
        size_t end;
        const TextView tag = StartTag(page, start, end);
        if (end == kNotFound) {
            break;
        }
        from = end + 1;
        Text href = AttributeValue(tag, u"href");
        if (!href.empty()) {
            links.push_back(std::move(href));
        }
    }
    return links;
}

Text ReadBaseHref(TextView page, const MarkupIndex& index) {
    size_t from = 0;
    for (;;) {
        const size_t start = FindTagMarker(page, index, u"<base", from);
        if (start == kNotFound) {
            return Text();
        }
        from = start + 5;
        if (from >= page.size() ||
            (page[from] != u'>' && page[from] != u'/' && !IsSpace(page[from]))) {
            continue;  // basefont
        }
        size_t end;
        const TextView tag = StartTag(page, start, end);
        if (end == kNotFound) {
            return Text();
        }
        Text href = AttributeValue(tag, u"href");
        if (!href.empty()) {
            return href;
        }
        from = end + 1;
    }
}


// Enough of the page's own words to tell its language: title, headings, paragraphs.
Text LanguageSample(const ParsedPage& parsed, const std::vector<Text>& paragraphs) {
    constexpr size_t kSampleLength = 4000;
    Text sample = parsed.title;
    for (const std::vector<Text>* list : {&parsed.headings, &paragraphs}) {
        for (const Text& piece : *list) {
            if (sample.size() >= kSampleLength) {
                return sample;
            }
            sample += u' ';
            sample += piece;
        }
    }
    return sample;
}

ParsedPage ParsePageText(const Text& page) {
    ParsedPage parsed;
    const MarkupIndex index = IndexMarkup(page);
    parsed.language = ReadLanguage(page, index);
    parsed.title = IndexedElementText(page, index, u"title");
    parsed.description = ReadMetaContent(page, index, u"description");
    parsed.tdmReservation = ReadMetaContent(page, index, u"tdm-reservation");
    parsed.tdmPolicy = ReadMetaContent(page, index, u"tdm-policy");
    parsed.h1 = IndexedElementText(page, index, u"h1");
    AppendHeadings(page, index, u"h1", parsed.headings);
    AppendHeadings(page, index, u"h2", parsed.headings);
    DetectStructuredData(page, index, parsed);
    parsed.links = ReadLinks(page, index);
    parsed.baseHref = ReadBaseHref(page, index);
    parsed.refreshTarget = ReadRefreshTarget(page, index);
    const size_t words = CountPageWords(page, index);
    parsed.wordCount = words > INT_MAX ? INT_MAX : static_cast<int>(words);
    parsed.signals = ReadPageSignals(page, index);
    parsed.kindMarks = ReadPageKindMarks(page);
    std::vector<Text> paragraphs;
    AppendHeadings(page, index, u"p", paragraphs);
    parsed.leadSentence = LeadSentence(paragraphs);
    parsed.textLanguage = RecognizeLanguage(LanguageSample(parsed, paragraphs));
    return parsed;
}

}  // namespace

// The first sentence of the first paragraph long enough to say something, cut at a word
// boundary when it runs on.
Text LeadSentence(const std::vector<Text>& paragraphs) {
    constexpr size_t kMinimumWords = 8;
    constexpr size_t kMaximumLength = 300;
    for (const Text& paragraph : paragraphs) {
        if (CountDecodedWords(paragraph) < kMinimumWords) {
            continue;
        }
        size_t end = paragraph.size();
        for (size_t at = 0; at < paragraph.size(); ++at) {
            const char16_t unit = paragraph[at];
            const bool fullStop = unit == u'\u3002' || unit == u'\uFF01' || unit == u'\uFF1F';
            const bool stop = (unit == u'.' || unit == u'!' || unit == u'?') &&
                              (at + 1 == paragraph.size() || paragraph[at + 1] == u' ');
            if (fullStop || (stop && at >= 20)) {
                end = at + 1;
                break;
            }
        }
        Text sentence = paragraph.substr(0, end);
        if (sentence.size() > kMaximumLength) {
            const size_t space = sentence.rfind(u' ', kMaximumLength);
            sentence = sentence.substr(0, space == Text::npos || space < kMaximumLength / 2
                                              ? kMaximumLength
                                              : space);
            sentence += u"\u2026";
        }
        return sentence;
    }
    return Text();
}

Text GetAttribute(const Text& tag, const Text& name) {
    return AttributeValue(tag, ToLower(name));
}

Text ElementText(const Text& page, const Text& tagName) {
    return IndexedElementText(page, IndexMarkup(page), tagName);
}

ParsedPage ParseHtmlPage(const std::string& body) {
    return ParsePageText(Utf8ToWide(body));
}

ParsedPage ParseHtmlPage(const std::string& body, const Text& contentType) {
    return ParsePageText(DecodePageText(body, contentType));
}

}  // namespace bcnk
