#pragma once
// ai-discovery.json and ai-discovery.md: the site, its owner and the owner's AI permissions,
// once for machines and once for people.
#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

Text MakeAiDiscoveryJson(const ScanResult& scan, const PackageForm& form);
Text MakeAiDiscoveryMd(const ScanResult& scan, const PackageForm& form);

// The same texts stamped with a given date instead of today's, so they can be compared whole.
Text MakeAiDiscoveryJson(const ScanResult& scan, const PackageForm& form, const Text& date);
Text MakeAiDiscoveryMd(const ScanResult& scan, const PackageForm& form, const Text& date);

}  // namespace bcnk
