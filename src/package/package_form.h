#pragma once
// Reading the Generate form into a PackageForm, shared by the window and the console so
// that both trim the same way and refuse the same forms.
#include <array>

#include "common/text.h"
#include "package/package.h"

namespace bcnk {

inline constexpr const char16_t* kEnterNameMessage = u"Enter your name or business name.";

// The entries of the industry list, in list order; the first is selected on a fresh form.
inline constexpr std::array<const char16_t*, 6> kIndustryChoices = {
    u"Software", u"SEO", u"Marketing", u"E-commerce", u"Blog", u"Other"};

// The form as typed, with name, description, e-mail and year founded read as form fields
// (cut and trimmed). The industry is a list entry and is taken as it is.
PackageForm TrimmedPackageForm(const PackageForm& typed);

// Empty when a generation may start from this (trimmed) form, otherwise the message to show.
Text PackageFormProblem(const PackageForm& form);

}  // namespace bcnk
