#include "scan/sitemap_audit.h"

#include "analysis/html_parser.h"
#include "net/url.h"
#include "scan/indexability.h"

namespace bcnk {

void SitemapLedger::Load(SitemapReading reading) {
    reading_ = std::move(reading);
    listed_.clear();
    for (std::size_t i = 0; i < reading_.entries.size(); ++i) {
        listed_.emplace(DuplicateKey(reading_.entries[i].url), i);
    }
    // With nothing listed there is nothing to hold links against: their keys would only take
    // memory for the rest of the crawl.
    if (listed_.empty()) {
        linked_ = {};
        linkCap_ = 0;
        linksOverflowed_ = true;
    }
}

Text SitemapLedger::LastModifiedFor(const Text& address) const {
    const auto found = listed_.find(DuplicateKey(address));
    if (found == listed_.end()) {
        return Text();
    }
    return HttpDateOfSitemapDate(reading_.entries[found->second].lastmod);
}

void SitemapLedger::NoteLinks(const Text& base, const std::vector<Text>& hrefs) {
    // Recorded before the sitemaps are read too: the start page's links come first.
    for (const Text& href : hrefs) {
        const Text target = ResolveLink(base, DecodeEntities(href));
        if (target.empty()) {
            continue;
        }
        if (linked_.size() >= linkCap_) {
            linksOverflowed_ = linksOverflowed_ || !Linked(DuplicateKey(target));
            continue;
        }
        linked_.insert(DuplicateKey(target));
    }
}

void SitemapLedger::NoteOutcome(const Text& requested, const Text& arrived, int status,
                                const Text& skipReason) {
    if (!Active()) {
        return;
    }
    const Text requestedKey = DuplicateKey(requested);
    const Text arrivedKey = DuplicateKey(arrived);
    if (arrivedKey != requestedKey && skipReason.empty()) {
        arrivedFrom_.emplace(arrivedKey, requestedKey);
    }
    if (!Listed(requestedKey)) {
        return;
    }
    SitemapIssue issue{requested, status, skipReason, Text()};
    if (skipReason.empty() && arrivedKey != requestedKey) {
        issue.problem = u"redirect";
        issue.target = arrived;
    } else if (skipReason.empty()) {
        return;
    }
    ++issueCount_;
    if (issues_.size() < kMaxSitemapIssues) {
        issues_.push_back(std::move(issue));
    }
}

SitemapAudit SitemapLedger::Audit(const std::vector<PageRecord>& pages) const {
    SitemapAudit audit;
    audit.read = true;
    audit.files = reading_.files;
    audit.listed = static_cast<int>(reading_.entries.size() + reading_.overCap);
    audit.otherSite = static_cast<int>(reading_.otherSite);
    audit.overCap = static_cast<int>(reading_.overCap);
    audit.seeded = seeded_;
    // With addresses left unread, a stored page may be listed after all; with none read, a
    // site without sitemaps would have every page "missing".
    audit.notListedJudged = Active() && reading_.overCap == 0;
    int notIndexable = 0;
    for (const PageRecord& page : pages) {
        const Text key = DuplicateKey(page.url);
        const auto from = arrivedFrom_.find(key);
        const Text requestedKey = from == arrivedFrom_.end() ? key : from->second;
        const bool listed = Listed(key) || Listed(requestedKey);
        if (!listed) {
            if (audit.notListedJudged) {
                audit.notListed.push_back(page.url);
            }
            continue;
        }
        if (page.depth > 0 && !linksOverflowed_ && !Linked(key) && !Linked(requestedKey)) {
            audit.orphans.push_back(page.url);
        }
        // A sitemap should list only pages a search engine may index, under their own address.
        if (!MayList(page, ListAudience::Search)) {
            ++notIndexable;
            if (audit.issues.size() < kMaxSitemapIssues) {
                const Exclusion why = PageExclusions(page).front();
                const Text target = why == Exclusion::CanonicalElsewhere ? page.canonical
                                    : why == Exclusion::Duplicate        ? page.duplicateOf
                                                                         : Text();
                audit.issues.push_back({page.url, page.httpStatus, ExclusionName(why), target});
            }
        }
    }
    for (const Text& address : reading_.otherSiteSamples) {
        if (audit.issues.size() < kMaxSitemapIssues) {
            audit.issues.push_back({address, 0, u"on another site", Text()});
        }
    }
    for (const Text& address : reading_.relativeSamples) {
        if (audit.issues.size() < kMaxSitemapIssues) {
            audit.issues.push_back({address, 0, u"relative address", Text()});
        }
    }
    for (const SitemapIssue& issue : issues_) {
        if (audit.issues.size() < kMaxSitemapIssues) {
            audit.issues.push_back(issue);
        }
    }
    audit.issueCount =
        issueCount_ + notIndexable + audit.otherSite + static_cast<int>(reading_.relative);
    return audit;
}

}  // namespace bcnk
