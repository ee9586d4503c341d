#pragma once
// Reading the Generate form into a PackageForm, shared by the window and the console so
// that both trim the same way and refuse the same forms.
#include <array>

#include "common/text.h"
#include "package/package.h"

namespace bcnk {

inline constexpr const char16_t* kEnterNameMessage = u"Enter your name or business name.";
inline constexpr const char16_t* kEmailMessage =
    u"Enter the e-mail address as name@example.com, or leave it empty.";
inline constexpr const char16_t* kTdmPolicyMessage =
    u"Enter the TDM policy address as https://example.com/tdm-policy, or leave it empty.";

// What the form says to a full text size outside 0..kMaxFullTextKib (package/package.h).
Text FullTextSizeMessage();

// The earliest year founded the form takes; the latest is the current year.
inline constexpr int kEarliestFoundedYear = 1800;

// The entries of the industry list, in list order; the first is selected on a fresh form.
inline constexpr std::array<const char16_t*, 6> kIndustryChoices = {
    u"Software", u"SEO", u"Marketing", u"E-commerce", u"Blog", u"Other"};

// The form as typed, with name, description, e-mail and year founded read as form fields
// (cut and trimmed). The industry is a list entry and is taken as it is.
PackageForm TrimmedPackageForm(const PackageForm& typed);

// Empty when a generation may start from this (trimmed) form, otherwise the message to show:
// the name is required; an e-mail address must have the form local@domain, a year
// founded must lie from kEarliestFoundedYear to this year and a TDM policy address must be
// an absolute http or https address, when they are given; the full text size must lie from
// 0 to kMaxFullTextKib.
Text PackageFormProblem(const PackageForm& form);

// The same with the current year given.
Text PackageFormProblem(const PackageForm& form, int currentYear);

// The KiB typed in "Full text size": digits only once trimmed, 0 to kMaxFullTextKib;
// -1 for anything else (empty, a sign, a unit, a number too large), which the form refuses.
int FullTextKibFromField(const Text& typed);

// True for local@domain: a dot-separated local part of the characters mail addresses allow
// unquoted, and a domain of dot-separated labels of letters, digits and hyphens (letters
// outside ASCII included). Quoted local parts and address literals are refused.
bool IsEmailAddress(const Text& address);

}  // namespace bcnk
