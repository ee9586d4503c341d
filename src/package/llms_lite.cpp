#include "package/llms_lite.h"

namespace bcnk {

Text MakeLlmsLite(const ScanResult&, const PackageForm&) { return Text(); }

}  // namespace bcnk
