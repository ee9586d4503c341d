#include "scan/render_check.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <thread>

#include "common/debug_log.h"
#include "net/http.h"
#include "net/url.h"
#include "scan/agent_check.h"
#include "scan/ai_crawlers.h"
#include "scan/browser_runner.h"
#include "scan/render_compare.h"

namespace bcnk {
namespace {

constexpr const char16_t* kOperatorsWithoutScripts[] = {
    u"OpenAI", u"Anthropic", u"Meta", u"ByteDance", u"Perplexity", u"Common Crawl",
};

struct Rendered {
    PageRender render;
    std::vector<Text> scriptLinks;
};

// The raw page is asked for with the browser's own User-Agent, so that scripts are the only
// difference between the two versions; what the server sends each crawler is the agent
// check's question.
Rendered RenderOne(const Text& browser, const Text& address, const Text& host,
                   const std::atomic<bool>& cancelFlag) {
    Rendered out;
    out.render.url = address;
    const FetchResult raw = Http::Get(address, kBrowserUserAgent, &cancelFlag);
    if (raw.status < 200 || raw.status > 399) {
        out.render.note = u"no raw answer";
        return out;
    }
    const BrowserOutcome dom =
        RenderWithBrowser(browser, address, kBrowserUserAgent, kRenderTimeLimit, cancelFlag);
    if (!dom.ok) {
        out.render.note = dom.failure;
        return out;
    }
    const PageFacts rawFacts = ReadPageFacts(raw.body, raw.contentType, address, host);
    const PageFacts renderedFacts = ReadPageFacts(dom.output, Text(), address, host);
    const Text url = out.render.url;
    out.render = CompareRender(rawFacts, renderedFacts);
    out.render.url = url;
    out.scriptLinks = ScriptOnlyLinks(rawFacts, renderedFacts);
    return out;
}

}  // namespace

std::vector<Text> CrawlersWithoutScripts() {
    std::vector<Text> tokens;
    for (const AiCrawler& crawler : AiCrawlers()) {
        for (const char16_t* name : kOperatorsWithoutScripts) {
            if (Text(crawler.operatorName) == name) {
                tokens.push_back(crawler.token);
            }
        }
    }
    return tokens;
}

void RunRenderCheck(const ScanOptions& options, ScanResult& result,
                    const std::atomic<bool>& cancelFlag, const CrawlProgress& progress) {
    RenderCheck& check = result.render;
    if (options.renderPages <= 0 || result.pages.empty()) {
        check.state = RenderState::Off;
        return;
    }
    check.browser = FindBrowser(options.browserPath);
    if (check.browser.empty()) {
        check.state = RenderState::NoBrowser;
        DebugLog::Write(u"Render check: no browser found");
        return;
    }
    const std::vector<size_t> sample = RenderSample(result, options.renderPages);
    std::vector<Rendered> done(sample.size());
    std::mutex lock;
    size_t next = 0;
    size_t finished = 0;
    auto work = [&] {
        for (;;) {
            size_t index;
            {
                std::lock_guard<std::mutex> guard(lock);
                if (next >= sample.size() || cancelFlag.load()) {
                    return;
                }
                index = next++;
            }
            const Text& address = result.pages[sample[index]].url;
            done[index] = RenderOne(check.browser, address, result.host, cancelFlag);
            std::lock_guard<std::mutex> guard(lock);
            ++finished;
            if (progress) {
                progress(u"Rendering pages with scripts: " + NumberText(static_cast<long long>(finished)) +
                             u" of " + NumberText(static_cast<long long>(sample.size())),
                         static_cast<int>(result.pages.size()));
            }
        }
    };
    std::vector<std::thread> workers;
    const size_t count = std::min(sample.size(), static_cast<size_t>(kRenderWorkers));
    for (size_t i = 0; i < count; ++i) {
        workers.emplace_back(work);
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (cancelFlag.load()) {
        check.state = RenderState::Cancelled;
        return;
    }
    // The crawl read raw HTML as the AI crawlers do; a page it never reached but a rendered
    // link leads to is only there for clients that run scripts.
    std::set<Text> crawled;
    for (const PageRecord& page : result.pages) {
        crawled.insert(DuplicateKey(page.url));
    }
    for (const SkippedPage& page : result.skippedPages) {
        crawled.insert(DuplicateKey(page.url));
    }
    for (Rendered& rendered : done) {
        for (const Text& link : rendered.scriptLinks) {
            if (crawled.insert(DuplicateKey(link)).second &&
                check.scriptOnlyPages.size() < kMaxScriptOnlyPages) {
                check.scriptOnlyPages.push_back(link);
            }
        }
        DebugLog::Write(u"Render check: " + rendered.render.url + u" = " +
                        RenderVerdictText(rendered.render));
        check.pages.push_back(std::move(rendered.render));
    }
    check.state = RenderState::Done;
}

Text RenderVerdictName(RenderVerdict verdict) {
    switch (verdict) {
        case RenderVerdict::SameWithoutScripts: return u"same without scripts";
        case RenderVerdict::NeedsJavaScript: return u"content needs JavaScript";
        case RenderVerdict::ScriptsAddSome: return u"scripts add some";
        case RenderVerdict::NotRendered: return u"not rendered";
    }
    return Text();
}

Text RenderVerdictText(const PageRender& render) {
    switch (render.verdict) {
        case RenderVerdict::NotRendered: {
            Text text = u"not rendered (";
            text += render.note;
            text += u")";
            return text;
        }
        case RenderVerdict::NeedsJavaScript: {
            Text text = u"content needs JavaScript (";
            text += NumberText(render.scriptOnlyWords);
            text += u" of ";
            text += NumberText(render.renderedWords);
            text += u" words only after scripts)";
            return text;
        }
        case RenderVerdict::ScriptsAddSome: {
            Text text = u"scripts add ";
            text += NumberText(render.scriptOnlyWords);
            text += render.scriptOnlyWords == 1 ? u" word, " : u" words, ";
            text += NumberText(render.scriptOnlyLinks);
            text += render.scriptOnlyLinks == 1 ? u" link" : u" links";
            if (!render.changed.empty()) {
                text += u", change the ";
                for (size_t i = 0; i < render.changed.size(); ++i) {
                    text += i == 0 ? u"" : u", ";
                    text += render.changed[i];
                }
            }
            return text;
        }
        case RenderVerdict::SameWithoutScripts: return u"same without scripts";
    }
    return Text();
}

Text RenderStateName(RenderState state) {
    switch (state) {
        case RenderState::Off: return u"off";
        case RenderState::NoBrowser: return u"not checked: no browser found";
        case RenderState::Done: return u"done";
        case RenderState::Cancelled: return u"cancelled";
    }
    return Text();
}

Text RenderSummaryText(const RenderCheck& check) {
    if (check.state != RenderState::Done) {
        return RenderStateName(check.state);
    }
    int needs = 0;
    int rendered = 0;
    int links = 0;
    for (const PageRender& page : check.pages) {
        needs += page.verdict == RenderVerdict::NeedsJavaScript ? 1 : 0;
        rendered += page.verdict == RenderVerdict::NotRendered ? 0 : 1;
        links += page.scriptOnlyLinks;
    }
    Text text = NumberText(needs);
    text += u" of ";
    text += NumberText(rendered);
    text += rendered == 1 ? u" rendered page" : u" rendered pages";
    text += needs == 1 ? u" needs JavaScript for its content; " : u" need JavaScript for their content; ";
    text += NumberText(links);
    text += u" links only after scripts";
    if (rendered < static_cast<int>(check.pages.size())) {
        text += u"; ";
        text += NumberText(static_cast<long long>(check.pages.size()) - rendered);
        text += u" not rendered";
    }
    return text;
}

}  // namespace bcnk
