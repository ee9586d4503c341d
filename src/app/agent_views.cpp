#include "app/agent_views.h"

#include "scan/agent_check.h"
#include "scan/render_check.h"

namespace bcnk {

namespace {

const AgentAnswer* AnswerFor(const ScanResult& result, const CrawlerAccess& row) {
    for (const AgentAnswer& answer : result.agentAnswers) {
        if (answer.token == row.token) {
            return &answer;
        }
    }
    return nullptr;
}

}  // namespace

Text CrawlerAnswerCellText(const ScanResult& result, const CrawlerAccess& row) {
    const AgentAnswer* answer = AnswerFor(result, row);
    return answer != nullptr ? AgentVerdictText(*answer) : Text(u"not checked");
}

Text CrawlerMeaningCellText(const ScanResult& result, const CrawlerAccess& row) {
    const AgentAnswer* answer = AnswerFor(result, row);
    return answer != nullptr ? AgentMeaning(*answer, row) : Text();
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

Text RenderStatusText(const RenderCheck& check) {
    switch (check.state) {
        case RenderState::Off: return Text();
        case RenderState::NoBrowser: return u"JavaScript not checked: no browser found";
        case RenderState::Cancelled: return u"JavaScript check cancelled";
        case RenderState::Done: break;
    }
    int needs = 0;
    int rendered = 0;
    for (const PageRender& page : check.pages) {
        needs += page.verdict == RenderVerdict::NeedsJavaScript ? 1 : 0;
        rendered += page.verdict == RenderVerdict::NotRendered ? 0 : 1;
    }
    Text text = u"content needs JavaScript on ";
    text += NumberText(needs);
    text += u" of ";
    text += NumberText(rendered);
    text += rendered == 1 ? u" page" : u" pages";
    return text;
}

}  // namespace bcnk
