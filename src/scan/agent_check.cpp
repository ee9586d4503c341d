#include "scan/agent_check.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "analysis/html_parser.h"
#include "common/debug_log.h"
#include "net/url.h"
#include "scan/ai_crawlers.h"

namespace bcnk {
namespace {

constexpr int kPauseStepMs = 50;

// Titles and script addresses that bot-challenge pages of the common firewalls and content
// networks carry. Matched without regard to case.
constexpr const char16_t* kChallengeTitles[] = {
    u"just a moment", u"attention required", u"checking your browser", u"ddos-guard",
    u"please verify you are a human", u"are you a robot",
};
constexpr const char16_t* kChallengeScripts[] = {
    u"/cdn-cgi/challenge-platform/", u"challenges.cloudflare.com", u"captcha-delivery.com",
    u"_incapsula_resource", u"/_sec/cp_challenge/", u"px-captcha", u"awswafintegration",
};

bool IsChallengeHeader(const HttpHeader& header) {
    return header.name == u"cf-mitigated" && ContainsNoCase(header.value, u"challenge");
}

int PageWords(const FetchResult& response) {
    return ParseHtmlPage(response.body, response.contentType).wordCount;
}

// Where the request ended, in one spelling, so that two answers can be compared.
Text Landing(const FetchResult& response) {
    const Text resolved = ResolveLink(Text(), response.finalUrl);
    return resolved.empty() ? response.finalUrl : resolved;
}

void Pause(int delayMs, const std::atomic<bool>& cancelFlag) {
    for (int paused = 0; paused < delayMs && !cancelFlag.load(); paused += kPauseStepMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseStepMs));
    }
}

}  // namespace

Text ChallengeMarker(const FetchResult& response) {
    for (const HttpHeader& header : response.headers) {
        if (IsChallengeHeader(header)) {
            return header.name + u": " + header.value;
        }
    }
    const Text page = Utf8ToWide(response.body.substr(0, 65536));
    const Text title = ElementText(page, u"title");
    for (const char16_t* marker : kChallengeTitles) {
        if (ContainsNoCase(title, marker)) {
            return u"title \"" + title + u"\"";
        }
    }
    for (const char16_t* marker : kChallengeScripts) {
        if (ContainsNoCase(page, marker)) {
            return u"script " + Text(marker);
        }
    }
    return Text();
}

AgentAnswer JudgeAgentAnswer(const FetchResult& browser, const FetchResult& agent) {
    AgentAnswer answer;
    answer.status = agent.status;
    if (agent.status == 0) {
        answer.verdict = AgentVerdict::NoAnswer;
        answer.detail = agent.reason.empty() ? Text(u"no response") : agent.reason;
        return answer;
    }
    const Text marker = ChallengeMarker(agent);
    if (!marker.empty() && ChallengeMarker(browser).empty()) {
        answer.verdict = AgentVerdict::Challenge;
        answer.detail = marker;
        return answer;
    }
    if (agent.status == 429 && browser.status != 429) {
        answer.verdict = AgentVerdict::RateLimited;
        return answer;
    }
    if (agent.status >= 400 && browser.status < 400) {
        answer.verdict = AgentVerdict::Refused;
        return answer;
    }
    // A redirect the client did not follow (https to http) ends on a 3xx of its own.
    const auto unfollowed = [](const FetchResult& answer) {
        return answer.status >= 300 && answer.status < 400;
    };
    if ((unfollowed(agent) && !unfollowed(browser)) || Landing(agent) != Landing(browser)) {
        answer.verdict = AgentVerdict::SentElsewhere;
        answer.detail = Landing(agent);
        return answer;
    }
    const int browserWords = PageWords(browser);
    if (browserWords >= kMinComparedWords) {
        const int fewer = browserWords - PageWords(agent);
        const int percent = static_cast<int>(100LL * fewer / browserWords);
        if (percent >= kFewerWordsPercent) {
            answer.verdict = AgentVerdict::DifferentContent;
            answer.detail = NumberText(percent);
            return answer;
        }
    }
    answer.verdict = AgentVerdict::SameAsBrowser;
    return answer;
}

std::vector<Text> AgentCheckPages(const ScanResult& result) {
    std::vector<Text> pages;
    if (result.pages.empty()) {
        return pages;
    }
    pages.push_back(result.pages.front().url);
    // Counted in crawl order, so a tie goes to the class met first.
    std::map<PageClass, int> counts;
    std::vector<PageClass> order;
    for (size_t i = 1; i < result.pages.size(); ++i) {
        const PageClass pageClass = result.pages[i].pageClass;
        if (counts[pageClass]++ == 0) {
            order.push_back(pageClass);
        }
    }
    PageClass common = PageClass::Other;
    int best = 0;
    for (const PageClass pageClass : order) {
        if (counts[pageClass] > best) {
            best = counts[pageClass];
            common = pageClass;
        }
    }
    const PageRecord* deep = nullptr;
    for (size_t i = 1; i < result.pages.size(); ++i) {
        const PageRecord& page = result.pages[i];
        if (page.pageClass == common && (deep == nullptr || page.depth > deep->depth)) {
            deep = &page;
        }
    }
    if (deep != nullptr) {
        pages.push_back(deep->url);
    }
    return pages;
}

void RunAgentCheck(const ScanOptions& options, ScanResult& result,
                   const std::atomic<bool>& cancelFlag, const CrawlProgress& progress) {
    const std::vector<Text> pages = AgentCheckPages(result);
    if (pages.empty() || cancelFlag.load()) {
        return;
    }
    // One request per distinct string: several table rows share the crawler that fetches.
    std::vector<Text> agents;
    std::vector<CrawlerAgent> rowAgents;
    for (const AiCrawler& crawler : AiCrawlers()) {
        rowAgents.push_back(AgentFor(crawler));
        const Text sent = ProbeUserAgent(rowAgents.back());
        if (std::find(agents.begin(), agents.end(), sent) == agents.end()) {
            agents.push_back(sent);
        }
    }
    // answers[page][agent]
    std::vector<std::map<Text, AgentAnswer>> answers(pages.size());
    std::vector<bool> browserAnswered(pages.size(), false);
    bool first = true;
    for (size_t p = 0; p < pages.size(); ++p) {
        if (progress) {
            progress(u"Asking the server as each AI crawler: " + pages[p],
                     static_cast<int>(result.pages.size()));
        }
        auto ask = [&](const Text& agent) {
            if (!first) {
                Pause(options.delayMs, cancelFlag);
            }
            first = false;
            ++result.agentCheckRequests;
            return Http::Get(pages[p], agent, &cancelFlag);
        };
        const FetchResult browser = ask(kBrowserUserAgent);
        if (cancelFlag.load()) {
            return;
        }
        // A page the browser gets no answer for says nothing about the crawlers.
        browserAnswered[p] = browser.status != 0;
        if (!browserAnswered[p]) {
            continue;
        }
        for (const Text& agent : agents) {
            const FetchResult fetched = ask(agent);
            if (cancelFlag.load()) {
                return;
            }
            AgentAnswer answer = JudgeAgentAnswer(browser, fetched);
            answer.page = pages[p];
            answers[p][agent] = std::move(answer);
        }
    }
    const auto& rows = AiCrawlers();
    for (size_t i = 0; i < rows.size(); ++i) {
        const Text sent = ProbeUserAgent(rowAgents[i]);
        AgentAnswer chosen;
        bool found = false;
        // The first page where the crawler fares worse than a browser decides; else the
        // start page shows it fares the same.
        for (size_t p = 0; p < pages.size(); ++p) {
            if (!browserAnswered[p]) {
                continue;
            }
            const AgentAnswer& answer = answers[p][sent];
            if (!found || (chosen.verdict == AgentVerdict::SameAsBrowser &&
                           answer.verdict != AgentVerdict::SameAsBrowser)) {
                chosen = answer;
                found = true;
            }
        }
        if (!found) {
            chosen.verdict = AgentVerdict::NoAnswer;
            chosen.detail = u"the site did not answer a browser either";
            chosen.page = pages.front();
        }
        chosen.token = rows[i].token;
        chosen.probedAs = rowAgents[i].fetchedBy;
        chosen.userAgent = sent;
        DebugLog::Write(u"Agent check: " + chosen.token + u" = " + AgentVerdictText(chosen));
        result.agentAnswers.push_back(std::move(chosen));
    }
}

Text AgentVerdictText(const AgentAnswer& answer) {
    const Text status = u"HTTP " + NumberText(answer.status);
    switch (answer.verdict) {
        case AgentVerdict::SameAsBrowser: return u"same as a browser";
        case AgentVerdict::Refused: return u"refused (" + status + u")";
        case AgentVerdict::Challenge: {
            Text text = u"challenge page (";
            text += status;
            text += u", ";
            text += answer.detail;
            text += u")";
            return text;
        }
        case AgentVerdict::RateLimited: return u"rate limited (" + status + u")";
        case AgentVerdict::DifferentContent:
            return u"different content (" + answer.detail + u" % fewer words)";
        case AgentVerdict::SentElsewhere: {
            if (answer.detail.empty()) {
                return u"sent elsewhere (" + status + u")";
            }
            return u"sent elsewhere (redirect to " + answer.detail + u")";
        }
        case AgentVerdict::NoAnswer: return u"no answer (" + answer.detail + u")";
    }
    return Text();
}

bool ServerRefusesWhatRobotsAllows(const AgentAnswer& answer, const CrawlerAccess& access) {
    if (access.access == CrawlerAccessLevel::Blocked) {
        return false;
    }
    switch (answer.verdict) {
        case AgentVerdict::Refused:
        case AgentVerdict::Challenge:
        case AgentVerdict::RateLimited:
        case AgentVerdict::NoAnswer: return true;
        default: return false;
    }
}

Text AgentDisagreement(const AgentAnswer& answer, const CrawlerAccess& access) {
    if (ServerRefusesWhatRobotsAllows(answer, access)) {
        return u"robots.txt allows it, the server refuses it";
    }
    if (access.access != CrawlerAccessLevel::Blocked &&
        (answer.verdict == AgentVerdict::DifferentContent ||
         answer.verdict == AgentVerdict::SentElsewhere)) {
        return u"robots.txt allows it, the server sends it something else";
    }
    return Text();
}

Text AgentStandInNote(const AgentAnswer& answer) {
    if (answer.probedAs.empty() || answer.probedAs == answer.token) {
        return Text();
    }
    Text note = u"same as ";
    note += answer.probedAs;
    note += u"'s answer: this token has no crawler of its own";
    return note;
}

Text AgentMeaning(const AgentAnswer& answer, const CrawlerAccess& access) {
    Text text = AgentDisagreement(answer, access);
    const Text note = AgentStandInNote(answer);
    if (!note.empty()) {
        text += text.empty() ? u"" : u"; ";
        text += note;
    }
    return text;
}

}  // namespace bcnk
