#pragma once
// README.txt and upload-map.txt: what the package holds and where each file goes.
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

Text MakeReadme(const ScanResult& scan);
// The map of the ten files that every package holds.
Text MakeUploadMap();

// The map of the files this scan's package holds: llms.txt too when the site has none.
Text MakeUploadMap(const ScanResult& scan);

// The same README stamped with a given date instead of today's.
Text MakeReadme(const ScanResult& scan, const Text& date);

}  // namespace bcnk
