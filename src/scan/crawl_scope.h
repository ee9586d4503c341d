#pragma once
// Which part of a site the owner asked to crawl: path patterns to take and to leave, and
// optionally only the folder of the start address. Links outside the scope are left out like
// links to other sites.
#include <string>
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// The patterns of one typed field: separated by white space or commas ("/docs/ /blog/").
std::vector<Text> SplitPathList(const Text& typed);

class CrawlScope {
  public:
    explicit CrawlScope(const ScanOptions& options);

    // The folder of the start page, once its final address is known ("/ko/" of
    // "/ko/index.html"); only used with withinStartFolder.
    void SetStart(const Text& startAddress);

    // True when the address's path and query lie in the scope. A pattern matches from the
    // start of the path, "*" standing for any run and a final "$" for the end, as in
    // robots.txt; an exclusion wins over an inclusion.
    bool Contains(const Text& address) const;

  private:
    std::vector<std::string> include_;
    std::vector<std::string> exclude_;
    bool withinStartFolder_ = false;
    std::string startFolder_;
};

}  // namespace bcnk
