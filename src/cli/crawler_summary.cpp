#include "cli/crawler_summary.h"

#include "scan/robots_rules.h"
#include "scan/usage_preferences.h"

namespace bcnk::cli {

namespace {

Text Padded(const Text& text, std::size_t width) {
    return text.size() >= width ? text + u" " : text + Text(width - text.size(), u' ');
}

Text PurposeLine(const ScanResult& result, CrawlerPurpose purpose) {
    int counts[3] = {0, 0, 0};
    for (const CrawlerAccess& row : result.crawlerAccess) {
        if (row.purpose == purpose) {
            ++counts[static_cast<int>(row.access)];
        }
    }
    return u"  " + Padded(CrawlerPurposeName(purpose), 16) +
           NumberText(counts[static_cast<int>(CrawlerAccessLevel::Allowed)]) + u" allowed, " +
           NumberText(counts[static_cast<int>(CrawlerAccessLevel::Partly)]) + u" partly, " +
           NumberText(counts[static_cast<int>(CrawlerAccessLevel::Blocked)]) + u" blocked\n";
}

}  // namespace

Text UsagePreferencesSummary(const ScanResult& result) {
    const UsageFindings& usage = result.usage;
    if (result.crawlerAccess.empty() && usage.pagesRead == 0) {
        return Text();
    }
    Text text = u"\nUsage preferences (what the site declares; statements, not blocks)\n";
    for (std::size_t index = 0; index < usage.purposes.size(); ++index) {
        const UsagePurposeFindings& purpose = usage.purposes[index];
        text += u"  " + Padded(CrawlerPurposeName(static_cast<CrawlerPurpose>(index)), 16) +
                UsagePurposeText(purpose, usage.pagesRead) + u"\n";
        if (purpose.conflict) {
            text += u"  " + Padded(Text(), 16) + u"conflict: " + UsageConflictText(purpose) + u"\n";
        }
    }
    if (usage.unreadableContentUsage > 0) {
        text += u"  " + NumberText(usage.unreadableContentUsage) +
                u" of " + NumberText(usage.pagesRead) +
                u" pages send a Content-Usage header that does not parse (it states nothing)\n";
    }
    return text;
}

Text CrawlerAccessSummary(const ScanResult& result) {
    Text text;
    if (!result.crawlerAccess.empty()) {
        text += u"\nAI crawlers (by the site's robots.txt)\n";
        for (const CrawlerPurpose purpose :
             {CrawlerPurpose::Training, CrawlerPurpose::Search, CrawlerPurpose::UserTriggered}) {
            text += PurposeLine(result, purpose);
        }
        Text blocked;
        for (const CrawlerAccess& row : result.crawlerAccess) {
            if (row.access == CrawlerAccessLevel::Blocked) {
                blocked += (blocked.empty() ? u"" : u", ") + row.token;
            }
        }
        text += u"  Blocked: " + (blocked.empty() ? Text(u"none") : blocked) + u"\n";
    }
    int keptOut = 0;
    for (const SkippedPage& page : result.skippedPages) {
        keptOut += page.reason == kBlockedByRobots ? 1 : 0;
    }
    if (keptOut > 0) {
        text += u"\nrobots.txt kept " + NumberText(keptOut) +
                (keptOut == 1 ? u" page" : u" pages") +
                u" out of the crawl (--ignore-robots fetches them).\n";
    }
    return text;
}

}  // namespace bcnk::cli
