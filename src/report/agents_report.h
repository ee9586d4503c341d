#pragma once
// The report's sections on what AI crawlers actually get: the server's answer to each crawler
// beside the robots.txt verdict, and the pages whose content only scripts show.
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// HTML for both sections; empty when neither check ran. Every text from the site is escaped.
Text AgentsReportSections(const ScanResult& scan);

// The report menu's links to those sections, in their order; empty when neither is written.
Text AgentsReportMenuLinks(const ScanResult& scan);

}  // namespace bcnk
