#pragma once
// Whether a probed file's body is a document of the format its name promises. Small
// checkers of our own on the raw bytes: they never fail, read the body once without
// recursion beyond a fixed nesting depth, and so cost little whatever a site serves.
#include <cstddef>
#include <string_view>

namespace bcnk {

// Deeper nesting than this is taken as not a document of the format.
inline constexpr std::size_t kMaxFormatDepth = 256;

// A JSON text (RFC 8259) in UTF-8 that holds at least one object: what every JSON file of
// the package is. A byte-order mark and white space around it are allowed.
bool IsJsonDocument(std::string_view body);

// A well-formed XML 1.0 document in UTF-8 after white space and a byte-order mark: one root
// element, tags that nest and close, attributes quoted, references either numeric or one of
// the five predefined entities. A DOCTYPE is skipped, never read; after one, any named
// reference is allowed since the DTD may declare it.
bool IsXmlDocument(std::string_view body);

}  // namespace bcnk
