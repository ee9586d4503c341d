#pragma once
// A scan shaped like a mid-sized shop's, shared by the package benchmarks so their figures
// describe the same input.
#include <vector>

#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk::bench {

inline const std::vector<Text> kWords = {
    u"garden",     u"hose",      u"stainless", u"steel",   u"kitchen", u"knife",   u"guide",
    u"review",     u"best",      u"cheap",     u"outdoor", u"lamp",    u"privacy", u"policy",
    u"m\u00FCsli", u"caf\u00E9", u"delivery",  u"returns", u"size",    u"chart",   u"winter",
    u"jacket",     u"how",       u"to",        u"choose",  u"ceramic", u"pan",     u"set",
};

inline Text Words(size_t seed, size_t count) {
    Text text;
    for (size_t index = 0; index < count; ++index) {
        if (index > 0) {
            text += u' ';
        }
        text += kWords[(seed * 7 + index * 13) % kWords.size()];
    }
    return text;
}

// Pages shaped like a mid-sized shop's: category paths, product and article titles with the
// shop's name, descriptions of a search snippet's length, a handful of headings each.
inline ScanResult LargeScan(size_t pageCount) {
    ScanResult scan;
    scan.host = u"www.example-shop.com";
    scan.baseUrl = u"https://www.example-shop.com";
    scan.language = u"en";
    scan.siteDescription = u"Kitchen, garden and outdoor goods, delivered across Europe.";
    scan.organizationName = u"Example Shop Ltd";
    scan.topics = {u"garden hose", u"kitchen knife", u"outdoor lamp", u"winter jacket"};
    // A site file of its own, so robots.txt.NEW takes the merging path.
    scan.robotsFound = true;
    scan.robotsStatus = 200;
    scan.robotsTxt =
        u"User-agent: *\nDisallow: /cart\nDisallow: /account\n\nUser-agent: GPTBot\n"
        u"Disallow: /\n\nSitemap: https://www.example-shop.com/sitemap.xml\n";
    scan.pages.reserve(pageCount);
    for (size_t index = 0; index < pageCount; ++index) {
        PageRecord page;
        const Text slug = Words(index, 4);
        Text path = slug;
        for (char16_t& unit : path) {
            if (unit == u' ') {
                unit = u'-';
            }
        }
        page.pageClass = static_cast<PageClass>(index % 7);
        page.url = scan.baseUrl + u"/c" + NumberText(static_cast<long long>(index % 40)) + u"/" +
                   path + u"-" + NumberText(static_cast<long long>(index));
        page.title = Words(index + 1, 6) + u" | Example Shop";
        page.description = Words(index + 2, 22) + u".";
        page.h1 = Words(index + 3, 5);
        for (size_t heading = 0; heading < 6; ++heading) {
            page.headings.push_back(Words(index + heading, 3 + heading % 4));
        }
        if (page.pageClass == PageClass::Product) {
            page.schemaTypes = {u"Product", u"Offer", u"BreadcrumbList"};
            page.productName = Words(index + 4, 3);
        } else if (page.pageClass == PageClass::Article) {
            page.schemaTypes = {u"Article"};
        }
        page.lastModified = u"Tue, 03 Nov 2026 10:15:00 GMT";
        page.wordCount = static_cast<int>(300 + index % 1500);
        page.httpStatus = 200;
        page.depth = static_cast<int>(1 + index % 4);
        scan.pages.push_back(std::move(page));
    }
    return scan;
}

inline PackageForm ShopForm() {
    PackageForm form;
    form.name = u"Example Shop Ltd";
    form.description = u"Kitchen, garden and outdoor goods, delivered across Europe.";
    form.email = u"hello@example-shop.com";
    form.industry = u"E-commerce";
    form.founded = u"2011";
    form.allowCitation = true;
    form.allowSummarisation = true;
    form.addRobotsRules = true;
    return form;
}

}  // namespace bcnk::bench
