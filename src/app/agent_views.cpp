#include "app/agent_views.h"

#include "scan/agent_check.h"
#include "scan/render_check.h"

namespace bcnk {

Text CrawlerAnswerCellText(const ScanResult& result, const CrawlerAccess& row) {
    for (const AgentAnswer& answer : result.agentAnswers) {
        if (answer.token != row.token) {
            continue;
        }
        return AgentAnswerLine(answer, row);
    }
    return u"not checked";
}

Text PageScriptCellText(const ScanResult& result, const PageRecord& page) {
    if (result.render.state == RenderState::NoBrowser) {
        return RenderStateName(RenderState::NoBrowser);
    }
    for (const PageRender& render : result.render.pages) {
        if (render.url == page.url) {
            return RenderVerdictText(render);
        }
    }
    return Text();
}

}  // namespace bcnk
