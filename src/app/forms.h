#pragma once
// Turning what the user typed and picked in the scan row and the Settings dialog into the
// values a scan starts from. The Generate form goes through package/package_form.h.
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// The scan row as read from its controls: the address text and the selected list indices
// (-1 when a list has no selection).
struct ScanFormValues {
    Text address;
    int depthIndex = -1;
    int delayIndex = -1;
    int pageLimitIndex = -1;
};

ScanOptions MakeScanOptions(const ScanFormValues& form, const Text& userAgent);

// The User-Agent the Settings dialog stores for what was typed: trimmed, and the built-in
// one when nothing is left.
Text UserAgentFromField(const Text& typed);

// The page count the Settings dialog stores for what was typed in "Pages to render": a whole
// number 0..1000000, else the default of 25.
int RenderPagesFromField(const Text& typed);

}  // namespace bcnk
