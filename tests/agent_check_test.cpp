// The verdict for one crawler's answer against a browser's, the challenge marks, the pages
// asked for and the crawler table's user agents; the whole check against a server answering
// by user agent runs end to end in tests/e2e/agents_e2e.py.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "scan/agent_check.h"
#include "scan/ai_crawlers.h"

namespace bcnk {
namespace {

std::string Page(int words) {
    std::string body = "<html><head><title>Shop</title></head><body><p>";
    for (int i = 0; i < words; ++i) {
        body += "word ";
    }
    return body + "</p></body></html>";
}

FetchResult Answer(int status, std::string body, const Text& finalUrl = u"https://a.test/") {
    FetchResult result;
    result.status = status;
    result.body = std::move(body);
    result.contentType = u"text/html; charset=utf-8";
    result.finalUrl = finalUrl;
    return result;
}

TEST(JudgeAgentAnswer, EachVerdictAgainstTheBrowsersAnswer) {
    const FetchResult browser = Answer(200, Page(100));
    FetchResult challenge = Answer(403, "<html><head><title>Just a moment...</title></head></html>");
    FetchResult challengeHeader = Answer(503, "");
    challengeHeader.headers.push_back({u"cf-mitigated", u"challenge"});
    FetchResult silent;
    silent.reason = u"timed out";
    const struct {
        const char* name;
        FetchResult agent;
        AgentVerdict verdict;
        const char16_t* text;
    } rows[] = {
        {"same page", Answer(200, Page(95)), AgentVerdict::SameAsBrowser, u"same as a browser"},
        {"refused", Answer(403, "no"), AgentVerdict::Refused, u"refused (HTTP 403)"},
        {"server error only for the crawler", Answer(500, ""), AgentVerdict::Refused,
         u"refused (HTTP 500)"},
        {"challenge by title", challenge, AgentVerdict::Challenge,
         u"challenge page (HTTP 403, title \"Just a moment...\")"},
        {"challenge by header", challengeHeader, AgentVerdict::Challenge,
         u"challenge page (HTTP 503, cf-mitigated: challenge)"},
        {"challenge by script",
         Answer(200, "<script src=\"/cdn-cgi/challenge-platform/h/b/orchestrate\"></script>"),
         AgentVerdict::Challenge, u"challenge page (HTTP 200, script /cdn-cgi/challenge-platform/)"},
        {"rate limited", Answer(429, ""), AgentVerdict::RateLimited, u"rate limited (HTTP 429)"},
        {"fewer words", Answer(200, Page(40)), AgentVerdict::DifferentContent,
         u"different content (60 % fewer words)"},
        {"redirected", Answer(200, Page(100), u"https://a.test/blocked"),
         AgentVerdict::SentElsewhere, u"sent elsewhere (redirect to https://a.test/blocked)"},
        {"redirect not followed", Answer(301, "", u"https://a.test/"), AgentVerdict::SentElsewhere,
         u"sent elsewhere (redirect to https://a.test/)"},
        {"no answer", silent, AgentVerdict::NoAnswer, u"no answer (timed out)"},
    };
    for (const auto& row : rows) {
        const AgentAnswer answer = JudgeAgentAnswer(browser, row.agent);
        EXPECT_EQ(answer.verdict, row.verdict) << row.name;
        EXPECT_EQ(AgentVerdictText(answer), row.text) << row.name;
    }
}

TEST(JudgeAgentAnswer, WhatTheBrowserGetsTooIsNoVerdictAgainstTheCrawler) {
    // A site that challenges everyone, or answers 404 to everyone, treats crawlers no worse.
    const FetchResult challenged = Answer(503, "<title>Just a moment...</title>");
    EXPECT_EQ(JudgeAgentAnswer(challenged, challenged).verdict, AgentVerdict::SameAsBrowser);
    EXPECT_EQ(JudgeAgentAnswer(Answer(404, ""), Answer(404, "")).verdict,
              AgentVerdict::SameAsBrowser);
    // Too few words to compare says nothing about different content.
    EXPECT_EQ(JudgeAgentAnswer(Answer(200, Page(10)), Answer(200, Page(1))).verdict,
              AgentVerdict::SameAsBrowser);
}

TEST(AgentDisagreement, OnlyWhereRobotsTxtLetsTheCrawlerIn) {
    AgentAnswer refused;
    refused.verdict = AgentVerdict::Refused;
    refused.status = 403;
    CrawlerAccess allowed;
    CrawlerAccess blocked;
    blocked.access = CrawlerAccessLevel::Blocked;
    EXPECT_EQ(AgentDisagreement(refused, allowed), u"robots.txt allows it, the server refuses it");
    EXPECT_EQ(AgentDisagreement(refused, blocked), u"");
    AgentAnswer same;
    EXPECT_EQ(AgentDisagreement(same, allowed), u"");
}

TEST(AgentCheckPages, StartPageAndTheDeepestPageOfTheCommonestClass) {
    ScanResult result;
    const auto add = [&](const char16_t* url, PageClass pageClass, int depth) {
        PageRecord page;
        page.url = url;
        page.pageClass = pageClass;
        page.depth = depth;
        result.pages.push_back(page);
    };
    EXPECT_TRUE(AgentCheckPages(result).empty());
    add(u"https://a.test/", PageClass::Index, 0);
    EXPECT_EQ(AgentCheckPages(result), std::vector<Text>{u"https://a.test/"});
    add(u"https://a.test/legal", PageClass::Legal, 1);
    add(u"https://a.test/p/1", PageClass::Product, 1);
    add(u"https://a.test/p/2", PageClass::Product, 2);
    add(u"https://a.test/p/3", PageClass::Product, 2);
    EXPECT_EQ(AgentCheckPages(result), (std::vector<Text>{u"https://a.test/", u"https://a.test/p/2"}));
}

TEST(AgentMeaning, SaysWhenATokenIsAnsweredAsTheCrawlerThatFetchesForIt) {
    CrawlerAccess allowed;
    CrawlerAccess blocked;
    blocked.access = CrawlerAccessLevel::Blocked;
    const auto answer = [](const char16_t* token, const char16_t* probedAs, AgentVerdict verdict) {
        AgentAnswer a;
        a.token = token;
        a.probedAs = probedAs;
        a.verdict = verdict;
        a.status = verdict == AgentVerdict::Refused ? 403 : 200;
        return a;
    };
    const struct {
        AgentAnswer answer;
        CrawlerAccess access;
        const char16_t* meaning;
    } rows[] = {
        {answer(u"GPTBot", u"GPTBot", AgentVerdict::SameAsBrowser), allowed, u""},
        {answer(u"GPTBot", u"GPTBot", AgentVerdict::Refused), allowed,
         u"robots.txt allows it, the server refuses it"},
        {answer(u"Google-Extended", u"Googlebot", AgentVerdict::SameAsBrowser), allowed,
         u"same as Googlebot's answer: this token has no crawler of its own"},
        {answer(u"Google-Extended", u"Googlebot", AgentVerdict::Refused), allowed,
         u"robots.txt allows it, the server refuses it; same as Googlebot's answer: this token "
         u"has no crawler of its own"},
        {answer(u"Claude-Web", u"ClaudeBot", AgentVerdict::Refused), blocked,
         u"same as ClaudeBot's answer: this token has no crawler of its own"},
        // An answer from before the stand-in was recorded reads as the crawler's own.
        {answer(u"Applebot-Extended", u"", AgentVerdict::SameAsBrowser), allowed, u""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(AgentMeaning(row.answer, row.access), row.meaning) << WideToUtf8(row.meaning);
    }
}

TEST(CrawlerAgents, TokensWithoutACrawlerAreSentAsTheCrawlerThatFetchesForThem) {
    std::set<Text> sent;
    for (const AiCrawler& crawler : AiCrawlers()) {
        const CrawlerAgent agent = AgentFor(crawler);
        const Text userAgent = ProbeUserAgent(agent);
        // Whatever is sent names the crawler that fetches, so rules that match it do.
        EXPECT_NE(userAgent.find(agent.fetchedBy), Text::npos) << WideToUtf8(crawler.token);
        EXPECT_EQ(*agent.documented == u'\0', *agent.source == u'\0') << WideToUtf8(crawler.token);
        // Operators write placeholders where their crawler puts the browser version; a
        // placeholder sent as such would make the crawler look like no real one.
        for (const char16_t* placeholder : {u"W.X.Y.Z", u"X.X.X.X"}) {
            EXPECT_EQ(userAgent.find(placeholder), Text::npos) << WideToUtf8(crawler.token);
        }
        sent.insert(userAgent);
    }
    const auto fetcher = [](const char16_t* token) {
        for (const AiCrawler& crawler : AiCrawlers()) {
            if (Text(crawler.token) == token) {
                return Text(AgentFor(crawler).fetchedBy);
            }
        }
        return Text();
    };
    EXPECT_EQ(fetcher(u"Google-Extended"), u"Googlebot");
    EXPECT_EQ(fetcher(u"Applebot-Extended"), u"Applebot");
    EXPECT_EQ(fetcher(u"anthropic-ai"), u"ClaudeBot");
    EXPECT_LT(sent.size(), AiCrawlers().size());
}

}  // namespace
}  // namespace bcnk
