#include "report/agents_report.h"

#include "report/html_report.h"
#include "scan/agent_check.h"
#include "scan/render_check.h"

namespace bcnk {
namespace {

const CrawlerAccess* AccessFor(const ScanResult& scan, const Text& token) {
    for (const CrawlerAccess& access : scan.crawlerAccess) {
        if (access.token == token) {
            return &access;
        }
    }
    return nullptr;
}

void Cell(Text& out, const Text& text) {
    out += u"<td>";
    out += HtmlEscape(text);
    out += u"</td>";
}

void BadgeCell(Text& out, const char16_t* badge, const Text& text) {
    out += u"<td><span class=\"badge ";
    out += badge;
    out += u"\">";
    out += HtmlEscape(text);
    out += u"</span></td>";
}

const char16_t* AnswerBadge(AgentVerdict verdict) {
    switch (verdict) {
        case AgentVerdict::SameAsBrowser: return u"good";
        case AgentVerdict::DifferentContent:
        case AgentVerdict::SentElsewhere: return u"fair";
        default: return u"poor";
    }
}

const char16_t* RenderBadge(RenderVerdict verdict) {
    switch (verdict) {
        case RenderVerdict::SameWithoutScripts: return u"good";
        case RenderVerdict::ScriptsAddSome: return u"fair";
        case RenderVerdict::NeedsJavaScript: return u"poor";
        case RenderVerdict::NotRendered: return u"";
    }
    return u"";
}

void ServerSection(const ScanResult& scan, Text& out) {
    out += u"<section id=\"agents\">\n<h2>What the server sends AI crawlers</h2>\n";
    out += u"<p>Each crawler's answer compared with a desktop browser's, from ";
    out += NumberText(scan.agentCheckRequests);
    out += u" requests.</p>\n<table>\n<thead><tr><th>Crawler</th><th>Sent as</th>"
           u"<th>robots.txt</th><th>Server's answer</th><th>What it means</th></tr></thead>\n"
           u"<tbody>\n";
    for (const AgentAnswer& answer : scan.agentAnswers) {
        const CrawlerAccess* access = AccessFor(scan, answer.token);
        const Text disagreement = access ? AgentDisagreement(answer, *access) : Text();
        out += u"<tr><td><code>";
        out += HtmlEscape(answer.token);
        out += u"</code></td>";
        Cell(out, answer.probedAs);
        Cell(out, access ? CrawlerAccessLevelName(access->access) : Text());
        BadgeCell(out, AnswerBadge(answer.verdict), AgentVerdictText(answer));
        out += u"<td><strong>";
        out += HtmlEscape(disagreement);
        out += u"</strong>";
        const Text note = AgentStandInNote(answer);
        if (!note.empty()) {
            out += disagreement.empty() ? u"" : u"<br>";
            out += HtmlEscape(note);
        }
        out += u"</td>";
        out += u"</tr>\n";
    }
    out += u"</tbody>\n</table>\n</section>\n";
}

void RenderSection(const ScanResult& scan, Text& out) {
    const RenderCheck& check = scan.render;
    out += u"<section id=\"scripts\">\n<h2>Content only scripts show</h2>\n<p>";
    out += HtmlEscape(RenderSummaryText(check));
    out += u".</p>\n";
    if (check.state == RenderState::Done) {
        out += u"<p>AI crawlers that do not run scripts: ";
        const std::vector<Text> tokens = CrawlersWithoutScripts();
        for (size_t i = 0; i < tokens.size(); ++i) {
            out += i == 0 ? u"" : u", ";
            out += HtmlEscape(tokens[i]);
        }
        out += u".</p>\n<table>\n<thead><tr><th>Page</th><th>Verdict</th>"
               u"<th class=\"n\">Raw words</th><th class=\"n\">Rendered words</th></tr></thead>\n"
               u"<tbody>\n";
        for (const PageRender& page : check.pages) {
            out += u"<tr>";
            Cell(out, page.url);
            BadgeCell(out, RenderBadge(page.verdict), RenderVerdictText(page));
            out += u"<td class=\"n\">";
            out += NumberText(page.rawWords);
            out += u"</td><td class=\"n\">";
            out += NumberText(page.renderedWords);
            out += u"</td></tr>\n";
        }
        out += u"</tbody>\n</table>\n";
        if (!check.scriptOnlyPages.empty()) {
            out += u"<p>Reached only through links scripts add:</p>\n<ul>\n";
            for (const Text& page : check.scriptOnlyPages) {
                out += u"<li>";
                out += HtmlEscape(page);
                out += u"</li>\n";
            }
            out += u"</ul>\n";
        }
    }
    out += u"</section>\n";
}

}  // namespace

Text AgentsReportMenuLinks(const ScanResult& scan) {
    Text out;
    if (!scan.agentAnswers.empty()) {
        out += u"<a href=\"#agents\">Crawlers' answers</a>";
    }
    if (scan.render.state != RenderState::Off) {
        out += u"<a href=\"#scripts\">Rendering</a>";
    }
    return out;
}

Text AgentsReportSections(const ScanResult& scan) {
    Text out;
    if (!scan.agentAnswers.empty()) {
        ServerSection(scan, out);
    }
    if (scan.render.state != RenderState::Off) {
        RenderSection(scan, out);
    }
    return out;
}

}  // namespace bcnk
