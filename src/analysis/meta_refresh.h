#pragma once
// <meta http-equiv="refresh" content="0; url=next.html">: a page that moves its reader at
// once is a redirect written in HTML, and the crawl follows it like one.
#include "common/text.h"

namespace bcnk {

// The address a refresh's content attribute (entity-decoded) moves to at once, as written;
// empty when it waits first, names no address or cannot be read.
Text ImmediateRefreshTarget(const Text& content);

}  // namespace bcnk
