// Pairs of bytes as UTF-16 units, so lone surrogates and every unit value reach the decoder.
#include <cstdint>
#include <cstring>

#include "analysis/html_parser.h"
#include "fuzz_check.h"
#include "reference_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    bcnk::Text text(size / 2, u'\0');
    if (!text.empty())
        std::memcpy(text.data(), data, text.size() * 2);

    const bcnk::Text decoded = bcnk::DecodeEntities(text);
    // A reference is never shorter than the one or two units it decodes to.
    FUZZ_CHECK(decoded.size() <= text.size());
    if (text.find(u'&') == bcnk::Text::npos) {
        FUZZ_CHECK(decoded == text);
    }
    FUZZ_CHECK(bcnk::HtmlToText(text) == bcnk::fuzz::ReferenceHtmlToText(text));
    return 0;
}
