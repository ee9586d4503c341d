// Raw bytes as a page body: the parser must not fault and must agree with the literal
// scanner on every field.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "reference_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    const bcnk::ParsedPage parsed = bcnk::ParseHtmlPage(body);
    FUZZ_CHECK(!parsed.language.empty());
    FUZZ_CHECK(parsed == bcnk::fuzz::ReferenceParseHtmlPage(body));
    return 0;
}
