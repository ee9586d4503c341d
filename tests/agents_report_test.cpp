// The report's sections on what AI crawlers get: present only when a check ran, the verdicts
// and the owner's words beside robots.txt, and the site's text escaped.
#include <gtest/gtest.h>

#include "report/agents_report.h"

namespace bcnk {
namespace {

TEST(AgentsReportSections, OnlyWhatRanWithTheSitesTextEscaped) {
    ScanResult scan;
    EXPECT_EQ(AgentsReportSections(scan), u"");

    scan.crawlerAccess.push_back({u"ClaudeBot", u"Anthropic", CrawlerPurpose::Training,
                                  CrawlerAccessLevel::Allowed, u""});
    AgentAnswer answer;
    answer.token = u"ClaudeBot";
    answer.probedAs = u"ClaudeBot";
    answer.verdict = AgentVerdict::Challenge;
    answer.status = 503;
    answer.detail = u"title \"<script>alert(1)</script>\"";
    scan.agentAnswers.push_back(answer);
    AgentAnswer standIn;
    standIn.token = u"Claude-Web";
    standIn.probedAs = u"ClaudeBot";
    scan.agentAnswers.push_back(standIn);
    scan.agentCheckRequests = 4;
    scan.render.state = RenderState::NoBrowser;

    const Text html = AgentsReportSections(scan);
    EXPECT_NE(html.find(u"robots.txt allows it, the server refuses it"), Text::npos);
    EXPECT_NE(html.find(u"challenge page (HTTP 503, title &quot;&lt;script&gt;"), Text::npos);
    EXPECT_EQ(html.find(u"<script>"), Text::npos);
    EXPECT_NE(html.find(u"same as ClaudeBot&#39;s answer: this token has no crawler of its own"),
              Text::npos);
    EXPECT_NE(html.find(u"not checked: no browser found"), Text::npos);
}

}  // namespace
}  // namespace bcnk
