#pragma once
// Where each page's Markdown twin goes: at the page's address plus ".md" ("/guides/vat.html"
// -> "/guides/vat.html.md", a folder "/blog/" -> "/blog/index.html.md"), so in the package at
// "md/" plus the same path, a tree the owner copies into the web root as it is.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// The package's folder of twins, and the first part of every twin's name in it.
inline constexpr char16_t kTwinFolder[] = u"md";

struct MarkdownTwin {
    Text pageAddress;
    Text fileName;  // "md/guides/vat.html.md": '/'-separated, as in the archive
    Text address;   // "https://example.com/guides/vat.html.md"
    std::uint64_t markdownAt = 0;  // where the scan's spool holds it
    std::uint32_t markdownBytes = 0;
};

// The twin's address for a page address; empty when the page can have no twin file: its
// address has a query, or a path that is no safe file name on every system the package may
// be unpacked on.
Text TwinAddress(const Text& pageAddress);

// The twins of `scan`'s pages that have Markdown spooled, in page order. Two addresses that
// differ only in case would be one file on Windows and macOS, so the first keeps its twin.
std::vector<MarkdownTwin> PlanMarkdownTwins(const ScanResult& scan);

// The same as a look-up from a page's address to its twin's.
using TwinAddresses = std::unordered_map<Text, Text>;
TwinAddresses PublishedTwinAddresses(const ScanResult& scan);

}  // namespace bcnk
