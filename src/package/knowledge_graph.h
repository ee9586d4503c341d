#pragma once
// knowledge-graph.json (a starter schema.org graph) and tdmrep.json (the text-and-data-mining
// reservation).
#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

Text MakeKnowledgeGraph(const ScanResult& scan, const PackageForm& form);
Text MakeTdmRep(const ScanResult& scan, const PackageForm& form);

// The crawled privacy page's address as stored, or the origin followed by "/" when none was
// crawled under one of the usual names.
Text FindPrivacyPage(const ScanResult& scan);

}  // namespace bcnk
