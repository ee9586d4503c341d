#pragma once
// What a page says about its own publication: robots directives in <meta> elements and in
// X-Robots-Tag headers, its canonical address, and a fingerprint of its visible text. Read
// here as written; whether the page may be listed is judged by the scan (scan/indexability.h),
// which knows the crawlers.
#include <cstdint>
#include <vector>

#include "analysis/markup_index.h"
#include "common/text.h"

namespace bcnk {

// One <meta name="..." content="..."> of the page: the name lower-cased, the content decoded.
struct NamedMeta {
    Text name;
    Text content;
    bool operator==(const NamedMeta&) const = default;
};

struct PageSignals {
    // Metas with a name, in page order; the scan keeps those named for a crawler. Bounded, so
    // a page of thousands of metas cannot fill memory.
    std::vector<NamedMeta> metas;
    // href of the first <link rel="canonical"> in the head, as written (not resolved).
    Text canonicalHref;
    // FNV-1a over the visible text, folded and with white space collapsed; 0 when the page
    // shows no text, so empty pages never count as copies of each other.
    std::uint64_t textHash = 0;
    bool operator==(const PageSignals&) const = default;
};

inline constexpr size_t kMaxNamedMetas = 64;

PageSignals ReadPageSignals(TextView page, const MarkupIndex& index);

// One directive and whom it addresses: agent is lower case, empty for every crawler
// ("robots" metas, X-Robots-Tag without an agent); directive is lower case and trimmed,
// "max-snippet:20" and "unavailable_after: 2026-01-01" keep their value.
struct AgentDirective {
    Text agent;
    Text directive;
    bool operator==(const AgentDirective&) const = default;
};

// The directives of one meta content or one X-Robots-Tag value. A header value may begin
// with "agent:" and then addresses that agent only; `agent` is the meta's own addressee.
std::vector<AgentDirective> ParseRobotsDirectives(const Text& value, const Text& agent,
                                                  bool headerForm);

// The target of the first rel="canonical" link among Link header values, as written.
Text CanonicalFromLinkHeaders(const std::vector<Text>& linkValues);

}  // namespace bcnk
