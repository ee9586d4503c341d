#include "analysis/html_text.h"

#include "analysis/entities.h"
#include "analysis/html_parser.h"

namespace bcnk {

Text StripMarkup(TextView fragment) {
    Text kept(fragment.size(), u'\0');
    char16_t* out = kept.data();
    size_t count = 0;
    bool insideTag = false;
    // Branch-free on purpose: whether a unit is kept follows no pattern a predictor learns.
    for (const char16_t unit : fragment) {
        const bool opens = unit == u'<';
        const bool closes = unit == u'>';
        out[count] = unit;
        count += static_cast<size_t>(!insideTag && !opens && !closes);
        insideTag = opens || (insideTag && !closes);
    }
    kept.resize(count);
    return kept;
}

Text ReadableText(TextView fragment) {
    const Text stripped = StripMarkup(fragment);
    Text text;
    text.reserve(stripped.size());
    bool spacePending = false;
    // Leading white space is dropped and a trailing run never reaches the text, which is
    // what collapsing and then trimming would give.
    ForEachDecodedUnit(stripped, [&](char16_t unit) {
        if (IsSpace(unit)) {
            spacePending = !text.empty();
            return;
        }
        if (spacePending) {
            text += u' ';
            spacePending = false;
        }
        text += unit;
    });
    return text;
}

size_t CountWords(TextView fragment) {
    const Text stripped = StripMarkup(fragment);
    size_t words = 0;
    bool inWord = false;
    ForEachDecodedUnit(stripped, [&](char16_t unit) {
        const bool space = IsSpace(unit);
        words += static_cast<size_t>(!space && !inWord);
        inWord = !space;
    });
    return words;
}

Text HtmlToText(const Text& fragment) {
    return ReadableText(fragment);
}

}  // namespace bcnk
