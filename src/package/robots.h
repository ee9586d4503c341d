#pragma once
// robots.txt.NEW: the site's own robots.txt with the missing AI-crawler rules and sitemap
// references appended, or a fresh file when no usable one was fetched.
#include <string>

#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

Text MakeRobotsTxt(const ScanResult& scan, const PackageForm& form);

// The same text with a given date in the merge stamp instead of today's.
Text MakeRobotsTxt(const ScanResult& scan, const PackageForm& form, const Text& date);

// The file as it is written: a merge carries the owner's bytes over unchanged, whatever
// their encoding, where the text above can only show them decoded from UTF-8.
std::string MakeRobotsTxtBytes(const ScanResult& scan, const PackageForm& form);
std::string MakeRobotsTxtBytes(const ScanResult& scan, const PackageForm& form, const Text& date);

// True when the site's own robots.txt already has groups for AI crawlers whose verdict is
// not the one the form asks for (the merge leaves them and says so), or is too long for the
// added groups to come where crawlers read them.
bool RobotsRulesDifferFromChoices(const ScanResult& scan, const PackageForm& form);

}  // namespace bcnk
