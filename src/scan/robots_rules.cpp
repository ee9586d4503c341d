#include "scan/robots_rules.h"

#include <array>
#include <cstdlib>

#include "net/http.h"
#include "net/url.h"

namespace bcnk {
namespace {

enum class Key { Other, UserAgent, Allow, Disallow, Sitemap, CrawlDelay, ContentSignal, ContentUsage };

// Misspellings that widely used crawlers accept; owners copy them from file to file, and a
// crawler that reads them is bound by them.
struct KeySpelling {
    std::string_view spelling;
    Key key;
};
constexpr std::array<KeySpelling, 15> kKeySpellings = {{
    {"user-agent", Key::UserAgent},
    {"useragent", Key::UserAgent},
    {"user agent", Key::UserAgent},
    {"allow", Key::Allow},
    {"disallow", Key::Disallow},
    {"dissallow", Key::Disallow},
    {"dissalow", Key::Disallow},
    {"disalow", Key::Disallow},
    {"diasllow", Key::Disallow},
    {"disallaw", Key::Disallow},
    {"sitemap", Key::Sitemap},
    {"site-map", Key::Sitemap},
    {"crawl-delay", Key::CrawlDelay},
    {"content-signal", Key::ContentSignal},
    {"content-usage", Key::ContentUsage},
}};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = LowerAscii(c);
    }
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// White space beyond ASCII that editors slip in (no-break, ideographic and other wide spaces,
// a stray byte-order mark), as UTF-8.
constexpr std::array<std::string_view, 18> kWideSpaces = {
    "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81", "\xE2\x80\x82", "\xE2\x80\x83",
    "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86", "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89",
    "\xE2\x80\x8A", "\xE2\x80\xA8", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80", "\xEF\xBB\xBF"};

std::size_t LeadingSpace(std::string_view text) {
    if (!text.empty() && IsBlank(text.front())) {
        return 1;
    }
    for (const std::string_view space : kWideSpaces) {
        if (text.substr(0, space.size()) == space) {
            return space.size();
        }
    }
    return 0;
}

std::size_t TrailingSpace(std::string_view text) {
    if (!text.empty() && IsBlank(text.back())) {
        return 1;
    }
    for (const std::string_view space : kWideSpaces) {
        if (text.size() >= space.size() && text.substr(text.size() - space.size()) == space) {
            return space.size();
        }
    }
    return 0;
}

std::string_view TrimBlanks(std::string_view text) {
    while (const std::size_t n = LeadingSpace(text)) {
        text.remove_prefix(n);
    }
    while (const std::size_t n = TrailingSpace(text)) {
        text.remove_suffix(n);
    }
    return text;
}

Key KeyOf(std::string_view field) {
    const std::string folded = LowerAscii(TrimBlanks(field));
    for (const KeySpelling& spelling : kKeySpellings) {
        if (folded == spelling.spelling) {
            return spelling.key;
        }
    }
    return Key::Other;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

bool NeedsEscape(unsigned char c) {
    return c <= 0x20 || c >= 0x7F ||
           std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) != std::string_view::npos;
}

void AppendEscape(std::string& out, unsigned char c) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    out += '%';
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
}

// Splits the text into lines at CR LF, CR or LF; the callback sees each line without its end,
// and the offset where it starts.
template <typename OnLine>
void ForEachLine(std::string_view text, OnLine onLine) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            onLine(text.substr(start), start);
            return;
        }
        onLine(text.substr(start, end - start), start);
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
}

struct Line {
    std::string_view key;
    std::string_view value;
};

// "Key: value", or "Key value" as widely used crawlers forgive a missing colon: then only when
// the line is exactly two words, so prose left without a "#" does not turn into a rule.
bool SplitLine(std::string_view line, Line& out) {
    line = TrimBlanks(line.substr(0, line.find('#')));
    if (line.empty()) {
        return false;
    }
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos) {
        out = Line{line.substr(0, colon), TrimBlanks(line.substr(colon + 1))};
        return true;
    }
    const std::size_t blank = line.find_first_of(" \t");
    if (blank == std::string_view::npos) {
        return false;
    }
    const std::string_view value = TrimBlanks(line.substr(blank + 1));
    if (value.find_first_of(" \t") != std::string_view::npos) {
        return false;
    }
    out = Line{line.substr(0, blank), value};
    return true;
}

bool IsTokenChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-';
}

std::string_view WithinParseLimit(std::string_view text) {
    if (text.size() <= kRobotsParseLimit) {
        return text;
    }
    text = text.substr(0, kRobotsParseLimit);
    const std::size_t lastEnd = text.find_last_of("\r\n");
    return lastEnd == std::string_view::npos ? std::string_view() : text.substr(0, lastEnd + 1);
}

// The part of a pattern before its first "*" (and before a final "$"): every path the pattern
// matches starts with it.
std::string_view LiteralStart(std::string_view pattern) {
    if (!pattern.empty() && pattern.back() == '$') {
        pattern.remove_suffix(1);
    }
    return pattern.substr(0, pattern.find('*'));
}

// "Content-Usage: /blog/ train-ai=n" scopes the preferences to a path; a value that does not
// start with "/" holds preferences alone and covers the whole site.
RobotsUsageLine UsageLineOf(bool contentSignal, std::string_view value) {
    RobotsUsageLine line{contentSignal, "/", std::string(value)};
    if (!contentSignal && value.front() == '/') {
        std::size_t end = 0;
        while (end < value.size() && !IsBlank(value[end])) {
            ++end;
        }
        line.pattern = NormaliseRobotsPath(value.substr(0, end));
        line.value = std::string(TrimBlanks(value.substr(end)));
    }
    return line;
}

}  // namespace

Text RobotsRule::Line() const {
    return (allow ? u"Allow: " : u"Disallow: ") + value;
}

std::string RobotsRule::WrittenLine() const {
    return (allow ? "Allow: " : "Disallow: ") + written;
}

std::string RobotsProductToken(std::string_view userAgent) {
    userAgent = TrimBlanks(userAgent);
    // "*/1.0" is how some files write the star; it is still everyone.
    if (userAgent.starts_with('*') &&
        (userAgent.size() == 1 || IsBlank(userAgent[1]) || userAgent[1] == '/')) {
        return "*";
    }
    std::size_t end = 0;
    while (end < userAgent.size() && IsTokenChar(userAgent[end])) {
        ++end;
    }
    return LowerAscii(userAgent.substr(0, end));
}

std::string RobotsProductToken(const Text& userAgent) {
    return RobotsProductToken(WideToUtf8(userAgent));
}

std::string NormaliseRobotsPath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (c == '%' && i + 2 < path.size() && HexValue(path[i + 1]) >= 0 &&
            HexValue(path[i + 2]) >= 0) {
            const auto decoded =
                static_cast<unsigned char>(HexValue(path[i + 1]) * 16 + HexValue(path[i + 2]));
            if (IsUnreserved(decoded)) {
                out += static_cast<char>(decoded);
            } else {
                AppendEscape(out, decoded);
            }
            i += 2;
        } else if (NeedsEscape(c)) {
            AppendEscape(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string RobotsPathOf(const Text& address) {
    Text path = address;
    if (!address.empty() && address.front() != u'/') {
        const UrlParts parts = ParseUrl(address);
        path = parts.valid ? RequestTarget(parts.path) : address;
    }
    if (path.empty() || path.front() != u'/') {
        path.insert(path.begin(), u'/');
    }
    return NormaliseRobotsPath(WideToUtf8(path));
}

bool RobotsPatternMatches(std::string_view path, std::string_view pattern) {
    const bool anchored = !pattern.empty() && pattern.back() == '$';
    if (anchored) {
        pattern.remove_suffix(1);
    }
    std::size_t star = pattern.find('*');
    if (star == std::string_view::npos) {
        return anchored ? path == pattern : path.starts_with(pattern);
    }
    // The pieces between stars are found left to right, each as early as it occurs: that
    // leaves the most room for the pieces after it, so no other placement can succeed where
    // this one fails.
    if (!path.starts_with(pattern.substr(0, star))) {
        return false;
    }
    std::size_t position = star;
    pattern.remove_prefix(star + 1);
    while ((star = pattern.find('*')) != std::string_view::npos) {
        const std::string_view piece = pattern.substr(0, star);
        pattern.remove_prefix(star + 1);
        const std::size_t found = path.find(piece, position);
        if (found == std::string_view::npos) {
            return false;
        }
        position = found + piece.size();
    }
    if (!anchored) {
        return path.find(pattern, position) != std::string_view::npos;
    }
    return path.size() >= position + pattern.size() && path.ends_with(pattern);
}

namespace {

// Seconds, whole or decimal; -1 for anything else.
double CrawlDelayValue(std::string_view value) {
    const std::string text(value);
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(seconds >= 0) || seconds > 1e6) {
        return -1;
    }
    return seconds;
}

}  // namespace

RobotsTxt ParseRobotsTxt(std::string_view bytes) {
    RobotsTxt file;
    std::string_view text = WithinParseLimit(bytes);
    const std::size_t skipped = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    text.remove_prefix(skipped);
    bool groupHasRules = false;
    ForEachLine(text, [&](std::string_view line, std::size_t offset) {
        Line parts;
        if (!SplitLine(line, parts)) {
            return;
        }
        const Key key = KeyOf(parts.key);
        const std::string_view value = parts.value;
        switch (key) {
            case Key::UserAgent:
                // User-agent lines in a row share the rules that follow; one after a rule
                // starts the next group.
                if (file.groups.empty() || groupHasRules) {
                    file.groups.emplace_back();
                    file.groups.back().start = offset + skipped;
                    groupHasRules = false;
                }
                if (std::string token = RobotsProductToken(value); !token.empty()) {
                    file.groups.back().agents.push_back(std::move(token));
                }
                break;
            case Key::Allow:
            case Key::Disallow:
                // Rules before the first user-agent line belong to no crawler.
                if (file.groups.empty()) {
                    return;
                }
                groupHasRules = true;
                // An empty rule matches nothing; it only marks the group as written.
                if (!value.empty()) {
                    file.groups.back().rules.push_back(
                        RobotsRule{key == Key::Allow, NormaliseRobotsPath(value),
                                   Utf8ToWide(std::string(value)), std::string(value)});
                }
                break;
            case Key::Sitemap:
                if (!value.empty()) {
                    file.sitemaps.push_back(Utf8ToWide(std::string(value)));
                }
                break;
            case Key::CrawlDelay:
                // It paces a crawler without binding it to the group, so it does not end a
                // run of user-agent lines as a rule does.
                if (!file.groups.empty() && file.groups.back().crawlDelaySeconds < 0) {
                    file.groups.back().crawlDelaySeconds = CrawlDelayValue(value);
                }
                break;
            case Key::ContentSignal:
            case Key::ContentUsage:
                if (!file.groups.empty() && !value.empty()) {
                    file.groups.back().usageLines.push_back(
                        UsageLineOf(key == Key::ContentSignal, value));
                }
                // They stay records of their group as well, like any line that is no rule.
                [[fallthrough]];
            case Key::Other: {
                RobotsRecord record{LowerAscii(TrimBlanks(parts.key)), std::string(value)};
                (file.groups.empty() ? file.records : file.groups.back().records)
                    .push_back(std::move(record));
                break;
            }
        }
    });
    file.endsInOpenGroup = !file.groups.empty() && !groupHasRules;
    return file;
}

RobotsTxt ParseRobotsTxt(const Text& text) {
    return ParseRobotsTxt(WideToUtf8(text));
}

RobotsTxt RobotsTxtForAnswer(int status, std::string_view body) {
    if (status >= 200 && status <= 299) {
        return ParseRobotsTxt(body);
    }
    RobotsTxt file;
    if (status == 0 || status >= 500) {
        file.unavailable = true;
        file.unavailableReason = status == 0 ? Text(u"robots.txt could not be fetched")
                                             : u"robots.txt answered HTTP " + NumberText(status);
    }
    return file;
}

RobotsRuleSet RulesFor(const RobotsTxt& file, std::string_view productToken) {
    RobotsRuleSet set;
    set.unavailable = file.unavailable;
    set.unavailableReason = file.unavailableReason;
    const std::string token = LowerAscii(productToken);
    for (const std::string_view wanted : {std::string_view(token), std::string_view("*")}) {
        for (const RobotsGroup& group : file.groups) {
            bool names = false;
            for (const std::string& agent : group.agents) {
                names = names || agent == wanted;
            }
            if (!names) {
                continue;
            }
            set.ownGroup = set.ownGroup || wanted != "*";
            for (const RobotsRule& rule : group.rules) {
                set.byLiteralStart[LiteralStart(rule.pattern)].push_back(set.rules.size());
                set.rules.push_back(&rule);
            }
        }
        if (set.ownGroup || token == "*") {
            break;
        }
    }
    return set;
}

RobotsVerdict Decide(const RobotsRuleSet& rules, std::string_view path) {
    if (rules.unavailable) {
        return RobotsVerdict{false, rules.unavailableReason};
    }
    // Only rules whose literal start is a start of the path can match, so each start of the
    // path is looked up instead of every rule being tried.
    const RobotsRule* best = nullptr;
    std::size_t bestIndex = 0;
    for (std::size_t length = 0; length <= path.size(); ++length) {
        const auto bucket = rules.byLiteralStart.find(path.substr(0, length));
        if (bucket == rules.byLiteralStart.end()) {
            continue;
        }
        for (const std::size_t index : bucket->second) {
            const RobotsRule* rule = rules.rules[index];
            if (best != nullptr) {
                const std::size_t size = rule->pattern.size();
                const std::size_t bestSize = best->pattern.size();
                // Longer wins, then Allow, then the earlier line.
                const bool better = size != bestSize             ? size > bestSize
                                    : rule->allow != best->allow ? rule->allow
                                                                 : index < bestIndex;
                if (!better) {
                    continue;
                }
            }
            if (RobotsPatternMatches(path, rule->pattern)) {
                best = rule;
                bestIndex = index;
            }
        }
    }
    if (best == nullptr) {
        return RobotsVerdict{};
    }
    return RobotsVerdict{best->allow, best->Line()};
}

void PrintTo(const RobotsVerdict& verdict, std::ostream* os) {
    *os << (verdict.allowed ? "allowed" : "disallowed") << " by \"" << WideToUtf8(verdict.rule)
        << "\"";
}

RobotsVerdict Decide(const RobotsTxt& file, std::string_view productToken, const Text& address) {
    return Decide(RulesFor(file, productToken), RobotsPathOf(address));
}

CrawlRobots::CrawlRobots(const Text& userAgent, bool respect)
    : userAgent_(userAgent), respect_(respect) {}

void CrawlRobots::ReadFor(const Text& origin) {
    if (read_ && origin == origin_) {
        return;
    }
    read_ = true;
    origin_ = origin;
    answer_ = Http::Get(origin + u"/robots.txt", userAgent_);
    file_ = respect_ && answer_.status != 0 ? RobotsTxtForAnswer(answer_.status, answer_.body)
                                            : RobotsTxt();
    rules_ = RulesFor(file_, RobotsProductToken(userAgent_));
}

bool CrawlRobots::Permits(const Text& address) const {
    return !respect_ || Decide(rules_, RobotsPathOf(address)).allowed;
}

}  // namespace bcnk
