#pragma once
// llms-full.txt: the site's content in one Markdown file for readers that take a site whole.
// The head is llms.txt's; then each listed page's Markdown in llms.txt's order, under its own
// heading with its address. Readers cut large files short, so the file stops at the form's
// size and names the pages it had no room for.
#include <string>

#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

// True when the form asks for the file and the scan has Markdown for any page (of the whole
// scan, so that every file of a package gives the same answer).
bool WantsLlmsFull(const ScanResult& scan, const PackageForm& form);

// The file's bytes, at most form.fullTextMaxKib KiB.
std::string MakeLlmsFull(const ScanResult& scan, const PackageForm& form);

}  // namespace bcnk
