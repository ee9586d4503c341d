#pragma once
// The quick look at a typed start address that both front ends make before a scan starts,
// and the messages they show when it fails. The crawl validates the address again, fully.
#include <atomic>

#include "common/text.h"

namespace bcnk {

inline constexpr const char16_t* kEnterAddressMessage = u"Enter a URL to scan.";
inline constexpr const char16_t* kInvalidAddressMessage =
    u"That doesn't look like a valid website address.\n\nExample: https://example.com";
inline constexpr const char16_t* kSchemeMessage =
    u"Only http:// and https:// addresses can be scanned.";
inline constexpr const char16_t* kPortMessage = u"The port must be a number from 1 to 65535.";

enum class AddressVerdict { Ok, Empty, Invalid, UnsupportedScheme, BadPort };

// Reads the scheme (optional; http or https), user information (allowed, never looked at),
// the host and an optional port. The host must be a dotted name of letters, digits, "-" and
// ".", "localhost", or an IP literal ("127.0.0.1", "[::1]"), so a developer can check a site
// before it is public.
AddressVerdict CheckStartAddress(const Text& address);

// True when CheckStartAddress says Ok.
bool PassesAddressCheck(const Text& address);

// For an address already read from its field (FormFieldText): empty when a scan may start,
// otherwise the message to show.
Text StartAddressProblem(const Text& address);

// The address without "user:password@": what goes into the crawl, the log and every
// generated file, so a password typed into the address is never written anywhere.
Text WithoutUserInfo(const Text& address);

// True when the address names its scheme ("https://...").
bool HasScheme(const Text& address);

// For an address typed without a scheme: "https://" + address when the start page answers
// over https, else "http://" + address when that answers, else the https form. When neither
// answers, `bothFailed` (if given) receives both reasons ("https: timed out; http: connection
// refused"), which say more than the https failure the crawl then reports. An address with a
// scheme comes back unchanged.
Text ChooseScheme(const Text& address, const Text& userAgent, Text* bothFailed = nullptr);

// What both front ends say first when the start page got no answer at all.
Text UnreachableMessage(const Text& address, const Text& reason);

// When robots.txt keeps our crawl out of every page; each front end names its way out
// behind it (the console's option, the window's check box).
inline constexpr const char16_t* kRobotsBlockAllMessage =
    u"robots.txt blocks this crawl; to scan your own site anyway use";

}  // namespace bcnk
