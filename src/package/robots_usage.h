#pragma once
// The usage-preference lines robots.txt.NEW adds to the "*" group: Content-Signal always, the
// IETF Content-Usage line when the owner asks for it. An owner's own lines are never
// weakened: a term they already state is left to them, and a choice that differs is noted.
#include <vector>

#include "common/text.h"
#include "package/package.h"
#include "scan/robots_rules.h"

namespace bcnk {

struct RobotsUsagePlan {
    std::vector<Text> lines;      // "Content-Signal: search=yes, ai-input=yes, ai-train=no"
    std::vector<Text> differing;  // "ai-train=no (Content-Signal)": owner's terms unlike the form
};

// For a file read from the site, or an empty one for a fresh file.
RobotsUsagePlan PlanRobotsUsage(const RobotsTxt& existing, const PackageForm& form);

// The lines of the "*" group the plan adds, each followed by lineEnd; empty when it adds none.
// The group ends with an empty Disallow so that it binds, and adds no rule to the "*" group.
Text RobotsUsageGroup(const RobotsUsagePlan& plan, const Text& lineEnd);

// The review note for owner's terms that differ from the form; empty when none differ.
Text RobotsUsageNote(const RobotsUsagePlan& plan, const Text& lineEnd);

}  // namespace bcnk
