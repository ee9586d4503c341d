#pragma once
// Turning what the user typed and picked into the records a scan and a package start from.
#include "common/text.h"
#include "package/package.h"
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

// The Generate panel's values as read from its controls, with the texts trimmed.
PackageForm MakePackageForm(const PackageForm& typed);

// The User-Agent the Settings dialog stores for what was typed: trimmed, and the built-in
// one when nothing is left.
Text UserAgentFromField(const Text& typed);

// A quick look at the host part before the crawl validates the address properly: it must
// hold a dot and only letters, digits, '-' and '.'. The scheme is not looked at.
bool LooksLikeWebAddress(const Text& address);

// Letters and digits by the platform's own wide-character classification, so accented
// host names pass the quick check.
bool IsLetterOrDigitUnit(char16_t unit);

}  // namespace bcnk
