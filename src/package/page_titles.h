#pragma once
// How the package names and describes a page: its title without the part the whole site
// repeats, whether it is a page only for finding others, and a short description.
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// The site-wide parts of the pages' titles: the prefix and the suffix (each with its
// separator, e.g. " — Python 3.11.2 documentation") that more than half the titled pages
// share; empty where there is none.
struct SiteTitleParts {
    Text prefix;
    Text suffix;
};

SiteTitleParts FindSiteTitleParts(const std::vector<PageRecord>& pages);

// The title without the site-wide parts; the first h1 when nothing else is left.
Text CleanTitle(const PageRecord& page, const SiteTitleParts& parts);

// Search, general and module indexes, tag archives, login, cart, error pages and paginated
// copies: pages whose only use is leading to others. `cleanTitle` as CleanTitle gives it.
bool IsNavigationOnly(const PageRecord& page, const Text& cleanTitle);

// The page's meta description, else the first sentence of its text; at most about 200
// characters, cut at a word.
Text ShortDescription(const PageRecord& page);

}  // namespace bcnk
