#pragma once
// The quick look at a typed start address that both front ends make before a scan starts,
// and the messages they show when it fails. The crawl validates the address again, fully.
#include "common/text.h"

namespace bcnk {

inline constexpr const char16_t* kEnterAddressMessage = u"Enter a URL to scan.";
inline constexpr const char16_t* kInvalidAddressMessage =
    u"That doesn't look like a valid website address.\n\nExample: https://example.com";

// True when the host part (after any "scheme://", before the first "/", "?" or "#", without
// a ":port") is non-empty, holds a dot, and has only letters, digits, "-" and ".". The
// scheme is not looked at: an ftp address with a good host passes and the crawl rejects it.
bool PassesAddressCheck(const Text& address);

// For an address already read from its field (FormFieldText): empty when a scan may start,
// otherwise the message to show.
Text StartAddressProblem(const Text& address);

}  // namespace bcnk
