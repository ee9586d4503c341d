#pragma once
// The AI crawlers the program knows by name: what the scan reports access for and what the
// robots.txt generator writes rules for. One table, so the two can never disagree.
#include <span>
#include <vector>

#include "common/text.h"
#include "scan/robots_rules.h"
#include "scan/scan_types.h"

namespace bcnk {

struct AiCrawler {
    const char16_t* token;         // product token as its operator spells it in robots.txt
    const char16_t* operatorName;  // who runs it
    CrawlerPurpose purpose;        // as its operator describes it
    const char16_t* source;        // where the operator says what the crawler is for
};

// Every known crawler, in the order the generator writes them. The first kLongStandingCrawlers
// rows are the groups earlier versions wrote, in their order, so files they produced read the
// same today.
std::span<const AiCrawler> AiCrawlers();
inline constexpr std::size_t kLongStandingCrawlers = 10;

// Whether the owner's permissions let a crawler of this purpose read the site: training
// follows the training choice, search the citation choice, user-triggered fetches the
// summarisation choice.
struct CrawlerPermissions {
    bool training = false;
    bool citation = false;
    bool summarisation = false;
};
bool PermitsPurpose(const CrawlerPermissions& permissions, CrawlerPurpose purpose);

// One row per table crawler: Blocked when the file disallows "/" for it, Partly when "/" is
// allowed but one of the given page addresses is not, else Allowed; with the deciding line.
std::vector<CrawlerAccess> CrawlerAccessFor(const RobotsTxt& file,
                                            const std::vector<Text>& pageAddresses);

// True when some table crawler has a group of its own in the file.
bool NamesAnyAiCrawler(const RobotsTxt& file);

// How the server can recognise the requests made for one table crawler. Google-Extended and
// Applebot-Extended send no requests of their own (their operators' search crawlers fetch
// for them), and Anthropic's retired tokens are served by ClaudeBot today, so those rows
// name the crawler that actually fetches.
struct CrawlerAgent {
    const char16_t* fetchedBy;  // token of the crawler that sends the requests
    bool ownCrawler;            // false when fetchedBy is another crawler than the row's own
    // The full user-agent string as the operator's own page gives it, or empty when no such
    // page gives one: the check then sends the bare token, which is what blocking rules match.
    const char16_t* documented;
    const char16_t* source;     // the page the string was read from; empty with `documented`
};
CrawlerAgent AgentFor(const AiCrawler& crawler);
// The User-Agent text the server check sends for a crawler: the documented string, or the
// fetching crawler's bare token.
Text ProbeUserAgent(const CrawlerAgent& agent);

}  // namespace bcnk
