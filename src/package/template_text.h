#pragma once
// Small pieces that several package generators write the same way: how a product page is
// named, which description stands for the site, and how a value becomes a JSON string.
#include <cstddef>

#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

// The name a product page is listed under: its structured-data product name, else its first
// h1, else its title (which may be empty too).
Text ProductHeading(const PageRecord& page);

// The owner's own description when the form has one, else the start page's meta description.
Text AboutText(const ScanResult& scan, const PackageForm& form);

// A JSON string literal: the escaped value between double quotes.
Text JsonString(const Text& value);

Text JsonBool(bool value);

std::size_t CountPagesOfClass(const ScanResult& scan, PageClass pageClass);

}  // namespace bcnk
