#include "scan/ai_crawlers.h"

namespace bcnk {
namespace {

constexpr CrawlerPurpose kTraining = CrawlerPurpose::Training;
constexpr CrawlerPurpose kSearch = CrawlerPurpose::Search;
constexpr CrawlerPurpose kUser = CrawlerPurpose::UserTriggered;

// Each row's purpose follows its operator's own crawler page; a crawler whose operator does
// not say what its fetches are for is left out rather than guessed.
constexpr const char16_t* kOpenAi = u"https://developers.openai.com/api/docs/bots";
constexpr const char16_t* kAnthropic =
    u"https://support.anthropic.com/en/articles/"
    u"8896518-does-anthropic-crawl-data-from-the-web-and-how-can-site-owners-block-the-crawler";
constexpr const char16_t* kPerplexity =
    u"https://docs.perplexity.ai/docs/resources/perplexity-crawlers";
constexpr const char16_t* kMeta =
    u"https://developers.facebook.com/docs/sharing/webmasters/web-crawlers/";
constexpr const char16_t* kAmazon = u"https://developer.amazon.com/amazonbot";
constexpr const char16_t* kMistral = u"https://docs.mistral.ai/robots/";
// ByteDance publishes no crawler page; Bytespider is kept because earlier versions always wrote
// it, with the training use the community-kept list records for it.
constexpr const char16_t* kCommunityList = u"https://github.com/ai-robots-txt/ai.robots.txt";

// anthropic-ai and Claude-Web are Anthropic's retired tokens: its crawler page no longer lists
// them, but many robots.txt files still name them, and earlier versions wrote them. They are
// kept as training crawlers, the use Anthropic gave for its crawling when they were current.
// Common Crawl describes CCBot as building an open archive of the web; it stays a training
// crawler because that archive is where much model training data comes from.
// Google-Extended and Applebot-Extended send no requests of their own: they are tokens that
// decide whether pages the search crawlers fetched may train the operators' models.
// clang-format off
const AiCrawler kTable[] = {
    {u"GPTBot", u"OpenAI", kTraining, kOpenAi},
    {u"OAI-SearchBot", u"OpenAI", kSearch, kOpenAi},
    {u"CCBot", u"Common Crawl", kTraining, u"https://commoncrawl.org/ccbot"},
    {u"Google-Extended", u"Google", kTraining,
     u"https://developers.google.com/crawling/docs/google-extended"},
    {u"anthropic-ai", u"Anthropic", kTraining, kAnthropic},
    {u"Claude-Web", u"Anthropic", kTraining, kAnthropic},
    {u"ClaudeBot", u"Anthropic", kTraining, kAnthropic},
    {u"PerplexityBot", u"Perplexity", kSearch, kPerplexity},
    {u"Bytespider", u"ByteDance", kTraining, kCommunityList},
    {u"Applebot-Extended", u"Apple", kTraining, u"https://support.apple.com/en-us/119829"},
    {u"ChatGPT-User", u"OpenAI", kUser, kOpenAi},
    {u"Claude-SearchBot", u"Anthropic", kSearch, kAnthropic},
    {u"Claude-User", u"Anthropic", kUser, kAnthropic},
    {u"Perplexity-User", u"Perplexity", kUser, kPerplexity},
    {u"Meta-ExternalAgent", u"Meta", kTraining, kMeta},
    {u"Meta-ExternalFetcher", u"Meta", kUser, kMeta},
    {u"Meta-WebIndexer", u"Meta", kSearch, kMeta},
    {u"Amazonbot", u"Amazon", kTraining, kAmazon},
    {u"Amzn-SearchBot", u"Amazon", kSearch, kAmazon},
    {u"Amzn-User", u"Amazon", kUser, kAmazon},
    {u"DuckAssistBot", u"DuckDuckGo", kSearch,
     u"https://duckduckgo.com/duckduckgo-help-pages/results/duckassistbot/"},
    {u"MistralAI-Training", u"Mistral AI", kTraining, kMistral},
    {u"MistralAI-Index", u"Mistral AI", kSearch, kMistral},
    {u"MistralAI-User", u"Mistral AI", kUser, kMistral},
    {u"YouBot", u"You.com", kSearch, u"https://docs.you.com/youbot"},
};
// clang-format on

// Who fetches for each token, and the full string its operator documents. Strings were
// copied from the operators' pages named beside them; a crawler whose operator page gives no
// full string (or none we could read) has none here rather than a guessed one: Anthropic's
// page names its three crawlers by token only, ByteDance publishes no page, and the strings
// of Perplexity's, Meta's, Amazon's search and user crawlers and MistralAI-Training were not
// in the copies of their pages we read. Google and You.com write "W.X.Y.Z" / "X.X.X.X" where
// their crawlers put the current Chrome version; the browser probe's version stands there, so
// both are measured against the same browser.
struct AgentRow {
    const char16_t* token;
    const char16_t* fetchedBy;
    const char16_t* documented;
    const char16_t* source;
};
constexpr const char16_t* kOpenAiBots = u"https://developers.openai.com/api/docs/bots";
constexpr const char16_t* kMistralRobots = u"https://docs.mistral.ai/robots";
// clang-format off
const AgentRow kAgents[] = {
    {u"GPTBot", u"GPTBot",
     u"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; GPTBot/1.0; "
     u"+https://openai.com/gptbot)",
     u"https://platform.openai.com/docs/gptbot"},
    {u"OAI-SearchBot", u"OAI-SearchBot",
     u"Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/537.36 (KHTML, like Gecko) "
     u"Chrome/131.0.0.0 Safari/537.36; compatible; OAI-SearchBot/1.3; +https://openai.com/searchbot",
     kOpenAiBots},
    {u"ChatGPT-User", u"ChatGPT-User",
     u"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko); compatible; ChatGPT-User/1.0; "
     u"+https://openai.com/bot",
     kOpenAiBots},
    {u"CCBot", u"CCBot", u"CCBot/2.0 (https://commoncrawl.org/faq/)", u"https://commoncrawl.org/faq"},
    {u"Google-Extended", u"Googlebot",
     u"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; Googlebot/2.1; "
     u"+http://www.google.com/bot.html) Chrome/131.0.0.0 Safari/537.36",
     u"https://developers.google.com/search/docs/crawling-indexing/google-common-crawlers"},
    {u"anthropic-ai", u"ClaudeBot", nullptr, nullptr},
    {u"Claude-Web", u"ClaudeBot", nullptr, nullptr},
    {u"Applebot-Extended", u"Applebot",
     u"Mozilla/5.0 (Macintosh; Intel Mac OS X 10_10_1) AppleWebKit/600.2.5 (KHTML, like Gecko) "
     u"Version/8.0.2 Safari/600.2.5 (Applebot/0.1)",
     u"https://support.apple.com/en-us/HT204683"},
    {u"Amazonbot", u"Amazonbot",
     u"Mozilla/5.0 (Macintosh; Intel Mac OS X 10_10_1) AppleWebKit/600.2.5 (KHTML, like Gecko) "
     u"Version/8.0.2 Safari/600.2.5 (Amazonbot/0.1; +https://developer.amazon.com/support/amazonbot)",
     u"https://developer.amazon.com/support/amazonbot"},
    {u"MistralAI-User", u"MistralAI-User",
     u"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; MistralAI-User/1.0; "
     u"+https://docs.mistral.ai/robots)",
     kMistralRobots},
    {u"MistralAI-Index", u"MistralAI-Index",
     u"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; MistralAI-Index/1.0; "
     u"+https://docs.mistral.ai/robots)",
     kMistralRobots},
    {u"DuckAssistBot", u"DuckAssistBot",
     u"DuckAssistBot/1.1; (+http://duckduckgo.com/duckassistbot.html)",
     u"https://duckduckgo.com/duckduckgo-help-pages/results/duckassistbot/"},
    {u"YouBot", u"YouBot",
     u"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; YouBot/1.0; "
     u"+https://docs.you.com/youbot; env:prod) Chrome/131.0.0.0 Safari/537.36",
     u"https://docs.you.com/youbot"},
};
// clang-format on

}  // namespace

CrawlerAgent AgentFor(const AiCrawler& crawler) {
    for (const AgentRow& row : kAgents) {
        if (Text(row.token) == crawler.token) {
            return {row.fetchedBy, Text(row.fetchedBy) == crawler.token,
                    row.documented ? row.documented : u"", row.source ? row.source : u""};
        }
    }
    return {crawler.token, true, u"", u""};
}

Text ProbeUserAgent(const CrawlerAgent& agent) {
    return *agent.documented != u'\0' ? Text(agent.documented) : Text(agent.fetchedBy);
}

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
