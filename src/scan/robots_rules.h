#pragma once
// robots.txt as crawlers read it: groups of user-agent lines with their Allow and Disallow
// rules, "*" and "$" in paths, the longest match deciding and Allow winning a tie. Parsing
// accepts any bytes and never fails: what cannot be read is skipped, as crawlers skip it.
// The scan's verdicts, our own crawl and the robots.txt generator all read files through here.
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/text.h"
#include "net/http.h"

namespace bcnk {

// Crawlers must read at least this much of a file; what follows is ignored, and so is a line
// the cut falls inside, which could otherwise turn "Disallow: /private" into "Disallow: /p".
inline constexpr std::size_t kRobotsParseLimit = 500 * 1024;

struct RobotsRule {
    bool allow = false;
    std::string pattern;  // percent-encoding normalised, UTF-8; "*" and a final "$" are special
    Text value;           // the path as written, trimmed, decoded for display
    std::string written;  // the same path as the file's own bytes, whatever their encoding

    // "Allow: /x" or "Disallow: /x", the form people read.
    Text Line() const;
    // The same line in the file's own bytes, the form a copy of the rule must take.
    std::string WrittenLine() const;
    bool operator==(const RobotsRule&) const = default;
};

// A line that is neither a user-agent line, a rule nor a sitemap (Crawl-delay, or a record
// this program has no use for yet). Kept where it stood, so that readers of other records
// need no second parser.
struct RobotsRecord {
    std::string key;    // lower-case ASCII
    std::string value;  // trimmed, the file's own bytes

    bool operator==(const RobotsRecord&) const = default;
};

// A usage-preference line kept in its group: "Content-Signal: search=yes, ai-train=no", or
// "Content-Usage: [path ]prefs", whose path is matched like a rule's. The line is one of the
// group's records as well.
struct RobotsUsageLine {
    bool contentSignal = false;  // else Content-Usage
    std::string pattern;         // normalised like a rule's; "/" when the line names no path
    std::string value;           // the preferences as written, trimmed (UTF-8)
    bool operator==(const RobotsUsageLine&) const = default;
};

// User-agent lines in a row and the lines up to the next user-agent line after a rule.
struct RobotsGroup {
    std::vector<std::string> agents;    // product tokens, lower-case; "*" is everyone
    std::vector<RobotsRule> rules;      // in file order, empty-valued rules left out
    std::vector<RobotsRecord> records;  // other lines of the group, in file order
    std::size_t start = 0;              // byte offset of its first user-agent line
    double crawlDelaySeconds = -1;      // the group's first valid Crawl-delay; -1 when none
    // Usage-preference lines, in file order. They are other records to the rules: they
    // neither end a run of user-agent lines nor make the group one that binds.
    std::vector<RobotsUsageLine> usageLines;

    bool operator==(const RobotsGroup&) const = default;
};

struct RobotsTxt {
    std::vector<RobotsGroup> groups;
    std::vector<Text> sitemaps;
    std::vector<RobotsRecord> records;  // other lines before the first user-agent line
    // Set when the file could not be had (no answer, or a server error): a crawler must then
    // assume it may read nothing. The text says why, for the deciding-rule column.
    bool unavailable = false;
    Text unavailableReason;
    // The last group has user-agent lines but no rule line. It binds its crawlers (who may
    // read everything), and a user-agent line appended to the file would join it.
    bool endsInOpenGroup = false;

    bool operator==(const RobotsTxt&) const = default;
};

// The file as served, in whatever encoding: paths are matched as bytes (UTF-8 when it is
// UTF-8), and only the display forms are decoded.
RobotsTxt ParseRobotsTxt(std::string_view bytes);
RobotsTxt ParseRobotsTxt(const Text& text);

// The file a crawler goes by for one answer to GET /robots.txt: the body for 2xx, nothing
// (everything allowed) for 3xx left over after redirects and for 4xx, and "unavailable"
// (everything disallowed) when no answer came or the server failed (5xx).
RobotsTxt RobotsTxtForAnswer(int status, std::string_view body);

// The product token a user-agent line or header names: its leading run of letters, "_" and
// "-", lower-case ASCII; "*" when it starts with a lone "*". "CCBot/2.0", "ccbot" and
// "CCBot+(+https://...)" all give "ccbot".
std::string RobotsProductToken(std::string_view userAgent);
std::string RobotsProductToken(const Text& userAgent);

// Percent-encoding brought to one form, so that equal paths compare equal: escapes of
// unreserved characters decoded, other escapes in upper case, non-ASCII, controls, spaces and
// characters that are never literal in an address escaped.
std::string NormaliseRobotsPath(std::string_view path);

// The path and query of an absolute address (or a path), normalised, never empty.
std::string RobotsPathOf(const Text& address);

// True when a normalised path matches a pattern ("*" any run, a final "$" the end).
bool RobotsPatternMatches(std::string_view path, std::string_view pattern);

// The rules one crawler obeys: those of every group naming its token, else those of every
// "*" group, else none. A group naming it without any rule still counts as its own and lets
// it read everything. Points into the file, which must outlive it.
struct RobotsRuleSet {
    bool ownGroup = false;  // some group names the crawler itself
    bool unavailable = false;
    Text unavailableReason;
    std::vector<const RobotsRule*> rules;  // in file order
    // Indices into rules by the literal start of their pattern (before any "*").
    std::unordered_map<std::string_view, std::vector<std::size_t>> byLiteralStart;
};
RobotsRuleSet RulesFor(const RobotsTxt& file, std::string_view productToken);

struct RobotsVerdict {
    bool allowed = true;
    Text rule;  // the line that decided, e.g. "Disallow: /cart"; empty when no rule matched

    bool operator==(const RobotsVerdict&) const = default;
};

void PrintTo(const RobotsVerdict& verdict, std::ostream* os);

// The verdict for a normalised path (see RobotsPathOf).
RobotsVerdict Decide(const RobotsRuleSet& rules, std::string_view path);

// One-off convenience: token and address straight to a verdict.
RobotsVerdict Decide(const RobotsTxt& file, std::string_view productToken, const Text& address);

// The reason a page our own crawl did not fetch is listed with.
inline constexpr char16_t kBlockedByRobots[] = u"blocked by robots.txt";

// Which pages our own crawl may fetch: the site's robots.txt as read for the product token of
// the User-Agent we send. Unlike other crawlers it goes ahead when no answer came at all: each
// page's own failure then says more than a blanket refusal would.
class CrawlRobots {
  public:
    CrawlRobots(const Text& userAgent, bool respect);
    CrawlRobots(const CrawlRobots&) = delete;  // rules_ points into file_
    CrawlRobots& operator=(const CrawlRobots&) = delete;

    // Fetches origin + "/robots.txt", unless that origin's file was the last one read.
    void ReadFor(const Text& origin);
    bool Permits(const Text& address) const;
    // The answer last fetched; the discovery row is made from it.
    const FetchResult& Answer() const { return answer_; }
    // The file the crawl obeys: empty when robots.txt is ignored.
    const RobotsTxt& File() const { return file_; }

  private:
    Text userAgent_;
    bool respect_;
    bool read_ = false;
    Text origin_;
    FetchResult answer_;
    RobotsTxt file_;
    RobotsRuleSet rules_;
};

}  // namespace bcnk
