#include "package/sitemap.h"

#include <cstdio>
#include <unordered_set>
#include <vector>

#include "net/url.h"

namespace bcnk {
namespace {

// Search engines reject a whole sitemap file that breaks either of these limits, so pages
// beyond them are left out instead of spoiling the rest. The length counts UTF-16 units.
constexpr std::size_t kMaxPlainEntries = 50000;
constexpr std::size_t kMaxAddressLength = 2048;

// The AI sitemap is meant as a short list of the most useful pages.
constexpr std::size_t kMaxAiEntries = 100;

struct ClassEntry {
    bool inAiSitemap;
    const char16_t* changefreq;
    const char16_t* priority;
};

ClassEntry EntryForClass(PageClass pageClass) {
    // clang-format off
    switch (pageClass) {
        case PageClass::Product: return {true, u"monthly", u"0.9"};
        case PageClass::Article: return {true, u"monthly", u"0.8"};
        case PageClass::Guide: return {true, u"monthly", u"0.7"};
        case PageClass::Utility: return {false, u"monthly", u"0.5"};
        case PageClass::Legal: return {false, u"yearly", u"0.2"};
        case PageClass::Index: return {true, u"monthly", u"1.0"};
        default: return {false, u"monthly", u"0.5"};
    }
    // clang-format on
}

// XML 1.0 cannot carry most control characters at all, and readers turn a carriage return
// into a line feed, so an address holding one would be unreadable or arrive altered. No valid
// address holds them unencoded anyway. Lone surrogates are not listed: they leave the program
// as U+FFFD.
bool IsUnsafeInLoc(char16_t unit) {
    return unit < 0x20 || unit == 0xFFFE || unit == 0xFFFF;
}

// The oldest date a Last-Modified header may give: anything earlier is a server clock that
// was never set, not the day a page changed.
constexpr int kEarliestYear = 1990;

bool CanBeListed(const Text& address) {
    // Sitemaps list absolute addresses only; a record without one has nothing to list.
    if (OriginOf(address).empty()) {
        return false;
    }
    for (char16_t unit : address) {
        // A query or fragment marks a view of a page rather than a page of its own.
        if (unit == u'?' || unit == u'#' || IsUnsafeInLoc(unit)) {
            return false;
        }
    }
    return true;
}

std::vector<Text> SplitDateTokens(const Text& text) {
    std::vector<Text> tokens;
    Text current;
    for (char16_t unit : text) {
        if (unit == u' ' || unit == u',' || unit == u'-' || unit == u':') {
            if (!current.empty()) {
                tokens.push_back(current);
                current.clear();
            }
        } else {
            current += unit;
        }
    }
    if (!current.empty()) {
        tokens.push_back(current);
    }
    return tokens;
}

bool IsAsciiDigits(const Text& token) {
    for (char16_t unit : token) {
        if (unit < u'0' || unit > u'9') {
            return false;
        }
    }
    return !token.empty();
}

int DigitsValue(const Text& token) {
    int value = 0;
    for (char16_t unit : token) {
        value = value * 10 + (unit - u'0');
    }
    return value;
}

// 1..12, or 0 when the token does not name a month. The abbreviation or the full name only:
// a word that merely begins like a month ("Mayday", "Decimal") names none.
int MonthOfToken(const Text& token) {
    static const char16_t* const kMonths[] = {u"january",   u"february", u"march",    u"april",
                                              u"may",       u"june",     u"july",     u"august",
                                              u"september", u"october",  u"november", u"december"};
    if (token.size() < 3) {
        return 0;
    }
    const Text folded = ToLower(token);
    for (int month = 0; month < 12; ++month) {
        const Text name = kMonths[month];
        if (folded == name.substr(0, 3) || folded == name) {
            return month + 1;
        }
    }
    return 0;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int YearOfDate(const Text& date) {
    return date.size() >= 4 && IsAsciiDigits(date.substr(0, 4)) ? DigitsValue(date.substr(0, 4))
                                                                : 0;
}

// 1..31, or 0 when the token is not a day of the month.
int DayOfToken(const Text& token) {
    if (token.size() > 2 || !IsAsciiDigits(token)) {
        return 0;
    }
    const int day = DigitsValue(token);
    return day >= 1 && day <= 31 ? day : 0;
}

void AppendEntry(Text& out, const Text& loc, const Text& lastmod, const ClassEntry& entry) {
    out += u"  <url>\n";
    out += u"    <loc>" + XmlEscape(loc) + u"</loc>\n";
    out += u"    <lastmod>" + lastmod + u"</lastmod>\n";
    out += u"    <changefreq>" + Text(entry.changefreq) + u"</changefreq>\n";
    out += u"    <priority>" + Text(entry.priority) + u"</priority>\n";
    out += u"  </url>\n";
}

}  // namespace

Text SitemapDate(const Text& lastModified) {
    // A server clock a little ahead of ours is no reason to drop its date; a year beyond
    // the next is.
    return SitemapDate(lastModified, YearOfDate(TodayDate()) + 1);
}

Text SitemapDate(const Text& lastModified, int latestYear) {
    const std::vector<Text> tokens = SplitDateTokens(lastModified);
    std::size_t monthIndex = tokens.size();
    int month = 0;
    for (std::size_t i = 0; i < tokens.size() && month == 0; ++i) {
        month = MonthOfToken(tokens[i]);
        monthIndex = i;
    }
    if (month == 0) {
        return Text();
    }
    int year = 0;
    for (const Text& token : tokens) {
        if (token.size() == 4 && IsAsciiDigits(token)) {
            year = DigitsValue(token);
            break;
        }
    }
    if (year == 0) {
        return Text();
    }
    // HTTP dates put the day before the month name, asctime puts it after.
    int day = monthIndex > 0 ? DayOfToken(tokens[monthIndex - 1]) : 0;
    if (day == 0 && monthIndex + 1 < tokens.size()) {
        day = DayOfToken(tokens[monthIndex + 1]);
    }
    // Search engines reject the whole file for one day that does not exist.
    if (day == 0 || day > DaysInMonth(year, month) || year < kEarliestYear || year > latestYear) {
        return Text();
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    return AsciiToText(buffer);
}

Text MakeSitemap(const ScanResult& scan, bool aiVariant) {
    return MakeSitemap(scan, aiVariant, TodayDate());
}

Text MakeSitemap(const ScanResult& scan, bool aiVariant, const Text& fallbackDate) {
    const std::size_t maxEntries = aiVariant ? kMaxAiEntries : kMaxPlainEntries;
    Text out;
    out += u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += u"<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
    std::size_t written = 0;
    // One page may have been stored under two spellings of its address (escaped and raw);
    // the sitemap lists it once.
    std::unordered_set<Text> listed;
    for (const PageRecord& page : scan.pages) {
        if (written == maxEntries) {
            break;
        }
        // Only pages that answered 200 themselves: a listed redirect would point search
        // engines at an address that is not the page.
        if (page.httpStatus != 200 || !CanBeListed(page.url)) {
            continue;
        }
        const ClassEntry entry = EntryForClass(page.pageClass);
        if (aiVariant && !entry.inAiSitemap) {
            continue;
        }
        const Text loc = UriEscape(page.url);
        if (loc.size() >= kMaxAddressLength || !listed.insert(loc).second) {
            continue;
        }
        const Text pageDate = SitemapDate(page.lastModified);
        AppendEntry(out, loc, pageDate.empty() ? fallbackDate : pageDate, entry);
        ++written;
    }
    // The format requires at least one entry; the site's root is the one address every site
    // has, and without it search engines reject the file.
    if (written == 0 && !scan.baseUrl.empty()) {
        AppendEntry(out, UriEscape(scan.baseUrl) + u"/", fallbackDate,
                    EntryForClass(PageClass::Index));
    }
    out += u"</urlset>\n";
    return out;
}

}  // namespace bcnk
