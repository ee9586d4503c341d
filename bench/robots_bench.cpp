// robots.txt at its largest: a 500 KiB file (the parse limit) read and matched for every
// crawler of the AI-crawler table against 2,000 paths, as the scan does for its crawler rows.
//
//   build/robots_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "scan/ai_crawlers.h"
#include "scan/robots_rules.h"

namespace {

// A big shop's file: a long "*" group of prefixes, wildcards and end anchors, groups for
// other crawlers, and a few for the AI crawlers, up to the 500 KiB limit. Every
// wildcardEvery-th rule of the "*" group starts with "/*", which no literal start narrows down:
// 4 is an extreme file, 40 nearer what shops write.
std::string BigRobotsTxt(int wildcardEvery) {
    std::string text = "# generated\nUser-agent: *\n";
    int i = 0;
    while (text.size() < 300 * 1024) {
        if (i % wildcardEvery == 1) {
            text += "Disallow: /*?sessionid=" + std::to_string(i) + "\n";
        } else if (i % 3 == 0) {
            text += "Disallow: /catalog/item-" + std::to_string(i) + "/\n";
        } else if (i % 3 == 1) {
            text += "Allow: /catalog/item-" + std::to_string(i - 1) + "/public$\n";
        } else {
            text += "Disallow: /search/*/page-" + std::to_string(i) + "*.html$\n";
        }
        ++i;
    }
    int group = 0;
    while (text.size() < 480 * 1024) {
        text += "\nUser-agent: Bot" + std::to_string(group) + "\nUser-agent: Other" +
                std::to_string(group) + "/2.0\n";
        for (int rule = 0; rule < 20; ++rule) {
            text += "Disallow: /area-" + std::to_string(group) + "/" + std::to_string(rule) + "\n";
        }
        ++group;
    }
    for (const char* token : {"GPTBot", "CCBot", "ClaudeBot", "PerplexityBot"}) {
        text += "\nUser-agent: " + std::string(token) + "\nDisallow: /private/\nAllow: /\n";
    }
    while (text.size() < bcnk::kRobotsParseLimit) {
        text += "# padding comment line to reach the limit\n";
    }
    return text.substr(0, bcnk::kRobotsParseLimit);
}

std::vector<bcnk::Text> Paths() {
    std::vector<bcnk::Text> paths;
    for (int i = 0; i < 2000; ++i) {
        const std::u16string n = bcnk::NumberText(i * 7);
        switch (i % 5) {
            case 0:
                paths.push_back(u"https://shop.example/catalog/item-" + n + u"/public");
                break;
            case 1:
                paths.push_back(u"https://shop.example/product/" + n + u"?sessionid=" + n);
                break;
            case 2:
                paths.push_back(u"https://shop.example/search/a/page-" + n + u".html");
                break;
            case 3:
                paths.push_back(u"https://shop.example/private/" + n);
                break;
            default:
                paths.push_back(u"https://shop.example/blog/post-" + n);
                break;
        }
    }
    return paths;
}

void ParseOnly(benchmark::State& state) {
    const std::string text = BigRobotsTxt(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(bcnk::ParseRobotsTxt(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseOnly)->Arg(4)->Arg(40)->Unit(benchmark::kMillisecond);

// Parse once, then every table crawler's verdict for every path.
void ParseAndMatchWholeTable(benchmark::State& state) {
    const std::string text = BigRobotsTxt(static_cast<int>(state.range(0)));
    const std::vector<bcnk::Text> paths = Paths();
    int allowed = 0;
    for (auto _ : state) {
        const bcnk::RobotsTxt file = bcnk::ParseRobotsTxt(text);
        for (const bcnk::AiCrawler& crawler : bcnk::AiCrawlers()) {
            const bcnk::RobotsRuleSet rules =
                bcnk::RulesFor(file, bcnk::RobotsProductToken(bcnk::Text(crawler.token)));
            for (const bcnk::Text& path : paths) {
                allowed += bcnk::Decide(rules, bcnk::RobotsPathOf(path)).allowed ? 1 : 0;
            }
        }
    }
    benchmark::DoNotOptimize(allowed);
    state.counters["decisions"] = static_cast<double>(bcnk::AiCrawlers().size() * paths.size());
}
BENCHMARK(ParseAndMatchWholeTable)->Arg(4)->Arg(40)->Unit(benchmark::kMillisecond);

// The scan's own use: one access row per table crawler over the crawled pages.
void CrawlerAccessRows(benchmark::State& state) {
    const std::string text = BigRobotsTxt(static_cast<int>(state.range(0)));
    const std::vector<bcnk::Text> paths = Paths();
    for (auto _ : state) {
        const bcnk::RobotsTxt file = bcnk::ParseRobotsTxt(text);
        benchmark::DoNotOptimize(bcnk::CrawlerAccessFor(file, paths));
    }
    state.counters["decisions"] = static_cast<double>(bcnk::AiCrawlers().size() * paths.size());
}
BENCHMARK(CrawlerAccessRows)->Arg(4)->Arg(40)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
