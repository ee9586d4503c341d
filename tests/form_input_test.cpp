// The checks both front ends make on what was typed before a scan or a package starts.
#include <gtest/gtest.h>

#include <utility>

#include "common/form_text.h"
#include "package/package_form.h"
#include "scan/address_check.h"
#include "support/platform.h"

namespace bcnk {
namespace {

struct AddressCase {
    const char16_t* address;
    bool passes;
};

TEST(AddressCheck, HostPartDecides) {
    const AddressCase cases[] = {
        {u"example.com", true},
        {u"https://example.com/path?q=1", true},
        {u"http://example.com:8080", true},
        {u"http://127.0.0.1:8123/", true},
        {u"sub-domain.example.co.uk#top", true},
        {u"ftp://example.com", false},
        {u"HTTPS://example.com", true},
        {u"https://b\u00FCcher.example/", true},
        {u"localhost", true},
        {u"http://LocalHost:8080/", true},
        {u"intranet", false},
        {u"https://", false},
        {u"://", false},
        {u"https://user@example.com", true},
        {u"https://user:p@ss@example.com/", true},
        {u"https://example.com:65535", true},
        {u"https://example.com:65536", false},
        {u"https://example.com:0", false},
        {u"https://example.com:8o", false},
        {u"https://exa mple.com", false},
        {u"https://my_host.example.com", false},
        {u"https://[::1]:8080/", true},
        {u"[fe80::1]", true},
        {u"https://[::1", false},
        {u"https://[::1]x/", false},
        {u"https://[example.com]/", false},
        {u".", true},  // only a dot: let the crawl reject it
        {u"a:b.c", false},
        {u"\U0001F600.example", false},
        {u"", false},
        {u"127.0.0.1:8080", true},
        {u"example.com#top", true},
        {u"exa mple.com", false},
        {u"my_site.com", false},
    };
    for (const AddressCase& row : cases) {
        EXPECT_EQ(PassesAddressCheck(row.address), row.passes) << WideToUtf8(row.address);
    }
}

TEST(AddressCheck, ProblemTextsAreTheWindowsOwn) {
    EXPECT_EQ(StartAddressProblem(u""), u"Enter a URL to scan.");
    EXPECT_EQ(StartAddressProblem(u"ftp://example.com"),
              u"Only http:// and https:// addresses can be scanned.");
    EXPECT_EQ(StartAddressProblem(u"example.com:99999"),
              u"The port must be a number from 1 to 65535.");
    EXPECT_EQ(StartAddressProblem(u"intranet"),
              u"That doesn't look like a valid website address.\n\nExample: https://example.com");
    EXPECT_EQ(StartAddressProblem(u"example.com"), u"");
}

TEST(AddressCheck, UserInfoNeverLeavesTheForm) {
    const std::pair<const char16_t*, const char16_t*> rows[] = {
        {u"https://user:pw@example.com/a@b", u"https://example.com/a@b"},
        {u"u:p@ss@example.com:81", u"example.com:81"},
        {u"example.com/?next=http://x@y", u"example.com/?next=http://x@y"},
    };
    for (const auto& [typed, kept] : rows) {
        EXPECT_EQ(WithoutUserInfo(typed), kept) << WideToUtf8(typed);
    }
    EXPECT_TRUE(HasScheme(u"http://a.b") && !HasScheme(u"a.b/x://y"));
}

TEST(FormFieldText, CutsBeforeTrimming) {
    EXPECT_EQ(FormFieldText(u"  example.com  "), u"example.com");
    EXPECT_EQ(FormFieldText(u"\t\u00A0name\u3000"), u"name");
    EXPECT_EQ(FormFieldText(u"   "), u"");

    // Spaces inside the first 2047 characters are trimmed; text after the cut is never seen.
    const Text typed = Text(2040, u'a') + Text(10, u' ') + u"tail";
    EXPECT_EQ(FormFieldText(typed), Text(2040, u'a'));
    EXPECT_EQ(FormFieldText(Text(3000, u'x')).size(), kFormFieldMaxChars);
}

TEST(PackageFormInput, TrimsTextsAndKeepsChoices) {
    PackageForm typed;
    typed.name = u"  Brackenfold Labs ";
    typed.description = u"\nShop software\n";
    typed.email = u" hello@brackenfold.example";
    typed.founded = u" 2017 ";
    typed.industry = u"E-commerce";
    typed.allowCitation = true;
    const PackageForm form = TrimmedPackageForm(typed);
    EXPECT_EQ(form.name, u"Brackenfold Labs");
    EXPECT_EQ(form.description, u"Shop software");
    EXPECT_EQ(form.email, u"hello@brackenfold.example");
    EXPECT_EQ(form.founded, u"2017");
    EXPECT_EQ(form.industry, u"E-commerce");
    EXPECT_FALSE(form.allowTraining);
    EXPECT_TRUE(form.allowCitation);
    EXPECT_EQ(PackageFormProblem(form), u"");
}

TEST(PackageFormInput, OnlyTheNameIsRequired) {
    PackageForm typed;
    typed.name = u"   ";
    EXPECT_EQ(PackageFormProblem(TrimmedPackageForm(typed)), u"Enter your name or business name.");
    typed.name = u"X";
    EXPECT_EQ(PackageFormProblem(TrimmedPackageForm(typed)), u"");
}

TEST(PackageFormInput, TdmPolicyIsAnAbsoluteWebAddressWhenGiven) {
    const std::pair<Text, bool> rows[] = {
        {u"", true},
        {u"  https://example.com/tdm-policy.json ", true},
        {u"HTTP://example.com/", true},
        {u"example.com/tdm", false},
        {u"/tdm-policy", false},
        {u"ftp://example.com/tdm", false},
        {u"https://", false},
        {u"mailto:x@example.com", false},
    };
    for (const auto& [address, accepted] : rows) {
        PackageForm typed;
        typed.name = u"N";
        typed.tdmPolicy = address;
        EXPECT_EQ(PackageFormProblem(TrimmedPackageForm(typed), 2026),
                  accepted ? Text() : Text(kTdmPolicyMessage))
            << WideToUtf8(address);
    }
}

TEST(PackageFormInput, EmailAndYearMustBeWhatTheySay) {
    const Text badEmail = kEmailMessage;
    const Text badYear = u"Enter the year founded as a year from 1800 to 2026, or leave it empty.";
    struct Row {
        Text email;
        Text founded;
        Text problem;
    };
    const Row rows[] = {
        {u"", u"", u""},
        {u"hello@brackenfold.example", u"2026", u""},
        {u"first.last+tag@mail.example.co.uk", u"1800", u""},
        {u"o'brien@localhost", u"", u""},
        {u"j\u00FCrgen@b\u00FCcher.example", u"", u""},
        {u"hello", u"", badEmail},
        {u"@example.com", u"", badEmail},
        {u"hello@", u"", badEmail},
        {u"a@b@c.example", u"", badEmail},
        {u"hello @example.com", u"", badEmail},
        {u"hello@exa_mple.com", u"", badEmail},
        {u".hello@example.com", u"", badEmail},
        {u"hel..lo@example.com", u"", badEmail},
        {u"hello@example..com", u"", badEmail},
        {u"hello@example.com.", u"", badEmail},
        {u"\"q\"@example.com", u"", badEmail},
        {u"a<b>@example.com", u"", badEmail},
        {u"line\nbreak@example.com", u"", badEmail},
        {u"hello@[127.0.0.1]", u"", badEmail},
        {Text(65, u'a') + u"@example.com", u"", badEmail},
        {u"", u"1799", badYear},
        {u"", u"2027", badYear},
        {u"", u"0", badYear},
        {u"", u"20x6", badYear},
        {u"", u"12345", badYear},
    };
    for (const Row& row : rows) {
        PackageForm form;
        form.name = u"N";
        form.email = row.email;
        form.founded = row.founded;
        EXPECT_EQ(PackageFormProblem(form, 2026), row.problem)
            << WideToUtf8(row.email) << " / " << WideToUtf8(row.founded);
    }
}

TEST(PackageFormInput, FullTextSizeIsAWholeNumberOfKibInRange) {
    const std::pair<Text, int> rows[] = {
        {u"1024", 1024},
        {u" 0 ", 0},  // no llms-full.txt
        {u"0007", 7},
        {u"102400", 102400},
        {u"102401", -1},
        {u"99999999999999999999", -1},  // would overflow any int
        {u"", -1},
        {u"-5", -1},
        {u"+5", -1},
        {u"1.5", -1},
        {u"512 KiB", -1},
        {u"１２", -1},  // full-width digits
    };
    for (const auto& [typed, kib] : rows) {
        EXPECT_EQ(FullTextKibFromField(typed), kib) << WideToUtf8(typed);
        PackageForm form;
        form.name = u"N";
        form.fullTextMaxKib = FullTextKibFromField(typed);
        EXPECT_EQ(PackageFormProblem(form, 2026), kib < 0 ? FullTextSizeMessage() : Text())
            << WideToUtf8(typed);
    }
}

}  // namespace
}  // namespace bcnk
