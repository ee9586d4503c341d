// Raw bytes as a page body: the parser must not fault and must agree with the literal
// scanner on every field.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "reference_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    const bcnk::ParsedPage parsed = bcnk::ParseHtmlPage(body);
    // The literal scanner models the fields every page has; the signals, kind marks and
    // language guesses read later have tests of their own.
    bcnk::ParsedPage modelled = parsed;
    modelled.signals = {};
    modelled.refreshTarget.clear();
    modelled.kindMarks = {};
    modelled.leadSentence.clear();
    modelled.textLanguage.clear();
    modelled.tdmReservation.clear();
    modelled.tdmPolicy.clear();
    FUZZ_CHECK(modelled == bcnk::fuzz::ReferenceParseHtmlPage(body));
    return 0;
}
