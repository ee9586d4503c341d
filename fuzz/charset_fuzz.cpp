// A Content-Type value up to the first line feed, then the body: whatever both hold,
// detection and decoding must not fault, must stay inside the input and must give well-formed
// UTF-16. The body is passed as a view of the fuzzer's own buffer, so a read past its end is
// caught.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/charset.h"
#include "fuzz_check.h"

namespace {

bool WellFormed(const bcnk::Text& text) {
    bool lowDue = false;
    for (const char16_t unit : text) {
        const bool high = (unit & 0xFC00) == 0xD800;
        const bool low = (unit & 0xFC00) == 0xDC00;
        if (low != lowDue) {
            return false;
        }
        lowDue = high;
    }
    return !lowDue;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\n');
    const std::string_view contentType =
        split == std::string_view::npos ? std::string_view() : input.substr(0, split);
    const std::string_view body = split == std::string_view::npos ? input : input.substr(split + 1);

    const bcnk::DetectedCharset detected = bcnk::DetectCharset(body, contentType);
    FUZZ_CHECK(detected.bomLength <= body.size());
    bcnk::Charset named;
    bcnk::CharsetFromLabel(contentType, named);

    const bcnk::Text text =
        bcnk::DecodePageText(std::string(body), bcnk::Utf8ToWide(std::string(contentType)));
    FUZZ_CHECK(WellFormed(text));

    // The same bytes through one of the platform converters, whatever the page declared.
    const auto legacy = static_cast<bcnk::Charset>(static_cast<int>(bcnk::Charset::Windows1250) +
                                                   (size == 0 ? 0 : data[0] % 11));
    bcnk::Text converted;
    if (bcnk::ConvertLegacyBytes(body, legacy, converted)) {
        FUZZ_CHECK(WellFormed(converted));
        FUZZ_CHECK(converted.size() <= body.size() + 1);
    }
    return 0;
}
