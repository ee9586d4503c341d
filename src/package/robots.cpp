#include "package/robots.h"

namespace bcnk {

Text MakeRobotsTxt(const ScanResult& scan, const PackageForm& form) {
    return MakeRobotsTxt(scan, form, TodayDate());
}

Text MakeRobotsTxt(const ScanResult&, const PackageForm&, const Text&) { return Text(); }

}  // namespace bcnk
