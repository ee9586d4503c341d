#pragma once
// The console summary's part about what AI crawlers actually get: the server's answer to each
// crawler beside the robots.txt verdict, and the content only scripts show.
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk::cli {

// The lines that lead the summary: crawlers robots.txt allows but the server refuses, and
// pages whose content needs scripts. Empty when there are none.
Text AgentSummaryLead(const ScanResult& result);

// Starts with a blank line: the server's answers grouped by verdict, and the render check.
// Empty when neither check ran.
Text AgentSummary(const ScanResult& result);

}  // namespace bcnk::cli
