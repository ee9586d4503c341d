#pragma once
// Address handling for the crawl: splitting, origin and host, link resolution, the
// visited-set key and the extension filter. Pure functions on UTF-16 text; an unusable input
// gives an empty result (or false), never an error.
//
// Deliberately not a general URL library: no percent-decoding, no punycode, no IPv6
// literals, and user-info is only dropped. The crawl's duplicate detection, its same-site
// test and the stored page addresses depend on these exact results, so change nothing here
// without looking at what the crawl stores.
#include <ostream>

#include "common/text.h"

namespace bcnk {

struct UrlParts {
    bool secure = true;  // false only for the scheme "http"; true when no scheme is given
    Text host;           // as written, case kept, without user-info and port
    int port = 0;        // the port given, else the scheme's default
    Text path;           // from the first "/", "?" or "#" to the end; "/" when nothing follows
    bool valid = false;  // host is not empty

    bool operator==(const UrlParts&) const = default;
};

void PrintTo(const UrlParts& parts, std::ostream* os);

UrlParts ParseUrl(const Text& text);

// "http(s)://" + host as written + ":port" only when not the scheme's default; no trailing
// "/". Empty for an invalid address.
Text OriginOf(const Text& address);

// Lower-cased host, without port; the same-site test compares these. Empty when invalid.
Text HostKey(const Text& address);

// Two addresses with the same key are the same page: the letter case of scheme and host,
// the default port, one trailing slash, a trailing index/default document, the fragment and
// the spelling of percent-escapes are ignored; path and query keep their case.
Text DuplicateKey(const Text& address);

// The address up to its first "#".
Text WithoutFragment(const Text& address);

// The absolute address a link in a page points to, without its fragment, or empty when it
// is not to be followed (empty, pure fragment, any scheme but http and https, or an
// unusable page address).
Text ResolveLink(const Text& pageAddress, const Text& href);

// Lower-case scheme, host case kept, no default port, no dot segments, no repeated slashes.
// An address that does not parse comes back unchanged.
Text NormalizeAbsolute(const Text& address);

// RFC 3986 dot-segment removal; an empty result becomes "/".
Text RemoveDotSegments(const Text& path);

// Every run of "/" becomes a single "/".
Text CollapseSlashes(const Text& path);

// The address as a valid RFC 3986 URI, for every address a generated file writes. Letters
// outside ASCII become percent-escapes of their UTF-8 bytes; space, control characters and
// the other characters URIs may not hold (" < > \ ^ ` { | } and "[", "]" outside the host)
// are escaped too, as is a second "#". Escapes already present stay, with their hex digits
// in capitals and escaped letters, digits and "-._~" written plainly, so an address written
// escaped and the same address written raw come out identical. Everything else is kept.
Text UriEscape(const Text& address);

// True when the address, without its query, ends in the extension of a non-page resource
// (images, styles, scripts, data files, archives, media, fonts, plain text).
bool IsSkippedExtension(const Text& address);

}  // namespace bcnk
