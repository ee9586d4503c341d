#pragma once
// One package generation from start to end, as both front ends run it: the request is
// logged, the ten files are built and written with their archive, and the outcome logged.
#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

// "Generate requested: name=<name> industry=<industry> founded=<year or -> train=1 cite=1
// summ=0".
Text GenerateRequestLogLine(const PackageForm& form);

// Writes below directory/output/<site folder>/. Never interrupted and never throws; every
// failure is in the outcome.
PackageOutcome GeneratePackage(const Text& directory, const ScanResult& scan,
                               const PackageForm& form);

}  // namespace bcnk
