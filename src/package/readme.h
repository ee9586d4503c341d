#pragma once
// README.txt and upload-map.txt: what the package holds and where each file goes.
#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

Text MakeReadme(const ScanResult& scan);
// The same, with the cautions the form's choices call for.
Text MakeReadme(const ScanResult& scan, const PackageForm& form);
// The map of the ten files that every package holds.
Text MakeUploadMap();
// The same, with the robots.txt line asking for a review when the site's own rules for AI
// crawlers differ from the choices made on the form.
Text MakeUploadMap(bool robotsNeedReview);

// The map of the files this scan's package holds: llms.txt too when the site has none.
Text MakeUploadMap(const ScanResult& scan);
Text MakeUploadMap(const ScanResult& scan, bool robotsNeedReview);

// The same README stamped with a given date instead of today's.
Text MakeReadme(const ScanResult& scan, const Text& date);

}  // namespace bcnk
