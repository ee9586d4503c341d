#pragma once
// The plain records that carry one scan from the form, through the crawl, to the views and
// the package generators. Value types only: copying copies everything.
#include <cstdint>
#include <vector>

#include "common/settings.h"
#include "common/text.h"

namespace bcnk {

enum class PageClass : std::int32_t {
    Product = 0,
    Article = 1,
    Guide = 2,
    Utility = 3,
    Legal = 4,
    Index = 5,
    Other = 6,
};

// The word shown in the page list's "Class" column and in the crawl log; any value outside
// Product..Index shows as "Other".
Text PageClassName(PageClass pageClass);

enum class CheckState : std::int32_t {
    Ok = 0,
    Missing = 1,
    NeedsUpdate = 2,
    Blocking = 3,
};

// The symbol of the status list's "Status" column: "OK", "X", "!" or "BLOCK".
Text CheckStateSymbol(CheckState state);

// Page-limit marker meaning "no limit"; a crawl that stops there is not reported as limited.
constexpr int kNoPageLimit = 1000000;

struct ScanOptions {
    Text startUrl;
    int maxDepth = 3;
    int delayMs = 500;
    int maxPages = 500;
    Text userAgent = DefaultUserAgent();
};

struct PageRecord {
    Text url;
    Text title;
    Text description;
    Text h1;
    Text lastModified;
    std::vector<Text> headings;
    std::vector<Text> schemaTypes;
    Text productName;
    int wordCount = 0;
    int httpStatus = 0;
    int depth = 0;
    PageClass pageClass = PageClass::Other;

    bool operator==(const PageRecord&) const = default;
};

struct DiscoveryCheck {
    Text label;
    Text path;
    CheckState state = CheckState::Ok;
    Text details;
    bool scored = false;

    bool operator==(const DiscoveryCheck&) const = default;
};

struct ScanResult {
    Text host;
    Text baseUrl;
    Text language;
    Text siteDescription;
    Text organizationName;
    Text personName;
    std::vector<PageRecord> pages;
    std::vector<DiscoveryCheck> checks;
    std::vector<Text> topics;
    int elapsedSeconds = 0;
    int score = 0;
    bool pageLimitReached = false;
    Text robotsTxt;
    int robotsStatus = 0;
    bool robotsFound = false;

    bool operator==(const ScanResult&) const = default;
};

}  // namespace bcnk
