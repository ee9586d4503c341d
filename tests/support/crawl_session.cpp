#include "support/crawl_session.h"

#include <gtest/gtest.h>

#include "net/http.h"
#include "support/log_messages.h"

namespace bcnk {

namespace {

std::ostream& operator<<(std::ostream& os, const Text& text) {
    return os << '"' << test::Narrow(text) << '"';
}

std::ostream& operator<<(std::ostream& os, const std::vector<Text>& list) {
    os << '[';
    for (size_t i = 0; i < list.size(); ++i) {
        os << (i == 0 ? "" : ", ") << list[i];
    }
    return os << ']';
}

}  // namespace

void PrintTo(const PageRecord& page, std::ostream* os) {
    *os << "{url " << page.url << ", title " << page.title << ", description " << page.description
        << ", h1 " << page.h1 << ", lastModified " << page.lastModified << ", headings "
        << page.headings << ", schemaTypes " << page.schemaTypes << ", productName "
        << page.productName << ", words " << page.wordCount << ", status " << page.httpStatus
        << ", depth " << page.depth << ", class " << PageClassName(page.pageClass)
        << ", robotsDirectives " << page.robotsDirectives << ", canonical " << page.canonical
        << ", canonicalIgnored " << page.canonicalIgnored << ", duplicateOf " << page.duplicateOf
        << "}";
}

void PrintTo(const DiscoveryCheck& check, std::ostream* os) {
    *os << "{" << check.label << ", " << check.path << ", " << CheckStateSymbol(check.state) << ", "
        << check.details << (check.scored ? ", scored}" : "}");
}

namespace test {

void PrintTo(const ProgressCall& call, std::ostream* os) {
    *os << "{" << call.message << ", " << call.pageCount << "}";
}

std::string Narrow(const Text& text) {
    return WideToUtf8(text);
}

CrawlSession RunCrawl(const ScanOptions& options, std::atomic<bool>& cancel,
                      const CrawlProgress& onProgress) {
    CrawlSession session;
    EXPECT_TRUE(Http::Init());
    session.log = LoggedMessages([&] {
        session.result = Crawl(options, cancel, [&](const Text& message, int pageCount) {
            session.progress.push_back({message, pageCount});
            if (onProgress) {
                onProgress(message, pageCount);
            }
        });
    });
    return session;
}

CrawlSession RunCrawl(const ScanOptions& options) {
    std::atomic<bool> cancel{false};
    return RunCrawl(options, cancel);
}

ScanOptions TestOptions(const Text& startUrl, int maxDepth, int maxPages) {
    ScanOptions options;
    options.startUrl = startUrl;
    options.maxDepth = maxDepth;
    options.maxPages = maxPages;
    options.delayMs = 0;
    options.userAgent = u"BeaconsmithTest/1.0";
    return options;
}

}  // namespace test
}  // namespace bcnk
