#pragma once
// Query parameters that say where a visitor came from, not which page they see. A link with
// them leads to the same page as the link without, so the crawl drops them before queueing:
// the variants are neither fetched nor listed. Unless the user keeps them, this is the one
// list, documented in docs/json-output.md.
#include <span>

#include "common/text.h"

namespace bcnk {

// Exact names, and prefixes that end in "_" ("utm_" covers utm_source, utm_medium, ...).
std::span<const char16_t* const> TrackingParameterNames();

// True when the parameter name (as written, before "=") is a tracking parameter; letter case
// is ignored.
bool IsTrackingParameter(const Text& name);

// The address without its tracking parameters; the other parameters keep their order and
// spelling, a "#" fragment stays, and a query left empty loses its "?".
Text DropTrackingParameters(const Text& address);

}  // namespace bcnk
