#include "scan/sitemap_reader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <unordered_set>

#include "common/debug_log.h"
#include "common/inflate_stream.h"
#include "net/http.h"
#include "net/url.h"

namespace bcnk {

namespace {

constexpr std::size_t kMaxOtherSiteSamples = 50;
constexpr std::size_t kMaxKeptCap = 200000;
constexpr std::size_t kMinKeptCap = 1000;

// One file's bytes, gzip or not, into the parser. Whether it is gzip is told by its first
// two bytes: servers label .xml.gz files in every way, and some decode them on the way.
class FileFeed {
  public:
    explicit FileFeed(SitemapParser& parser) : parser_(parser) {}

    bool Take(std::string_view piece) {
        if (!decided_) {
            head_.append(piece);
            if (head_.size() < 2) {
                return true;
            }
            decided_ = true;
            if (LooksGzipped(head_)) {
                inflate_ = std::make_unique<InflateStream>(
                    [this](std::string_view decoded) { return parser_.Feed(decoded); });
            }
            const std::string first = std::move(head_);
            return Pass(first);
        }
        return Pass(piece);
    }

    void End() {
        if (!decided_ && !head_.empty()) {
            parser_.Feed(head_);
        }
        parser_.Finish();
    }

    bool Gzipped() const { return inflate_ != nullptr; }
    bool Corrupt() const { return inflate_ != nullptr && inflate_->Failed(); }

  private:
    bool Pass(std::string_view piece) {
        return inflate_ ? inflate_->Feed(piece) : parser_.Feed(piece);
    }

    SitemapParser& parser_;
    bool decided_ = false;
    std::string head_;
    std::unique_ptr<InflateStream> inflate_;
};

bool SameSite(const Text& address, const Text& siteOrigin) {
    return OriginOf(address) == siteOrigin;
}

class Reader {
  public:
    Reader(const Text& siteOrigin, const Text& userAgent, const SitemapLimits& limits,
           const std::atomic<bool>& cancelFlag)
        : origin_(siteOrigin), userAgent_(userAgent), limits_(limits), cancel_(cancelFlag) {}

    // Reads one file; the addresses of an index's children are returned, never followed here.
    std::vector<Text> ReadFile(const Text& address, bool insideIndex) {
        SitemapFileSummary file;
        file.url = address;
        std::vector<Text> children;
        SitemapParser parser(
            [&](const SitemapEntry& entry) {
                if (parser_->Kind() == SitemapKind::Index) {
                    if (!insideIndex) {
                        children.push_back(entry.url);
                    }
                } else {
                    TakePage(entry, address);
                }
            },
            limits_.maxEntriesPerFile, limits_.maxBytesPerFile);
        parser_ = &parser;
        FileFeed feed(parser);
        const FetchResult fetched = Http::Get(address, userAgent_, &cancel_,
                                              [&](std::string_view piece) { return feed.Take(piece); });
        feed.End();
        parser_ = nullptr;
        file.httpStatus = fetched.status;
        file.kind = SitemapKindName(parser.Kind());
        file.entries = static_cast<int>(parser.Entries());
        file.gzipped = feed.Gzipped();
        file.limitReached = parser.LimitReached();
        file.problem = Problem(fetched, parser, feed, insideIndex);
        if (!file.problem.empty()) {
            children.clear();
        }
        DebugLog::Write(u"Sitemap " + address + u": " + file.kind + u", " +
                        NumberText(file.entries) + u" entries" +
                        (file.problem.empty() ? Text() : u" (" + file.problem + u")"));
        result_.files.push_back(std::move(file));
        return children;
    }

    // A file named but not fetched: a scan reads no other site.
    void NoteNotRead(const Text& address, const Text& why) {
        SitemapFileSummary file;
        file.url = address;
        file.kind = SitemapKindName(SitemapKind::Unknown);
        file.problem = why;
        result_.files.push_back(std::move(file));
    }

    bool Cancelled() const { return cancel_.load(); }
    SitemapReading Take() { return std::move(result_); }

  private:
    static Text Problem(const FetchResult& fetched, const SitemapParser& parser,
                        const FileFeed& feed, bool insideIndex) {
        if (fetched.status == 0) {
            return fetched.reason.empty() ? Text(u"no response") : fetched.reason;
        }
        if (fetched.status < 200 || fetched.status > 299) {
            return u"HTTP " + NumberText(fetched.status);
        }
        if (feed.Corrupt()) {
            return u"corrupt gzip data";
        }
        switch (parser.Kind()) {
            case SitemapKind::Html:
                return u"an HTML page, not a sitemap";
            case SitemapKind::NotSitemap:
                return u"not a sitemap";
            case SitemapKind::Unknown:
                return u"empty";
            case SitemapKind::Index:
                return insideIndex ? Text(u"an index inside an index: not followed") : Text();
            default:
                return Text();
        }
    }

    void TakePage(SitemapEntry entry, const Text& fileAddress) {
        if (OriginOf(entry.url).empty()) {
            ++result_.relative;
            if (result_.relativeSamples.size() < kMaxOtherSiteSamples) {
                result_.relativeSamples.push_back(entry.url);
            }
            entry.url = ResolveLink(fileAddress, entry.url);
        }
        if (!SameSite(entry.url, origin_)) {
            ++result_.otherSite;
            if (result_.otherSiteSamples.size() < kMaxOtherSiteSamples) {
                result_.otherSiteSamples.push_back(entry.url);
            }
            return;
        }
        const Text key = DuplicateKey(entry.url);
        if (key.empty() || seen_.contains(key)) {
            return;
        }
        if (result_.entries.size() >= limits_.maxKeptEntries) {
            ++result_.overCap;
            return;
        }
        seen_.insert(key);
        result_.entries.push_back(entry);
    }

    const Text origin_;
    const Text userAgent_;
    const SitemapLimits limits_;
    const std::atomic<bool>& cancel_;
    const SitemapParser* parser_ = nullptr;
    std::unordered_set<Text> seen_;
    SitemapReading result_;
};

}  // namespace

SitemapLimits SitemapLimitsFor(int maxPages) {
    SitemapLimits limits;
    const std::size_t pages = static_cast<std::size_t>(std::max(maxPages, 0));
    limits.maxKeptEntries = std::clamp(pages * 4, kMinKeptCap, kMaxKeptCap);
    return limits;
}

SitemapReading ReadSitemaps(const Text& siteOrigin, const std::vector<Text>& named,
                            const Text& userAgent, const SitemapLimits& limits,
                            const std::atomic<bool>& cancelFlag) {
    Reader reader(siteOrigin, userAgent, limits, cancelFlag);
    std::vector<Text> top;
    for (const Text& line : named) {
        const Text address = ResolveLink(siteOrigin + u"/robots.txt", line);
        top.push_back(address.empty() ? line : address);
    }
    if (top.empty()) {
        top.push_back(siteOrigin + u"/sitemap.xml");
    }
    std::unordered_set<Text> fetched;
    std::size_t files = 0;
    // A file named twice, or an index naming itself, is read once.
    const auto wanted = [&](const Text& address) {
        return files < limits.maxFiles && SameSite(address, siteOrigin) &&
               fetched.insert(DuplicateKey(address)).second;
    };
    for (const Text& address : top) {
        if (!reader.Cancelled() && !SameSite(address, siteOrigin)) {
            reader.NoteNotRead(address, u"on another site: not read");
        }
        if (reader.Cancelled() || !wanted(address)) {
            continue;
        }
        ++files;
        for (const Text& child : reader.ReadFile(address, false)) {
            if (reader.Cancelled()) {
                break;
            }
            if (wanted(child)) {
                ++files;
                reader.ReadFile(child, true);
            }
        }
    }
    return reader.Take();
}

Text HttpDateOfSitemapDate(const Text& lastmod) {
    using namespace std::chrono;
    const std::string text = WideToUtf8(Trim(lastmod));
    unsigned y = 0, m = 0, d = 0;
    int consumed = 0;
    if (text.size() < 10 || std::sscanf(text.c_str(), "%4u-%2u-%2u%n", &y, &m, &d, &consumed) != 3 ||
        consumed != 10) {
        return Text();
    }
    const year_month_day date{year(static_cast<int>(y)), month(m), day(d)};
    if (!date.ok()) {
        return Text();
    }
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const weekday wd{sys_days(date)};
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%s, %02u %s %04u 00:00:00 GMT", kDays[wd.c_encoding()],
                  d, kMonths[m - 1], y);
    return AsciiToText(buffer);
}

}  // namespace bcnk
