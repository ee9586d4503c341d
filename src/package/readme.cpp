#include "package/readme.h"

namespace bcnk {

Text MakeReadme(const ScanResult& scan) { return MakeReadme(scan, TodayDate()); }

Text MakeReadme(const ScanResult&, const Text&) { return Text(); }

Text MakeUploadMap() { return Text(); }

}  // namespace bcnk
