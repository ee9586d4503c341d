// The robots.txt parser and the merge that writes robots.txt.NEW. Any owner file, any path and
// any permissions: whatever the owner's file disallows for a table crawler stays disallowed in
// the merged file, crawlers outside the table get the same verdict from both files, and a
// table crawler the form keeps out and the owner never named is kept out everywhere, unless
// the merge asks the owner to review (no room left where crawlers read).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "package/robots.h"
#include "scan/ai_crawlers.h"
#include "scan/robots_rules.h"

namespace {

bool InTable(const std::string& token) {
    for (const bcnk::AiCrawler& crawler : bcnk::AiCrawlers()) {
        if (bcnk::RobotsProductToken(bcnk::Text(crawler.token)) == token) {
            return true;
        }
    }
    return false;
}

// The fuzzed text moved to where crawlers stop reading, behind a rule and comment lines
// (cheap to read, so the runs stay quick).
std::string NearTheParseLimit(const std::string& tail) {
    std::string padded = "User-agent: *\nDisallow: /private\n";
    const std::size_t target =
        bcnk::kRobotsParseLimit - std::min(tail.size() / 2, std::size_t{4096});
    const std::string filler = "# " + std::string(76, '-') + "\n";
    while (padded.size() + filler.size() <= target) {
        padded += filler;
    }
    return padded + tail;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::uint8_t flags = input.ConsumeIntegral<std::uint8_t>();
    std::vector<std::string> paths = {"/", "/a", "/private/x", "/x.php?y"};
    for (int i = 0; i < 3; ++i) {
        paths.push_back(bcnk::RobotsPathOf(bcnk::Utf8ToWide(input.ConsumeRandomLengthString(48))));
    }
    const std::string otherAgent = bcnk::RobotsProductToken(input.ConsumeRandomLengthString(16));
    std::string owner = input.ConsumeRemainingBytesAsString();
    if ((flags & 0xF0) == 0xF0) {
        owner = NearTheParseLimit(owner);
    }

    bcnk::ScanResult scan;
    scan.baseUrl = u"https://example.com";
    scan.robotsStatus = 200;
    scan.robotsFound = true;
    scan.robotsTxt = bcnk::Utf8ToWide(owner);
    scan.robotsBytes = owner;
    bcnk::PackageForm form;
    form.allowTraining = flags & 1;
    form.allowCitation = flags & 2;
    form.allowSummarisation = flags & 4;
    form.addRobotsRules = (flags & 8) == 0;

    // Bytes on both sides, as crawlers get them: the owner's file need not be UTF-8.
    const bcnk::RobotsTxt before = bcnk::ParseRobotsTxt(std::string_view(owner));
    const std::string merged = bcnk::MakeRobotsTxtBytes(scan, form, u"2026-01-01");
    const bcnk::RobotsTxt after = bcnk::ParseRobotsTxt(std::string_view(merged));
    // The owner's bytes come through unchanged, with at most one section put in between.
    const auto prefix = std::mismatch(owner.begin(), owner.end(), merged.begin(), merged.end());
    const auto suffix = std::mismatch(owner.rbegin(), owner.rend(), merged.rbegin(), merged.rend());
    FUZZ_CHECK(static_cast<std::size_t>((prefix.first - owner.begin()) +
                                        (suffix.first - owner.rbegin())) >= owner.size());

    std::vector<std::string> outsiders = {"googlebot", "bingbot", "*", "zz-unlisted"};
    if (!otherAgent.empty() && !InTable(otherAgent)) {
        outsiders.push_back(otherAgent);
    }
    for (const std::string& agent : outsiders) {
        const bcnk::RobotsRuleSet was = bcnk::RulesFor(before, agent);
        const bcnk::RobotsRuleSet now = bcnk::RulesFor(after, agent);
        for (const std::string& path : paths) {
            FUZZ_CHECK(bcnk::Decide(was, path).allowed == bcnk::Decide(now, path).allowed);
        }
    }
    // Asked once and only when needed: it merges the file a second time.
    std::optional<bool> review;
    const auto reviewed = [&] {
        if (!review) {
            review = bcnk::RobotsRulesDifferFromChoices(scan, form);
        }
        return *review;
    };
    const bcnk::CrawlerPermissions permissions{form.allowTraining, form.allowCitation,
                                               form.allowSummarisation};
    for (const bcnk::AiCrawler& crawler : bcnk::AiCrawlers()) {
        const std::string token = bcnk::RobotsProductToken(bcnk::Text(crawler.token));
        const bcnk::RobotsRuleSet was = bcnk::RulesFor(before, token);
        const bcnk::RobotsRuleSet now = bcnk::RulesFor(after, token);
        const bool keptOut = form.addRobotsRules && !was.ownGroup &&
                             !bcnk::PermitsPurpose(permissions, crawler.purpose);
        for (const std::string& path : paths) {
            const bool allowedNow = bcnk::Decide(now, path).allowed;
            FUZZ_CHECK(bcnk::Decide(was, path).allowed || !allowedNow);
            FUZZ_CHECK(!keptOut || !allowedNow || reviewed());
        }
    }
    return 0;
}
