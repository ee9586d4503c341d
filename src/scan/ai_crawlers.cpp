#include "scan/ai_crawlers.h"

namespace bcnk {
namespace {

constexpr CrawlerPurpose kTraining = CrawlerPurpose::Training;
constexpr CrawlerPurpose kSearch = CrawlerPurpose::Search;
constexpr CrawlerPurpose kUser = CrawlerPurpose::UserTriggered;

constexpr const char16_t* kOpenAi = u"https://platform.openai.com/docs/bots";
constexpr const char16_t* kAnthropic =
    u"https://support.anthropic.com/en/articles/"
    u"8896518-does-anthropic-crawl-data-from-the-web-and-how-can-site-owners-block-the-crawler";
constexpr const char16_t* kPerplexity = u"https://docs.perplexity.ai/guides/bots";
constexpr const char16_t* kMeta =
    u"https://developers.facebook.com/docs/sharing/webmasters/web-crawlers/";
constexpr const char16_t* kAmazon = u"https://developer.amazon.com/amazonbot";
constexpr const char16_t* kGoogle =
    u"https://developers.google.com/search/docs/crawling-indexing/google-common-crawlers";
constexpr const char16_t* kApple = u"https://support.apple.com/en-us/119829";
// For the two operators that publish no crawler page of their own.
constexpr const char16_t* kCommunityList = u"https://github.com/ai-robots-txt/ai.robots.txt";

// anthropic-ai and Claude-Web are Anthropic's retired tokens: its crawler page no longer lists
// them, but many robots.txt files still name them, and earlier versions wrote them. They are
// kept as training crawlers, the use Anthropic gave for its crawling when they were current.
// clang-format off
const AiCrawler kTable[] = {
    {u"GPTBot", u"OpenAI", kTraining, kOpenAi},
    {u"OAI-SearchBot", u"OpenAI", kSearch, kOpenAi},
    {u"CCBot", u"Common Crawl", kTraining, u"https://commoncrawl.org/ccbot"},
    {u"Google-Extended", u"Google", kTraining, kGoogle},
    {u"anthropic-ai", u"Anthropic", kTraining, kAnthropic},
    {u"Claude-Web", u"Anthropic", kTraining, kAnthropic},
    {u"ClaudeBot", u"Anthropic", kTraining, kAnthropic},
    {u"PerplexityBot", u"Perplexity", kSearch, kPerplexity},
    {u"Bytespider", u"ByteDance", kTraining, kCommunityList},
    {u"Applebot-Extended", u"Apple", kTraining, kApple},
    {u"ChatGPT-User", u"OpenAI", kUser, kOpenAi},
    {u"Claude-SearchBot", u"Anthropic", kSearch, kAnthropic},
    {u"Claude-User", u"Anthropic", kUser, kAnthropic},
    {u"Perplexity-User", u"Perplexity", kUser, kPerplexity},
    {u"Meta-ExternalAgent", u"Meta", kTraining, kMeta},
    {u"Meta-ExternalFetcher", u"Meta", kUser, kMeta},
    {u"FacebookBot", u"Meta", kTraining, kMeta},
    {u"Amazonbot", u"Amazon", kTraining, kAmazon},
    {u"Amzn-SearchBot", u"Amazon", kSearch, kAmazon},
    {u"Amzn-User", u"Amazon", kUser, kAmazon},
    {u"DuckAssistBot", u"DuckDuckGo", kSearch,
     u"https://duckduckgo.com/duckduckgo-help-pages/results/duckassistbot/"},
    {u"cohere-ai", u"Cohere", kUser, kCommunityList},
    {u"MistralAI-User", u"Mistral AI", kUser, u"https://docs.mistral.ai/robots/"},
    {u"AI2Bot", u"Ai2", kTraining, u"https://allenai.org/crawler"},
    {u"YouBot", u"You.com", kSearch, u"https://about.you.com/youbot/"},
    {u"Webzio-Extended", u"Webz.io", kTraining, u"https://webz.io/bot.html"},
    {u"Cotoyogi", u"ROIS-DS", kTraining, u"https://ds.rois.ac.jp/en_center8/en_crawler/"},
    {u"atlassian-bot", u"Atlassian", kSearch,
     u"https://support.atlassian.com/organization-administration/docs/"
     u"connect-custom-website-to-rovo/"},
};
// clang-format on

}  // namespace

std::span<const AiCrawler> AiCrawlers() {
    return kTable;
}

bool PermitsPurpose(const CrawlerPermissions& permissions, CrawlerPurpose purpose) {
    switch (purpose) {
        case CrawlerPurpose::Training:
            return permissions.training;
        case CrawlerPurpose::Search:
            return permissions.citation;
        case CrawlerPurpose::UserTriggered:
            return permissions.summarisation;
    }
    return false;
}

std::vector<CrawlerAccess> CrawlerAccessFor(const RobotsTxt& file,
                                            const std::vector<Text>& pageAddresses) {
    std::vector<std::string> paths;
    paths.reserve(pageAddresses.size());
    for (const Text& address : pageAddresses) {
        paths.push_back(RobotsPathOf(address));
    }
    std::vector<CrawlerAccess> rows;
    for (const AiCrawler& crawler : AiCrawlers()) {
        const RobotsRuleSet rules = RulesFor(file, RobotsProductToken(Text(crawler.token)));
        const RobotsVerdict root = Decide(rules, "/");
        CrawlerAccess row{crawler.token, crawler.operatorName, crawler.purpose,
                          root.allowed ? CrawlerAccessLevel::Allowed : CrawlerAccessLevel::Blocked,
                          root.rule};
        for (std::size_t i = 0; root.allowed && i < paths.size(); ++i) {
            const RobotsVerdict page = Decide(rules, paths[i]);
            if (!page.allowed) {
                row.access = CrawlerAccessLevel::Partly;
                row.decidingRule = page.rule;
                break;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool NamesAnyAiCrawler(const RobotsTxt& file) {
    for (const AiCrawler& crawler : AiCrawlers()) {
        if (RulesFor(file, RobotsProductToken(Text(crawler.token))).ownGroup) {
            return true;
        }
    }
    return false;
}

}  // namespace bcnk
