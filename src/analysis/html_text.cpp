#include "analysis/html_text.h"

#include <cstring>
#include <memory>

#include "analysis/entities.h"
#include "analysis/html_parser.h"
#include "analysis/language.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bcnk {

namespace {

// Set bits of a byte, without relying on a popcount instruction the baseline target lacks.
constexpr unsigned char kBitCounts[256] = {
#define BCNK_B2(n) n, n + 1, n + 1, n + 2
#define BCNK_B4(n) BCNK_B2(n), BCNK_B2(n + 1), BCNK_B2(n + 1), BCNK_B2(n + 2)
#define BCNK_B6(n) BCNK_B4(n), BCNK_B4(n + 1), BCNK_B4(n + 1), BCNK_B4(n + 2)
    BCNK_B6(0), BCNK_B6(1), BCNK_B6(1), BCNK_B6(2)
#undef BCNK_B6
#undef BCNK_B4
#undef BCNK_B2
};

}  // namespace

Text StripMarkup(TextView fragment) {
    Text kept(fragment.size(), u'\0');
    char16_t* out = kept.data();
    size_t count = 0;
    bool insideTag = false;
    const size_t size = fragment.size();
    // Branch-free on purpose: whether a unit is kept follows no pattern a predictor learns.
    for (size_t index = 0; index < size; ++index) {
        const char16_t unit = fragment[index];
        const bool opens = !insideTag && OpensTag(fragment, index);
        const bool closes = unit == u'>';
        out[count] = unit;
        count += static_cast<size_t>(!insideTag && !opens);
        insideTag = opens || (insideTag && !closes);
    }
    kept.resize(count);
    return kept;
}

size_t CountPageWords(TextView page, const MarkupIndex& index) {
    // Room for the kept units plus one spare chunk, left uninitialised: every unit counted is
    // written first, and the spare chunk lets short runs be copied eight units at a time.
    constexpr size_t kChunk = 8;
    const std::unique_ptr<char16_t[]> kept(new char16_t[page.size() + kChunk]);
    char16_t* out = kept.get();
    size_t count = 0;
    auto copyRun = [&](size_t from, size_t end) {
        const size_t length = end - from;
#if defined(__SSE2__)
        if (from + length + kChunk <= page.size()) {
            for (size_t k = 0; k < length; k += kChunk) {
                _mm_storeu_si128(
                    reinterpret_cast<__m128i*>(out + count + k),
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(page.data() + from + k)));
            }
            count += length;
            return;
        }
#endif
        std::memcpy(out + count, page.data() + from, length * sizeof(char16_t));
        count += length;
    };
    // Every "<" was indexed; only those that open a tag end a run of text, and the first
    // ">" behind one ends its tag. A "<" inside a tag opens nothing new.
    const PositionList& opens = index.lessThanSigns;
    size_t next = 0;  // first entry of `opens` not yet passed
    size_t textFrom = 0;
    for (;;) {
        while (next < opens.size() && !OpensTag(page, opens[next]))
            ++next;
        const size_t open = next < opens.size() ? opens[next] : page.size();
        copyRun(textFrom, open);
        const size_t close = open == page.size() ? kNotFound : FindUnit(page, u'>', open);
        if (close == kNotFound)
            break;
        textFrom = close + 1;
        while (next < opens.size() && opens[next] < textFrom)
            ++next;
    }
    return CountDecodedWords(TextView(out, count));
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

size_t CountDecodedWords(TextView stripped) {
    const size_t size = stripped.size();
    size_t words = 0;
    bool inWord = false;
    size_t index = 0;
    while (index < size) {
#if defined(__SSE2__)
        // Eight plain ASCII units without a reference at a time; anything else takes the
        // unit-by-unit path below.
        if (index + 8 <= size) {
            const __m128i chunk =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(stripped.data() + index));
            const __m128i nonAscii = _mm_and_si128(chunk, _mm_set1_epi16(-0x80));
            const __m128i plain = _mm_andnot_si128(_mm_cmpeq_epi16(chunk, _mm_set1_epi16(u'&')),
                                                   _mm_cmpeq_epi16(nonAscii, _mm_setzero_si128()));
            if (_mm_movemask_epi8(plain) == 0xFFFF) {
                const __m128i fromTab = _mm_sub_epi16(chunk, _mm_set1_epi16(0x09));
                const __m128i controlSpace =
                    _mm_and_si128(_mm_cmpgt_epi16(fromTab, _mm_set1_epi16(-1)),
                                  _mm_cmplt_epi16(fromTab, _mm_set1_epi16(5)));
                const __m128i space =
                    _mm_or_si128(controlSpace, _mm_cmpeq_epi16(chunk, _mm_set1_epi16(u' ')));
                const unsigned spaceBits = static_cast<unsigned>(
                    _mm_movemask_epi8(_mm_packs_epi16(space, _mm_setzero_si128())));
                const unsigned wordBits = ~spaceBits & 0xFFu;
                const unsigned previous = (wordBits << 1) | (inWord ? 1u : 0u);
                words += kBitCounts[wordBits & ~previous & 0xFFu];
                inWord = (wordBits & 0x80u) != 0;
                index += 8;
                continue;
            }
        }
#endif
        char32_t character = 0;
        index = DecodedCharacterAt(stripped, index, character);
        // Scripts written without spaces count a word per character, as word processors do;
        // otherwise a page of Japanese would count as a few dozen words.
        if (IsHanOrKana(character)) {
            ++words;
            inWord = false;
            continue;
        }
        const bool space = character <= 0xFFFF && IsSpace(static_cast<char16_t>(character));
        words += static_cast<size_t>(!space && !inWord);
        inWord = !space;
    }
    return words;
}

Text HtmlToText(const Text& fragment) {
    return ReadableText(fragment);
}

}  // namespace bcnk
