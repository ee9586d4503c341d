#include "package/knowledge_graph.h"

namespace bcnk {

Text MakeKnowledgeGraph(const ScanResult&, const PackageForm&) { return Text(); }

Text MakeTdmRep(const ScanResult&, const PackageForm&) { return Text(); }

Text FindPrivacyPage(const ScanResult& scan) { return scan.baseUrl + u"/"; }

}  // namespace bcnk
