#pragma once
// The console program's command line: what the user asked for, checked against the same
// choices and the same address and form rules as the window.
#include <vector>

#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk::cli {

enum class Command { Help, Version, Scan, Generate };

struct Request {
    Command command = Command::Help;
    Command helpFor = Command::Help;  // Help only: the command whose help is wanted, or Help
    bool quiet = false;               // no progress lines
    bool verbose = false;             // every page not stored, with its reason
    int timeoutSeconds = 60;  // longest time one request may take, redirects and body included
    // startUrl is the address as read from a form field; userAgent is left at the built-in
    // default here and replaced at run time by userAgentOverride or the stored setting.
    ScanOptions scan;
    Text userAgentOverride;
    PackageForm form;  // generate only; already trimmed
    bool jsonWanted = false;
    Text jsonPath;         // "-" means standard output
    Text reportPath;       // empty: no HTML report
    int minScore = -1;     // -1: no threshold
    Text outputDirectory;  // empty: the current directory
};

struct ParsedArguments {
    bool ok = false;
    Request request;
    Text error;  // for standard error when ok is false; may span lines
};

// arguments excludes the program name.
ParsedArguments ParseArguments(const std::vector<Text>& arguments);

Text UsageText();
// The help of one command; UsageText() for Help and Version.
Text CommandHelpText(Command command);
Text VersionText();
// "v1 (Build 16)": the version alone, as the JSON names it.
Text VersionNumberText();

}  // namespace bcnk::cli
