#pragma once
// The console's JSON: the whole scan result as a documented, versioned contract for scripts.
// docs/scan-result.schema.json describes it and docs/json-output.md explains it; change the
// three together, and raise kJsonSchemaVersion when a field changes meaning or goes away.
#include <string>

#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk::cli {

inline constexpr int kJsonSchemaVersion = 1;

// The result as UTF-8 JSON, keyed by the record field names; enumerations are written by
// name ("Product", "NeedsUpdate"). package is the written package of a generate run, or
// nullptr (written as null) when there is none.
std::string ScanResultJson(const ScanResult& result, const PackageOutcome* package = nullptr);

}  // namespace bcnk::cli
