#include "package/package_form.h"

#include "common/form_text.h"
#include "net/url.h"

namespace bcnk {

PackageForm TrimmedPackageForm(const PackageForm& typed) {
    PackageForm form = typed;
    form.name = FormFieldText(typed.name);
    form.description = FormFieldText(typed.description);
    form.email = FormFieldText(typed.email);
    form.founded = FormFieldText(typed.founded);
    form.tdmPolicy = FormFieldText(typed.tdmPolicy);
    return form;
}

namespace {

// Limits of the SMTP standard for the whole address and its local part.
constexpr std::size_t kMaxEmailLength = 254;
constexpr std::size_t kMaxLocalLength = 64;

bool IsAsciiAlnum(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
           (unit >= u'0' && unit <= u'9');
}

// Letters outside ASCII are allowed as internationalised mail allows them; controls,
// spaces and the rest of the Latin-1 punctuation are not.
bool IsWideLetter(char16_t unit) {
    return unit >= 0xA0 && !IsWhiteSpaceUnit(unit) && unit != 0xFFFE && unit != 0xFFFF;
}

// Dot-separated parts, none empty, each unit accepted by `allowed`.
template <typename Allowed>
bool IsDotSeparated(const Text& text, Allowed allowed) {
    if (text.empty() || text.front() == u'.' || text.back() == u'.' ||
        text.find(u"..") != Text::npos) {
        return false;
    }
    for (const char16_t unit : text) {
        if (unit != u'.' && !allowed(unit)) {
            return false;
        }
    }
    return true;
}

int YearOf(const Text& date) {
    int year = 0;
    for (std::size_t i = 0; i < 4 && i < date.size(); ++i) {
        year = year * 10 + (date[i] - u'0');
    }
    return year;
}

// The box takes digits only, so anything else is no year at all.
bool IsFoundedYear(const Text& text, int currentYear) {
    if (text.empty() || text.size() > 4) {
        return false;
    }
    int year = 0;
    for (const char16_t unit : text) {
        if (unit < u'0' || unit > u'9') {
            return false;
        }
        year = year * 10 + (unit - u'0');
    }
    return year >= kEarliestFoundedYear && year <= currentYear;
}

}  // namespace

bool IsEmailAddress(const Text& address) {
    const std::size_t at = address.find(u'@');
    if (at == Text::npos || address.size() > kMaxEmailLength || at > kMaxLocalLength) {
        return false;
    }
    const Text local = address.substr(0, at);
    const Text domain = address.substr(at + 1);
    const bool localOk = IsDotSeparated(local, [](char16_t unit) {
        return IsAsciiAlnum(unit) || Text(u"!#$%&'*+/=?^_`{|}~-").find(unit) != Text::npos ||
               IsWideLetter(unit);
    });
    const bool domainOk = IsDotSeparated(domain, [](char16_t unit) {
        return IsAsciiAlnum(unit) || unit == u'-' || IsWideLetter(unit);
    });
    return localOk && domainOk;
}

Text FullTextSizeMessage() {
    Text text = u"Enter the full text size as a whole number of KiB from 0 to ";
    text += NumberText(kMaxFullTextKib);
    text += u" (0 writes no llms-full.txt).";
    return text;
}

int FullTextKibFromField(const Text& typed) {
    const Text text = FormFieldText(typed);
    if (text.empty()) {
        return -1;
    }
    long long kib = 0;
    for (const char16_t unit : text) {
        if (unit < u'0' || unit > u'9') {
            return -1;
        }
        kib = kib * 10 + (unit - u'0');
        if (kib > kMaxFullTextKib) {
            return -1;
        }
    }
    return static_cast<int>(kib);
}

Text PackageFormProblem(const PackageForm& form) {
    return PackageFormProblem(form, YearOf(TodayDate()));
}

Text PackageFormProblem(const PackageForm& form, int currentYear) {
    // The description, e-mail and year may stay empty and are then left out of the files;
    // what is given is written into files that machines read, so it must be what it says.
    if (form.name.empty()) {
        return kEnterNameMessage;
    }
    if (!form.email.empty() && !IsEmailAddress(form.email)) {
        return kEmailMessage;
    }
    if (!form.founded.empty() && !IsFoundedYear(form.founded, currentYear)) {
        return u"Enter the year founded as a year from " + NumberText(kEarliestFoundedYear) +
               u" to " + NumberText(currentYear) + u", or leave it empty.";
    }
    // Readers fetch the policy from this address, so a relative or schemeless one would
    // point them nowhere.
    const Text scheme = ToLower(form.tdmPolicy.substr(0, form.tdmPolicy.find(u':')));
    if (!form.tdmPolicy.empty() && ((scheme != u"http" && scheme != u"https") ||
                                    form.tdmPolicy.find(u"://") != scheme.size() ||
                                    !ParseUrl(form.tdmPolicy).valid)) {
        return kTdmPolicyMessage;
    }
    if (form.fullTextMaxKib < 0 || form.fullTextMaxKib > kMaxFullTextKib) {
        return FullTextSizeMessage();
    }
    return Text();
}

}  // namespace bcnk
