#pragma once
// Reads the JSON-LD blocks of a page without parsing JSON: quoted keys and type words are
// found case-insensitively and the quoted value behind them is cut out as written (JSON
// escapes are not interpreted). Fills schemaTypes, organizationName, personName and
// productName of the record being built; once a name is set, later blocks leave it alone.
#include "analysis/html_parser.h"
#include "analysis/markup_index.h"

namespace bcnk {

void DetectStructuredData(const Text& page, ParsedPage& parsed);

// The same for a page the caller has already indexed.
void DetectStructuredData(TextView page, const MarkupIndex& index, ParsedPage& parsed);

}  // namespace bcnk
