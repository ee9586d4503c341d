// Runs one whole scan of a site and prints what it cost, for bench/crawl:
//   crawl_driver ADDRESS [DEPTH] [MAX_PAGES] [DELAY_MS] [CONNECTIONS]
// Prints one line: pages, score, wall seconds, CPU seconds and peak resident memory.
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scan/crawler.h"
#include "net/http.h"

namespace {

int Argument(int argc, char** argv, int index, int fallback) {
    return argc > index ? std::atoi(argv[index]) : fallback;
}

double Seconds(const timeval& value) {
    return static_cast<double>(value.tv_sec) + static_cast<double>(value.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ADDRESS [DEPTH] [MAX_PAGES] [DELAY_MS] [CONNECTIONS]\n",
                     argv[0]);
        return 2;
    }
    if (!bcnk::Http::Init()) {
        std::fprintf(stderr, "networking could not be initialised\n");
        return 1;
    }
    bcnk::ScanOptions options;
    options.startUrl = bcnk::AsciiToText(argv[1]);
    options.maxDepth = Argument(argc, argv, 2, 5);
    options.maxPages = Argument(argc, argv, 3, bcnk::kNoPageLimit);
    options.delayMs = Argument(argc, argv, 4, 0);
    options.connections = Argument(argc, argv, 5, options.connections);

    std::atomic<bool> cancel{false};
    const auto started = std::chrono::steady_clock::now();
    const bcnk::ScanResult result = bcnk::Crawl(options, cancel, nullptr);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
    bcnk::Http::Close();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("pages=%zu score=%d wall_s=%.3f cpu_s=%.3f peak_rss_kb=%ld\n", result.pages.size(),
                result.score, wall.count(), Seconds(usage.ru_utime) + Seconds(usage.ru_stime),
                usage.ru_maxrss);
    return result.pages.empty() ? 1 : 0;
}
