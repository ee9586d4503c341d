#pragma once
// Addresses of the program's maker. They live under a reserved example domain until real
// ones exist; everything that shows or opens them reads them from here.

namespace bcnk {

inline constexpr const char16_t* kProductName = u"Talvenn's Beaconsmith";
// The version as people see it in the About box, the console and the report.
inline constexpr const char16_t* kProductVersion = u"v1 (Build 16)";
inline constexpr const char16_t* kMakerHomePage = u"https://talvenn.example/";
inline constexpr const char16_t* kMakerToolsPage = u"https://talvenn.example/tools/";
inline constexpr const char16_t* kSiteAuditProductPage = u"https://talvenn.example/site-audit/";

}  // namespace bcnk
