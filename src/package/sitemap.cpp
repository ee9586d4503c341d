#include "package/sitemap.h"

#include <cstdio>
#include <vector>

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

bool CanBeListed(const Text& address) {
    if (address.size() >= kMaxAddressLength) {
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

// 1..12, or 0 when the token does not name a month.
int MonthOfToken(const Text& token) {
    static const char16_t* const kMonths[] = {u"jan", u"feb", u"mar", u"apr", u"may", u"jun",
                                              u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"};
    if (token.size() < 3) {
        return 0;
    }
    const Text prefix = ToLower(token.substr(0, 3));
    for (int month = 0; month < 12; ++month) {
        if (prefix == kMonths[month]) {
            return month + 1;
        }
    }
    return 0;
}

// 1..31, or 0 when the token is not a day of the month.
int DayOfToken(const Text& token) {
    if (token.size() > 2 || !IsAsciiDigits(token)) {
        return 0;
    }
    const int day = DigitsValue(token);
    return day >= 1 && day <= 31 ? day : 0;
}

}  // namespace

Text SitemapDate(const Text& lastModified) {
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
    if (day == 0) {
        return Text();
    }
    char buffer[16];
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
        const Text pageDate = SitemapDate(page.lastModified);
        out += u"  <url>\n";
        out += u"    <loc>" + XmlEscape(page.url) + u"</loc>\n";
        out += u"    <lastmod>" + (pageDate.empty() ? fallbackDate : pageDate) + u"</lastmod>\n";
        out += u"    <changefreq>" + Text(entry.changefreq) + u"</changefreq>\n";
        out += u"    <priority>" + Text(entry.priority) + u"</priority>\n";
        out += u"  </url>\n";
        ++written;
    }
    out += u"</urlset>\n";
    return out;
}

}  // namespace bcnk
