#pragma once
// llms-lite.txt: a short Markdown summary of the site for language models.
#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

Text MakeLlmsLite(const ScanResult& scan, const PackageForm& form);

}  // namespace bcnk
