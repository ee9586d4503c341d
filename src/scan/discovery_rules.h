#pragma once
// How one probe's answer becomes a row of the discovery status list, and how the rows become
// the readiness score. Pure functions: the probing itself lives in discovery.cpp.
#include <array>
#include <vector>

#include "common/text.h"
#include "net/http.h"
#include "scan/scan_types.h"

namespace bcnk {

// One published file the scanner looks for. The row's format test follows from its label.
struct DiscoveryFile {
    const char16_t* label;
    const char16_t* path;
    bool scored;
};

// The file rows in the order they are probed and shown; robots.txt comes after them.
extern const std::array<DiscoveryFile, 9> kDiscoveryFiles;

inline constexpr char16_t kRobotsLabel[] = u"robots.txt AI rules";
inline constexpr char16_t kRobotsPath[] = u"/robots.txt";

// The row for one file probe.
DiscoveryCheck JudgeDiscoveryFile(const DiscoveryFile& file, const FetchResult& fetched);

// The row for the robots.txt probe. Also keeps the file in result.robotsTxt when it is a
// real robots.txt (not an HTML error page) and records the status it was served with.
DiscoveryCheck JudgeRobotsTxt(const FetchResult& fetched, ScanResult& result);

}  // namespace bcnk
