#include "package/ai_discovery.h"

namespace bcnk {

Text MakeAiDiscoveryJson(const ScanResult& scan, const PackageForm& form) {
    return MakeAiDiscoveryJson(scan, form, TodayDate());
}

Text MakeAiDiscoveryMd(const ScanResult& scan, const PackageForm& form) {
    return MakeAiDiscoveryMd(scan, form, TodayDate());
}

Text MakeAiDiscoveryJson(const ScanResult&, const PackageForm&, const Text&) { return Text(); }

Text MakeAiDiscoveryMd(const ScanResult&, const PackageForm&, const Text&) { return Text(); }

}  // namespace bcnk
