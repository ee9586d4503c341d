#pragma once
// The records of what a site declares about the use of its content (usage preferences), as
// the scan finds them. Filled by scan/usage_preferences; plain values like the other records.
#include <array>
#include <cstdint>
#include <vector>

#include "common/text.h"

namespace bcnk {

enum class UsageAnswer : std::int32_t {
    Unknown = 0,  // nothing said, or nothing readable
    Yes = 1,
    No = 2,
};

// Where a statement was found.
enum class UsageSource : std::int32_t {
    RobotsContentSignal = 0,  // a Content-Signal line in a robots.txt group
    RobotsContentUsage = 1,   // a Content-Usage line in a robots.txt group
    HttpContentUsage = 2,     // the Content-Usage response header of crawled pages
    TdmRepHeader = 3,         // the tdm-reservation response header
    TdmRepMeta = 4,           // the tdm-reservation meta tag
};

struct UsageDeclaration {
    UsageSource source = UsageSource::RobotsContentSignal;
    UsageAnswer answer = UsageAnswer::Unknown;
    Text statement;  // in the source's own words: "ai-train=no", "train-ai=n", "tdm-reservation=1"
    // robots.txt lines: the group's user agents ("*", "gptbot, ccbot"), and the path of a
    // Content-Usage line that has one; empty for page sources.
    Text group;
    Text path;
    // Crawled pages the statement covers: those that sent it (page sources), or those under
    // a robots.txt line's path that the group may fetch; 0 for lines about the whole site.
    int pages = 0;

    bool operator==(const UsageDeclaration&) const = default;
};

struct UsagePurposeFindings {
    UsageAnswer answer = UsageAnswer::Unknown;  // any "no" wins, then any "yes"
    bool conflict = false;                      // some statements say yes, others no
    std::vector<UsageDeclaration> declarations;

    bool operator==(const UsagePurposeFindings&) const = default;
};

struct UsageFindings {
    // Indexed by CrawlerPurpose: training, search, user-triggered.
    std::array<UsagePurposeFindings, 3> purposes;
    int pagesRead = 0;               // crawled pages whose headers and meta tags were read
    int unreadableContentUsage = 0;  // pages whose Content-Usage header did not parse
    Text tdmPolicy;                  // the first tdm-policy given (header or meta tag)

    bool operator==(const UsageFindings&) const = default;
};

}  // namespace bcnk
