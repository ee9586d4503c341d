#include "scan/usage_preferences.h"

#include "common/structured_fields.h"

namespace bcnk {
namespace {

// Content Signals: search covers indexes, links and short excerpts; ai-input the use of
// fetched pages to ground or generate answers; ai-train training and fine-tuning. The IETF
// draft's train-ai and search mean the same as the first and last; it has no term for
// answers from fetched pages yet.
constexpr UsageTerm kTerms[] = {
    {CrawlerPurpose::Training, "ai-train", "train-ai"},
    {CrawlerPurpose::Search, "search", "search"},
    {CrawlerPurpose::UserTriggered, "ai-input", ""},
};

// Each group's lines are matched against every page, and each group's own rules found anew;
// a file of thousands of groups must not turn that into minutes. Real files have a handful.
constexpr std::size_t kMaxRobotsUsageLines = 256;

std::size_t Index(CrawlerPurpose purpose) {
    return static_cast<std::size_t>(purpose);
}

std::size_t Index(UsageAnswer answer) {
    return static_cast<std::size_t>(answer);
}

// The answer a dictionary member gives: only a bare token equal to `yes` or `no` counts.
UsageAnswer TokenAnswer(const SfDictionary& dictionary, std::string_view key,
                        std::string_view yes, std::string_view no) {
    const SfMember* member = key.empty() ? nullptr : FindSfMember(dictionary, key);
    if (member == nullptr || member->isInnerList || member->items.front().value.type != SfType::Token) {
        return UsageAnswer::Unknown;
    }
    const std::string& token = member->items.front().value.text;
    return token == yes ? UsageAnswer::Yes : token == no ? UsageAnswer::No : UsageAnswer::Unknown;
}

Text Utf8(std::string_view text) {
    return Utf8ToWide(std::string(text));
}

Text Statement(std::string_view term, UsageAnswer answer, bool shortWords) {
    const char16_t* word = answer == UsageAnswer::Yes ? (shortWords ? u"y" : u"yes")
                                                      : (shortWords ? u"n" : u"no");
    Text out = Utf8(term);
    out += u'=';
    out += word;
    return out;
}

Text GroupName(const RobotsGroup& group) {
    std::vector<Text> agents;
    for (const std::string& agent : group.agents) {
        agents.push_back(Utf8(agent));
    }
    return JoinTexts(agents, u", ");
}

Text PathText(const std::string& pattern) {
    return Utf8(pattern);
}

void Add(UsageFindings& findings, CrawlerPurpose purpose, UsageDeclaration declaration) {
    if (declaration.answer != UsageAnswer::Unknown) {
        findings.purposes[Index(purpose)].declarations.push_back(std::move(declaration));
    }
}

// The Content-Usage lines of one group that decide for a path: the longest matching
// pattern, every line of that length (any "n" among them then wins).
std::vector<std::size_t> DecidingUsageLines(const RobotsGroup& group, std::string_view path) {
    std::vector<std::size_t> winners;
    std::size_t longest = 0;
    for (std::size_t i = 0; i < group.usageLines.size(); ++i) {
        const RobotsUsageLine& line = group.usageLines[i];
        if (line.contentSignal || !RobotsPatternMatches(path, line.pattern)) {
            continue;
        }
        if (winners.empty() || line.pattern.size() > longest) {
            winners.assign(1, i);
            longest = line.pattern.size();
        } else if (line.pattern.size() == longest) {
            winners.push_back(i);
        }
    }
    return winners;
}

void AddGroup(const RobotsTxt& file, const RobotsGroup& group,
              const std::vector<std::string>& paths, UsageFindings& findings) {
    // A line speaks only for paths the group's crawlers may fetch.
    const RobotsRuleSet rules =
        RulesFor(file, group.agents.empty() ? std::string_view() : group.agents.front());
    std::vector<int> covered(group.usageLines.size(), 0);
    for (const std::string& path : paths) {
        if (!Decide(rules, path).allowed) {
            continue;
        }
        for (const std::size_t line : DecidingUsageLines(group, path)) {
            ++covered[line];
        }
    }
    const Text name = GroupName(group);
    for (std::size_t i = 0; i < group.usageLines.size(); ++i) {
        const RobotsUsageLine& line = group.usageLines[i];
        const UsageAnswers answers =
            line.contentSignal ? ReadContentSignal(line.value) : ReadContentUsage(line.value);
        for (const UsageTerm& term : kTerms) {
            const UsageAnswer answer = answers[Index(term.purpose)];
            if (answer == UsageAnswer::Unknown) {
                continue;
            }
            UsageDeclaration declaration;
            declaration.source = line.contentSignal ? UsageSource::RobotsContentSignal
                                                    : UsageSource::RobotsContentUsage;
            declaration.answer = answer;
            declaration.statement = line.contentSignal ? Statement(term.contentSignal, answer, false)
                                                       : Statement(term.contentUsage, answer, true);
            declaration.group = name;
            declaration.path = line.contentSignal ? Text(u"/") : PathText(line.pattern);
            declaration.pages = line.contentSignal ? 0 : covered[i];
            // A line for part of the site speaks only where the crawler may go; one that
            // covers no page read says nothing about this site's pages.
            if (declaration.path != u"/" && declaration.pages == 0) {
                continue;
            }
            Add(findings, term.purpose, std::move(declaration));
        }
    }
}

void AddPageCounts(const PageUsageCounts& counts, UsageFindings& findings) {
    for (const UsageTerm& term : kTerms) {
        for (const UsageAnswer answer : {UsageAnswer::Yes, UsageAnswer::No}) {
            const int pages = counts.contentUsage[Index(term.purpose)][Index(answer)];
            if (pages > 0 && !term.contentUsage.empty()) {
                Add(findings, term.purpose,
                    {UsageSource::HttpContentUsage, answer, Statement(term.contentUsage, answer, true),
                     Text(), Text(), pages});
            }
        }
    }
    for (const UsageAnswer answer : {UsageAnswer::No, UsageAnswer::Yes}) {
        const Text statement = answer == UsageAnswer::No ? u"tdm-reservation: 1" : u"tdm-reservation: 0";
        if (const int pages = counts.reservationHeader[Index(answer)]; pages > 0) {
            Add(findings, CrawlerPurpose::Training,
                {UsageSource::TdmRepHeader, answer, statement, Text(), Text(), pages});
        }
        if (const int pages = counts.reservationMeta[Index(answer)]; pages > 0) {
            Add(findings, CrawlerPurpose::Training,
                {UsageSource::TdmRepMeta, answer, statement, Text(), Text(), pages});
        }
    }
}

// tdm-reservation is 1 (reserved: no mining) or 0; anything else says nothing.
UsageAnswer ReservationAnswer(const Text& value) {
    const Text trimmed = Trim(value);
    return trimmed == u"1" ? UsageAnswer::No : trimmed == u"0" ? UsageAnswer::Yes : UsageAnswer::Unknown;
}

Text PagesText(int pages) {
    return NumberText(pages) + (pages == 1 ? u" page" : u" pages");
}

Text ConflictSide(const UsageDeclaration& declaration) {
    switch (declaration.source) {
        case UsageSource::RobotsContentSignal:
        case UsageSource::RobotsContentUsage: {
            Text out = u"robots.txt says " + declaration.statement;
            if (declaration.group != u"*") {
                out += u" to " + declaration.group;
            }
            if (declaration.path != u"/") {
                out += u" under " + declaration.path;
            }
            return out;
        }
        case UsageSource::HttpContentUsage:
        case UsageSource::TdmRepHeader:
            return PagesText(declaration.pages) + u" send " + declaration.statement;
        case UsageSource::TdmRepMeta:
            return PagesText(declaration.pages) + u" carry the meta tag " + declaration.statement;
    }
    return Text();
}

}  // namespace

std::span<const UsageTerm> UsageTerms() {
    return kTerms;
}

UsageAnswers ReadContentUsage(std::string_view value, bool* readable) {
    UsageAnswers answers{};
    const std::optional<SfDictionary> dictionary = ParseSfDictionary(value);
    if (readable != nullptr) {
        *readable = dictionary.has_value();
    }
    if (dictionary) {
        for (const UsageTerm& term : kTerms) {
            answers[Index(term.purpose)] = TokenAnswer(*dictionary, term.contentUsage, "y", "n");
        }
    }
    return answers;
}

UsageAnswers ReadContentSignal(std::string_view value) {
    UsageAnswers answers{};
    if (const std::optional<SfDictionary> dictionary = ParseSfDictionary(value)) {
        for (const UsageTerm& term : kTerms) {
            answers[Index(term.purpose)] = TokenAnswer(*dictionary, term.contentSignal, "yes", "no");
        }
    }
    return answers;
}

std::string ContentSignalValue(const CrawlerPermissions& permissions) {
    // The order Content Signals' own examples use.
    std::string out;
    for (const CrawlerPurpose purpose :
         {CrawlerPurpose::Search, CrawlerPurpose::UserTriggered, CrawlerPurpose::Training}) {
        out += out.empty() ? "" : ", ";
        out += kTerms[Index(purpose)].contentSignal;
        out += PermitsPurpose(permissions, purpose) ? "=yes" : "=no";
    }
    return out;
}

std::string ContentUsageValue(const CrawlerPermissions& permissions) {
    std::string out;
    for (const UsageTerm& term : kTerms) {
        if (!term.contentUsage.empty()) {
            out += out.empty() ? "" : ", ";
            out += term.contentUsage;
            out += PermitsPurpose(permissions, term.purpose) ? "=y" : "=n";
        }
    }
    return out;
}

void CountPageUsage(const std::vector<HttpHeader>& headers, const Text& metaReservation,
                    const Text& metaPolicy, PageUsageCounts& counts) {
    ++counts.pages;
    // Field lines of one name make one value, joined as RFC 9110 joins them.
    Text usage;
    bool hasUsage = false;
    UsageAnswer reservation = UsageAnswer::Unknown;
    for (const HttpHeader& header : headers) {
        if (header.name == u"content-usage") {
            usage += hasUsage ? u", " : u"";
            usage += header.value;
            hasUsage = true;
        } else if (header.name == u"tdm-reservation" && reservation == UsageAnswer::Unknown) {
            reservation = ReservationAnswer(header.value);
        } else if (header.name == u"tdm-policy" && counts.tdmPolicy.empty()) {
            counts.tdmPolicy = Trim(header.value);
        }
    }
    if (hasUsage) {
        bool readable = false;
        const UsageAnswers answers = ReadContentUsage(WideToUtf8(usage), &readable);
        counts.unreadableContentUsage += readable ? 0 : 1;
        for (std::size_t purpose = 0; purpose < answers.size(); ++purpose) {
            ++counts.contentUsage[purpose][Index(answers[purpose])];
        }
    }
    ++counts.reservationHeader[Index(reservation)];
    ++counts.reservationMeta[Index(ReservationAnswer(metaReservation))];
    if (counts.tdmPolicy.empty()) {
        counts.tdmPolicy = Trim(metaPolicy);
    }
}

UsageFindings FindUsagePreferences(const RobotsTxt& file, const std::vector<PageRecord>& pages,
                                   const PageUsageCounts& counts) {
    UsageFindings findings;
    findings.pagesRead = counts.pages;
    findings.unreadableContentUsage = counts.unreadableContentUsage;
    findings.tdmPolicy = counts.tdmPolicy;
    std::vector<std::string> paths;
    paths.reserve(pages.size());
    for (const PageRecord& page : pages) {
        paths.push_back(RobotsPathOf(page.url));
    }
    std::size_t linesRead = 0;
    for (const RobotsGroup& group : file.groups) {
        if (group.usageLines.empty() || linesRead + group.usageLines.size() > kMaxRobotsUsageLines) {
            continue;
        }
        linesRead += group.usageLines.size();
        AddGroup(file, group, paths, findings);
    }
    AddPageCounts(counts, findings);
    for (UsagePurposeFindings& purpose : findings.purposes) {
        bool yes = false;
        bool no = false;
        for (const UsageDeclaration& declaration : purpose.declarations) {
            yes = yes || declaration.answer == UsageAnswer::Yes;
            no = no || declaration.answer == UsageAnswer::No;
        }
        purpose.answer = no ? UsageAnswer::No : yes ? UsageAnswer::Yes : UsageAnswer::Unknown;
        purpose.conflict = yes && no;
    }
    return findings;
}

Text UsageAnswerName(UsageAnswer answer) {
    switch (answer) {
        case UsageAnswer::Yes:
            return u"yes";
        case UsageAnswer::No:
            return u"no";
        case UsageAnswer::Unknown:
            break;
    }
    return u"unknown";
}

Text UsageSourceName(UsageSource source) {
    switch (source) {
        case UsageSource::RobotsContentSignal:
            return u"robotsContentSignal";
        case UsageSource::RobotsContentUsage:
            return u"robotsContentUsage";
        case UsageSource::HttpContentUsage:
            return u"httpContentUsage";
        case UsageSource::TdmRepHeader:
            return u"tdmRepHeader";
        case UsageSource::TdmRepMeta:
            return u"tdmRepMeta";
    }
    return Text();
}

Text UsageDeclarationText(const UsageDeclaration& declaration, int pagesRead) {
    Text out = declaration.statement;
    switch (declaration.source) {
        case UsageSource::RobotsContentSignal:
            out += u" (robots.txt, Content-Signal, group " + declaration.group + u")";
            break;
        case UsageSource::RobotsContentUsage:
            out += u" (robots.txt, Content-Usage, group " + declaration.group;
            if (declaration.path != u"/") {
                out += u", path " + declaration.path + u": " + PagesText(declaration.pages);
            }
            out += u")";
            break;
        case UsageSource::HttpContentUsage:
        case UsageSource::TdmRepHeader:
            out += u" (HTTP header on " + NumberText(declaration.pages) + u" of " +
                   PagesText(pagesRead) + u")";
            break;
        case UsageSource::TdmRepMeta:
            out += u" (meta tag on " + NumberText(declaration.pages) + u" of " +
                   PagesText(pagesRead) + u")";
            break;
    }
    return out;
}

Text UsagePurposeText(const UsagePurposeFindings& findings, int pagesRead) {
    if (findings.declarations.empty()) {
        return u"unknown";
    }
    std::vector<Text> parts;
    for (const UsageDeclaration& declaration : findings.declarations) {
        parts.push_back(UsageDeclarationText(declaration, pagesRead));
    }
    return UsageAnswerName(findings.answer) + u": " + JoinTexts(parts, u"; ");
}

Text UsageConflictText(const UsagePurposeFindings& findings) {
    if (!findings.conflict) {
        return Text();
    }
    const UsageDeclaration* yes = nullptr;
    const UsageDeclaration* no = nullptr;
    for (const UsageDeclaration& declaration : findings.declarations) {
        const UsageDeclaration*& slot = declaration.answer == UsageAnswer::Yes ? yes : no;
        slot = slot == nullptr ? &declaration : slot;
    }
    return ConflictSide(*yes) + u", " + ConflictSide(*no);
}

}  // namespace bcnk
