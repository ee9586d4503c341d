// Bytes as the text of a page that is mostly JSON-LD; each input is also wrapped in a
// script block, so the block reader sees it even without a marker of its own.
#include <cstdint>
#include <string>

#include "analysis/structured_data.h"
#include "fuzz_check.h"
#include "reference_parser.h"

namespace {

void CheckPage(const bcnk::Text& page) {
    bcnk::ParsedPage parsed;
    bcnk::DetectStructuredData(page, parsed);
    bcnk::ParsedPage expected;
    bcnk::fuzz::ReferenceDetectStructuredData(page, expected);
    FUZZ_CHECK(parsed == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const bcnk::Text text =
        bcnk::Utf8ToWide(std::string(reinterpret_cast<const char*>(data), size));
    CheckPage(text);
    CheckPage(u"<script type=\"application/ld+json\">" + text + u"</script>");
    return 0;
}
