#pragma once
// Server set-up files: the same response headers and content types for four kinds of server
// (nginx, Apache, IIS, static hosts that read a _headers file), so the package's files are
// served as text in UTF-8 and every response carries the owner's usage preferences.
#include <vector>

#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

// The folder of the package they are written to.
inline constexpr char16_t kServerFolder[] = u"server";

// What every file promises, from the scan and the form.
struct ServerHeader {
    Text name;
    Text value;
};
struct ServerSetup {
    std::vector<ServerHeader> headers;  // on every response
    // Left out of the headers because its address holds characters some server file could
    // not carry literally ("$", "%", quotes, back-slashes); the owner adds it by hand.
    Text omittedTdmPolicy;
};
ServerSetup ServerSetupFor(const ScanResult& scan, const PackageForm& form);

// Files served as UTF-8 text: llms.txt and its variants by name, Markdown by extension.
inline constexpr const char16_t* kTextFileNames[] = {u"llms.txt", u"llms-full.txt",
                                                     u"llms-lite.txt"};
inline constexpr char16_t kPlainTextType[] = u"text/plain; charset=utf-8";
inline constexpr char16_t kMarkdownType[] = u"text/markdown; charset=utf-8";

Text MakeNginxSnippet(const ScanResult& scan, const PackageForm& form);
Text MakeHtaccess(const ScanResult& scan, const PackageForm& form);
Text MakeIisWebConfig(const ScanResult& scan, const PackageForm& form);
Text MakeHeadersFile(const ScanResult& scan, const PackageForm& form);

// The four files with their names inside the package ("server/...").
std::vector<PackageFile> ServerSetupFiles(const ScanResult& scan, const PackageForm& form);

}  // namespace bcnk
