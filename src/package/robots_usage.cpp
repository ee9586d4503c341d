#include "package/robots_usage.h"

#include <string>

#include "scan/usage_preferences.h"

namespace bcnk {
namespace {

// What the owner's "*" groups already say for the whole site, per purpose, and in which
// vocabularies they say anything at all.
struct OwnerStatements {
    UsageAnswers answers{};
    std::array<Text, 3> wording;  // the owner's own term, for the note
    bool hasContentSignal = false;
    bool hasContentUsage = false;
};

bool NamesEveryone(const RobotsGroup& group) {
    for (const std::string& agent : group.agents) {
        if (agent == "*") {
            return true;
        }
    }
    return false;
}

OwnerStatements ReadOwner(const RobotsTxt& file) {
    OwnerStatements owner;
    for (const RobotsGroup& group : file.groups) {
        if (!NamesEveryone(group)) {
            continue;
        }
        for (const RobotsUsageLine& line : group.usageLines) {
            // A Content-Usage line for part of the site says nothing about the rest.
            if (!line.contentSignal && line.pattern != "/") {
                continue;
            }
            (line.contentSignal ? owner.hasContentSignal : owner.hasContentUsage) = true;
            const UsageAnswers answers =
                line.contentSignal ? ReadContentSignal(line.value) : ReadContentUsage(line.value);
            for (const UsageTerm& term : UsageTerms()) {
                const std::size_t index = static_cast<std::size_t>(term.purpose);
                if (answers[index] == UsageAnswer::Unknown || owner.answers[index] == UsageAnswer::No) {
                    continue;  // any "no" the owner wrote stands
                }
                owner.answers[index] = answers[index];
                const std::string_view word = line.contentSignal ? term.contentSignal : term.contentUsage;
                Text wording = Utf8ToWide(std::string(word));
                wording += answers[index] == UsageAnswer::No ? u"=no" : u"=yes";
                wording += line.contentSignal ? u" (Content-Signal)" : u" (Content-Usage)";
                owner.wording[index] = wording;
            }
        }
    }
    return owner;
}

// Our terms for one vocabulary, leaving out every term the owner already states: theirs
// stands, and ours must never contradict it.
Text OurTerms(const OwnerStatements& owner, const CrawlerPermissions& permissions, bool signal) {
    Text out;
    // Content Signals' own examples list search, ai-input, ai-train; the IETF draft's
    // train-ai, search.
    const CrawlerPurpose order[] = {CrawlerPurpose::Search, CrawlerPurpose::UserTriggered,
                                    CrawlerPurpose::Training};
    const CrawlerPurpose ietfOrder[] = {CrawlerPurpose::Training, CrawlerPurpose::Search,
                                        CrawlerPurpose::UserTriggered};
    for (const CrawlerPurpose purpose : signal ? order : ietfOrder) {
        const UsageTerm& term = UsageTerms()[static_cast<std::size_t>(purpose)];
        const std::string_view word = signal ? term.contentSignal : term.contentUsage;
        if (word.empty() || owner.answers[static_cast<std::size_t>(purpose)] != UsageAnswer::Unknown) {
            continue;
        }
        const bool allowed = PermitsPurpose(permissions, purpose);
        out += out.empty() ? u"" : u", ";
        out += Utf8ToWide(std::string(word));
        out += signal ? (allowed ? u"=yes" : u"=no") : (allowed ? u"=y" : u"=n");
    }
    return out;
}

}  // namespace

RobotsUsagePlan PlanRobotsUsage(const RobotsTxt& existing, const PackageForm& form) {
    RobotsUsagePlan plan;
    // Like the crawler groups, the lines come with the form's robots.txt rules or not at all.
    if (!form.addRobotsRules) {
        return plan;
    }
    const CrawlerPermissions permissions{form.allowTraining, form.allowCitation,
                                         form.allowSummarisation};
    const OwnerStatements owner = ReadOwner(existing);
    for (const UsageTerm& term : UsageTerms()) {
        const std::size_t index = static_cast<std::size_t>(term.purpose);
        const UsageAnswer chosen =
            PermitsPurpose(permissions, term.purpose) ? UsageAnswer::Yes : UsageAnswer::No;
        if (owner.answers[index] != UsageAnswer::Unknown && owner.answers[index] != chosen) {
            plan.differing.push_back(owner.wording[index]);
        }
    }
    // A second line of a vocabulary the owner already uses would leave readers two answers.
    if (!owner.hasContentSignal) {
        if (const Text terms = OurTerms(owner, permissions, true); !terms.empty()) {
            plan.lines.push_back(u"Content-Signal: " + terms);
        }
    }
    if (form.contentUsageInRobots && !owner.hasContentUsage) {
        if (const Text terms = OurTerms(owner, permissions, false); !terms.empty()) {
            plan.lines.push_back(u"Content-Usage: " + terms);
        }
    }
    return plan;
}

Text RobotsUsageGroup(const RobotsUsagePlan& plan, const Text& lineEnd) {
    if (plan.lines.empty()) {
        return Text();
    }
    Text out = u"# What your content may be used for, said to every crawler." + lineEnd;
    out += u"User-agent: *" + lineEnd;
    for (const Text& line : plan.lines) {
        out += line + lineEnd;
    }
    out += u"Disallow:" + lineEnd;
    return out + lineEnd;
}

Text RobotsUsageNote(const RobotsUsagePlan& plan, const Text& lineEnd) {
    if (plan.differing.empty()) {
        return Text();
    }
    return u"# REVIEW: your existing usage preferences differ from your choices: " +
           JoinTexts(plan.differing, u", ") + u"." + lineEnd +
           u"# They were left exactly as you wrote them; change them above if you want your" +
           lineEnd + u"# choices to apply." + lineEnd + lineEnd;
}

}  // namespace bcnk
