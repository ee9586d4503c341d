#include "cli/agent_summary.h"

#include <map>

#include "scan/agent_check.h"
#include "scan/render_check.h"

namespace bcnk::cli {

namespace {

const CrawlerAccess* AccessFor(const ScanResult& result, const Text& token) {
    for (const CrawlerAccess& access : result.crawlerAccess) {
        if (access.token == token) {
            return &access;
        }
    }
    return nullptr;
}

void AppendList(Text& text, const std::vector<Text>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += u", ";
        }
        text += items[i];
    }
}

}  // namespace

Text AgentSummaryLead(const ScanResult& result) {
    Text text;
    for (const AgentAnswer& answer : result.agentAnswers) {
        const CrawlerAccess* access = AccessFor(result, answer.token);
        if (access == nullptr) {
            continue;
        }
        const Text disagreement = AgentDisagreement(answer, *access);
        if (!disagreement.empty()) {
            text += u"! ";
            text += answer.token;
            text += u": ";
            text += disagreement;
            text += u" - ";
            text += AgentVerdictText(answer);
            const Text note = AgentStandInNote(answer);
            if (!note.empty()) {
                text += u" (";
                text += note;
                text += u")";
            }
            text += u"\n";
        }
    }
    int needs = 0;
    for (const PageRender& page : result.render.pages) {
        needs += page.verdict == RenderVerdict::NeedsJavaScript ? 1 : 0;
    }
    if (needs > 0) {
        text += u"! ";
        text += NumberText(needs);
        text += needs == 1 ? u" page shows its content" : u" pages show their content";
        text += u" only after JavaScript, which these AI crawlers do not run: ";
        AppendList(text, CrawlersWithoutScripts());
        text += u"\n";
    }
    return text;
}

Text AgentSummary(const ScanResult& result) {
    Text text;
    if (!result.agentAnswers.empty()) {
        text += u"\nAI crawlers (by the server's answer, ";
        text += NumberText(result.agentCheckRequests);
        text += u" requests)\n";
        // Grouped by the verdict's words, in the order first met.
        std::vector<Text> order;
        std::map<Text, std::vector<Text>> groups;
        for (const AgentAnswer& answer : result.agentAnswers) {
            const Text verdict = AgentVerdictText(answer);
            if (groups[verdict].empty()) {
                order.push_back(verdict);
            }
            groups[verdict].push_back(answer.token);
        }
        for (const Text& verdict : order) {
            text += u"  ";
            text += verdict;
            text += u": ";
            AppendList(text, groups[verdict]);
            text += u"\n";
        }
        // Tokens without a crawler of their own, so no owner reads their verdict as a
        // request the server saw from them.
        for (const AgentAnswer& answer : result.agentAnswers) {
            const Text note = AgentStandInNote(answer);
            if (!note.empty()) {
                text += u"  ";
                text += answer.token;
                text += u": ";
                text += note;
                text += u"\n";
            }
        }
    }
    if (result.render.state != RenderState::Off) {
        text += u"\nContent only scripts show\n  ";
        text += RenderSummaryText(result.render);
        text += u"\n";
        for (const PageRender& page : result.render.pages) {
            if (page.verdict != RenderVerdict::SameWithoutScripts) {
                text += u"  ";
                text += page.url;
                text += u"  - ";
                text += RenderVerdictText(page);
                text += u"\n";
            }
        }
        if (!result.render.scriptOnlyPages.empty()) {
            text += u"  Reached only through links scripts add: ";
            AppendList(text, result.render.scriptOnlyPages);
            text += u"\n";
        }
    }
    return text;
}

}  // namespace bcnk::cli
