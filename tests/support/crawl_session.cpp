#include "support/crawl_session.h"

#include <gtest/gtest.h>

#include "common/debug_log.h"
#include "scan/http.h"
#include "support/temp_dir.h"

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
        << ", depth " << page.depth << ", class " << PageClassName(page.pageClass) << "}";
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

namespace {

// The log's messages: after the BOM and the two header lines, each line is a time stamp,
// two spaces and the message; "Session ended." closes the file.
std::vector<Text> LogMessages(const std::string& bytes) {
    std::vector<Text> messages;
    const std::string bom = "\xEF\xBB\xBF";
    if (bytes.compare(0, bom.size(), bom) != 0) {
        ADD_FAILURE() << "debug.log has no byte-order mark";
        return messages;
    }
    const Text text = Utf8ToWide(bytes.substr(bom.size()));
    const size_t stampLength = 14;  // "hh:mm:ss.mmm  "
    int lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(u"\r\n", start);
        if (end == Text::npos) {
            end = text.size();
        }
        const Text line = text.substr(start, end - start);
        start = end + 2;
        if (++lineNumber <= 2) {
            continue;
        }
        if (line.size() < stampLength) {
            ADD_FAILURE() << "short log line: " << Narrow(line);
            continue;
        }
        messages.push_back(line.substr(stampLength));
    }
    if (messages.empty() || messages.back() != u"Session ended.") {
        ADD_FAILURE() << "debug.log does not end with the closing line";
    } else {
        messages.pop_back();
    }
    return messages;
}

}  // namespace

CrawlSession RunCrawl(const ScanOptions& options, std::atomic<bool>& cancel,
                      const CrawlProgress& onProgress) {
    CrawlSession session;
    EXPECT_TRUE(Http::Init());
    TempDir directory;
    EXPECT_TRUE(DebugLog::Open(directory.text()));
    session.result = Crawl(options, cancel, [&](const Text& message, int pageCount) {
        session.progress.push_back({message, pageCount});
        if (onProgress) {
            onProgress(message, pageCount);
        }
    });
    DebugLog::Close();
    session.log = LogMessages(ReadFileBytes(directory.path() / "debug.log"));
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
