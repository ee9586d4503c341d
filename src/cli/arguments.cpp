#include "cli/arguments.h"

#include <algorithm>
#include <optional>

#include "common/form_text.h"
#include "common/maker_info.h"
#include "package/package_form.h"
#include "scan/address_check.h"
#include "scan/fetch_ahead.h"

namespace bcnk::cli {

namespace {

// Plain decimal digits only: "+3", " 3" and "3x" are refused rather than half-read.
std::optional<int> ParseCount(const Text& text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (char16_t unit : text) {
        if (unit < u'0' || unit > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (unit - u'0');
    }
    return value;
}

Text ChoiceError(const Text& option, const Text& value, const Text& choices) {
    return option + u" must be " + choices + u", not '" + value + u"'";
}

// A whole number within [low, high], or the message that names the range.
std::optional<int> RangedNumber(const Text& option, const Text& value, int low, int high,
                                const Text& unit, Text& error) {
    const auto number = ParseCount(value);
    if (!number || *number < low || *number > high) {
        error = ChoiceError(
            option, value,
            u"a whole number from " + NumberText(low) + u" to " + NumberText(high) + unit);
        return std::nullopt;
    }
    return number;
}

Text ApplyDepth(Request& request, const Text& value) {
    Text error;
    if (const auto depth = RangedNumber(u"--depth", value, 1, kMaxCrawlDepth, Text(), error)) {
        request.scan.maxDepth = *depth;
    }
    return error;
}

Text ApplyDelay(Request& request, const Text& value) {
    Text error;
    if (const auto delay = RangedNumber(u"--delay", value, 0, 10000, u" (milliseconds)", error)) {
        request.scan.delayMs = *delay;
    }
    return error;
}

Text ApplyConnections(Request& request, const Text& value) {
    Text error;
    if (const auto connections = RangedNumber(u"--connections", value, 1, kMaxConnections,
                                              Text(), error)) {
        request.scan.connections = *connections;
    }
    return error;
}

Text ApplyMaxPages(Request& request, const Text& value) {
    if (ToLower(value) == u"none") {
        request.scan.maxPages = kNoPageLimit;
        return Text();
    }
    Text error;
    if (const auto pages =
            RangedNumber(u"--max-pages", value, 1, kNoPageLimit, u" or none", error)) {
        request.scan.maxPages = *pages;
    }
    return error;
}

Text ApplyTimeout(Request& request, const Text& value) {
    Text error;
    if (const auto seconds = RangedNumber(u"--timeout", value, 1, 60, u" (seconds)", error)) {
        request.timeoutSeconds = *seconds;
    }
    return error;
}

Text SetQuiet(Request& request, const Text&) {
    request.quiet = true;
    return Text();
}

Text SetVerbose(Request& request, const Text&) {
    request.verbose = true;
    return Text();
}

Text ApplyUserAgent(Request& request, const Text& value) {
    // Read like the stored setting: at most 1023 characters, trimmed; empty falls back.
    request.userAgentOverride = Trim(value.substr(0, 1023));
    return Text();
}

Text ApplyJson(Request& request, const Text& value) {
    if (value.empty()) {
        return u"--json needs a file name, or - for standard output";
    }
    request.jsonWanted = true;
    request.jsonPath = value;
    return Text();
}

Text ApplyReport(Request& request, const Text& value) {
    if (value.empty()) {
        return u"--report needs a file name, or - for standard output";
    }
    request.reportPath = value;
    return Text();
}

Text ApplyMinScore(Request& request, const Text& value) {
    Text error;
    if (const auto score = RangedNumber(u"--min-score", value, 0, 100, Text(), error)) {
        request.minScore = *score;
    }
    return error;
}

Text ApplyName(Request& request, const Text& value) {
    request.form.name = value;
    return Text();
}

Text ApplyDescription(Request& request, const Text& value) {
    request.form.description = value;
    return Text();
}

Text ApplyEmail(Request& request, const Text& value) {
    request.form.email = value;
    return Text();
}

Text ApplyTdmPolicy(Request& request, const Text& value) {
    request.form.tdmPolicy = value;
    return Text();
}

Text ApplyIndustry(Request& request, const Text& value) {
    for (const char16_t* choice : kIndustryChoices) {
        if (ToLower(value) == ToLower(choice)) {
            request.form.industry = choice;
            return Text();
        }
    }
    return ChoiceError(u"--industry", value,
                       u"one of Software, SEO, Marketing, E-commerce, Blog, Other");
}

Text ApplyFounded(Request& request, const Text& value) {
    // The window's box takes at most four digits; the console holds the year to the same.
    const Text year = FormFieldText(value);
    if (year.size() > 4 || (!year.empty() && !ParseCount(year))) {
        return ChoiceError(u"--founded", value, u"a year of at most 4 digits");
    }
    request.form.founded = year;
    return Text();
}

Text ApplyOutput(Request& request, const Text& value) {
    if (value.empty()) {
        return u"--output needs a directory";
    }
    request.outputDirectory = value;
    return Text();
}

Text ClearTraining(Request& request, const Text&) {
    request.form.allowTraining = false;
    return Text();
}

Text ClearCitation(Request& request, const Text&) {
    request.form.allowCitation = false;
    return Text();
}

Text ClearSummarisation(Request& request, const Text&) {
    request.form.allowSummarisation = false;
    return Text();
}

Text ClearRobotsRules(Request& request, const Text&) {
    request.form.addRobotsRules = false;
    return Text();
}

Text SetContentUsageInRobots(Request& request, const Text&) {
    request.form.contentUsageInRobots = true;
    return Text();
}

Text ClearMarkdown(Request& request, const Text&) {
    request.form.publishMarkdown = false;
    return Text();
}

Text ApplyFullMaxKib(Request& request, const Text& value) {
    Text error;
    if (const auto kib = RangedNumber(u"--full-max-kib", value, 0, kMaxFullTextKib,
                                      u" (KiB; 0 writes no llms-full.txt)", error)) {
        request.form.fullTextMaxKib = *kib;
    }
    return error;
}

Text IgnoreRobots(Request& request, const Text&) {
    request.scan.respectRobots = false;
    return Text();
}

Text ApplySitemaps(Request& request, const Text& value) {
    if (value != u"use" && value != u"ignore") {
        return ChoiceError(u"--sitemaps", value, u"use or ignore");
    }
    request.scan.useSitemaps = value == u"use";
    return Text();
}

Text NoAgentCheck(Request& request, const Text&) {
    request.scan.agentCheck = false;
    return Text();
}

Text ApplyRender(Request& request, const Text& value) {
    const Text choice = ToLower(value);
    if (choice == u"off") {
        request.scan.renderPages = 0;
        return Text();
    }
    if (choice == u"all") {
        request.scan.renderPages = kRenderAllPages;
        return Text();
    }
    Text error;
    if (const auto pages = RangedNumber(u"--render", value, 1, kNoPageLimit, u", all or off", error)) {
        request.scan.renderPages = *pages;
    }
    return error;
}

Text ApplyBrowser(Request& request, const Text& value) {
    request.scan.browserPath = value;
    return Text();
}

Text KeepQueryTracking(Request& request, const Text&) {
    request.scan.keepQueryTracking = true;
    return Text();
}

Text ApplyInclude(Request& request, const Text& value) {
    if (Trim(value).empty()) {
        return u"--include needs a path, e.g. /docs/";
    }
    request.scan.includePaths.push_back(value);
    return Text();
}

Text ApplyExclude(Request& request, const Text& value) {
    if (Trim(value).empty()) {
        return u"--exclude needs a path, e.g. /archive/";
    }
    request.scan.excludePaths.push_back(value);
    return Text();
}

Text SetWithinStartFolder(Request& request, const Text&) {
    request.scan.withinStartFolder = true;
    return Text();
}

// Options that take a value once; given twice, the run would silently use one of them.
bool IsRepeatable(const Text& name) {
    return name == u"--include" || name == u"--exclude";
}

struct OptionRule {
    const char16_t* name;
    bool takesValue;
    bool generateOnly;
    Text (*apply)(Request&, const Text&);
};

constexpr OptionRule kOptions[] = {
    {u"--depth", true, false, ApplyDepth},
    {u"--delay", true, false, ApplyDelay},
    {u"--connections", true, false, ApplyConnections},
    {u"--max-pages", true, false, ApplyMaxPages},
    {u"--user-agent", true, false, ApplyUserAgent},
    {u"--json", true, false, ApplyJson},
    {u"--report", true, false, ApplyReport},
    {u"--min-score", true, false, ApplyMinScore},
    {u"--timeout", true, false, ApplyTimeout},
    {u"--quiet", false, false, SetQuiet},
    {u"--verbose", false, false, SetVerbose},
    {u"--name", true, true, ApplyName},
    {u"--description", true, true, ApplyDescription},
    {u"--email", true, true, ApplyEmail},
    {u"--industry", true, true, ApplyIndustry},
    {u"--founded", true, true, ApplyFounded},
    {u"--tdm-policy", true, true, ApplyTdmPolicy},
    {u"--output", true, true, ApplyOutput},
    {u"--no-training", false, true, ClearTraining},
    {u"--no-citation", false, true, ClearCitation},
    {u"--no-summarisation", false, true, ClearSummarisation},
    {u"--no-robots-rules", false, true, ClearRobotsRules},
    {u"--content-usage-in-robots", false, true, SetContentUsageInRobots},
    {u"--no-markdown", false, true, ClearMarkdown},
    {u"--full-max-kib", true, true, ApplyFullMaxKib},
    {u"--ignore-robots", false, false, IgnoreRobots},
    {u"--sitemaps", true, false, ApplySitemaps},
    {u"--no-agent-check", false, false, NoAgentCheck},
    {u"--render", true, false, ApplyRender},
    {u"--browser", true, false, ApplyBrowser},
    {u"--keep-query-tracking", false, false, KeepQueryTracking},
    {u"--include", true, false, ApplyInclude},
    {u"--exclude", true, false, ApplyExclude},
    {u"--within-start-folder", false, false, SetWithinStartFolder},
};

const OptionRule* FindOption(const Text& name) {
    for (const OptionRule& option : kOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

// Edits (insert, delete, replace, swap two neighbours) between two short words.
size_t EditDistance(const Text& a, const Text& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) {
        for (size_t j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = i + j;
                continue;
            }
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

Text WithoutDashes(const Text& name) {
    return name.substr(std::min(name.find_first_not_of(u'-'), name.size()));
}

// " (did you mean 'x'?)" for the nearest candidate, else empty. Only a near miss counts (at
// most two edits, and fewer than half the word), so a hint is never a wild guess.
Text Hint(const Text& typed, const std::vector<Text>& candidates) {
    const Text* best = nullptr;
    size_t bestDistance = 3;
    for (const Text& candidate : candidates) {
        const Text bare = WithoutDashes(candidate);
        const size_t distance = EditDistance(WithoutDashes(ToLower(typed)), bare);
        if (distance < bestDistance && distance * 2 < bare.size()) {
            best = &candidate;
            bestDistance = distance;
        }
    }
    return best ? u" (did you mean '" + *best + u"'?)" : Text();
}

const std::vector<Text> kCommandNames = {u"scan", u"generate", u"help"};

std::optional<Command> CommandNamed(const Text& name) {
    if (name == u"scan") {
        return Command::Scan;
    }
    if (name == u"generate") {
        return Command::Generate;
    }
    return std::nullopt;
}

Text UnknownCommand(const Text& name) {
    return u"unknown command '" + name + u"'" + Hint(name, kCommandNames);
}

Text UnknownOption(const Text& name, bool generating) {
    std::vector<Text> names;
    for (const OptionRule& option : kOptions) {
        if (generating || !option.generateOnly) {
            names.emplace_back(option.name);
        }
    }
    names.emplace_back(u"--help");
    const Text command = generating ? u"generate" : u"scan";
    const OptionRule* other = FindOption(name);
    if (other && other->generateOnly) {
        return u"unknown option '" + name + u"' for scan (it is an option of generate)";
    }
    return u"unknown option '" + name + u"' for " + command + Hint(name, names);
}

bool IsHelp(const Text& argument) { return argument == u"--help" || argument == u"-h"; }

ParsedArguments Failure(const Text& error) {
    ParsedArguments parsed;
    parsed.error = error;
    return parsed;
}

// A new form says yes to everything, as the window's check boxes do on start.
Request FreshRequest(Command command) {
    Request request;
    request.command = command;
    request.form.industry = kIndustryChoices[0];
    request.form.allowTraining = true;
    request.form.allowCitation = true;
    request.form.allowSummarisation = true;
    request.form.addRobotsRules = true;
    request.scan.agentCheck = true;
    request.scan.renderPages = kDefaultRenderPages;
    return request;
}

ParsedArguments HelpFor(Command command) {
    ParsedArguments parsed;
    parsed.ok = true;
    parsed.request = FreshRequest(Command::Help);
    parsed.request.helpFor = command;
    return parsed;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<Text>& arguments) {
    if (arguments.empty()) {
        return Failure(u"no command given");
    }
    const Text& first = arguments[0];
    ParsedArguments parsed;
    if (IsHelp(first) || first == u"help") {
        if (first != u"help" || arguments.size() < 2) {
            return HelpFor(Command::Help);
        }
        const auto topic = CommandNamed(arguments[1]);
        return topic ? HelpFor(*topic) : Failure(UnknownCommand(arguments[1]));
    }
    if (first == u"--version") {
        parsed.ok = true;
        parsed.request = FreshRequest(Command::Version);
        return parsed;
    }
    const auto command = CommandNamed(first);
    if (!command) {
        return Failure(UnknownCommand(first));
    }
    const bool generating = *command == Command::Generate;
    Request request = FreshRequest(*command);

    std::vector<Text> positional;
    std::vector<Text> given;
    bool optionsEnded = false;
    for (size_t index = 1; index < arguments.size(); ++index) {
        const Text& argument = arguments[index];
        if (optionsEnded || argument.size() < 2 || argument[0] != u'-') {
            positional.push_back(argument);
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
            continue;
        }
        if (IsHelp(argument)) {
            return HelpFor(*command);
        }
        const size_t equals = argument.find(u'=');
        const Text name = argument.substr(0, equals);
        const OptionRule* option = FindOption(name);
        if (!option || (option->generateOnly && !generating)) {
            return Failure(UnknownOption(name, generating));
        }
        if (option->takesValue && !IsRepeatable(name)) {
            if (std::find(given.begin(), given.end(), name) != given.end()) {
                return Failure(name + u" was given more than once");
            }
            given.push_back(name);
        }
        Text value;
        if (option->takesValue) {
            // A value that looks like an option is never taken as one: "--json --no-training"
            // must not write the JSON into a file named "--no-training" and drop the flag.
            // "-" alone is standard output, not an option.
            if (equals != Text::npos) {
                value = argument.substr(equals + 1);
            } else if (index + 1 < arguments.size() &&
                       (arguments[index + 1].empty() || arguments[index + 1][0] != u'-' ||
                        arguments[index + 1] == u"-")) {
                value = arguments[++index];
            } else {
                return Failure(name + u" needs a value (for one that begins with '-', write " +
                               name + u"=VALUE)");
            }
        } else if (equals != Text::npos) {
            return Failure(name + u" takes no value");
        }
        const Text error = option->apply(request, value);
        if (!error.empty()) {
            return Failure(error);
        }
    }

    if (positional.size() > 1) {
        return Failure(u"only one ADDRESS may be given, not also '" + positional[1] + u"'");
    }
    if (request.quiet && request.verbose) {
        return Failure(u"--quiet and --verbose cannot be used together");
    }
    if (request.jsonWanted && request.jsonPath == u"-" && request.reportPath == u"-") {
        return Failure(u"--json - and --report - cannot both use standard output");
    }
    request.scan.startUrl = positional.empty() ? Text() : FormFieldText(positional[0]);
    const Text addressProblem = StartAddressProblem(request.scan.startUrl);
    if (!addressProblem.empty()) {
        return Failure(addressProblem);
    }
    request.scan.startUrl = WithoutUserInfo(request.scan.startUrl);
    if (generating) {
        request.form = TrimmedPackageForm(request.form);
        const Text formProblem = PackageFormProblem(request.form);
        if (!formProblem.empty()) {
            return Failure(formProblem);
        }
    }
    parsed.ok = true;
    parsed.request = request;
    return parsed;
}

Text VersionNumberText() { return kProductVersion; }

Text VersionText() { return Text(kProductName) + u" " + VersionNumberText(); }

namespace {

constexpr const char16_t* kScanOptionsHelp =
    u"Scan options:\n"
    u"  --depth 1..20              link levels below the start page (default 3)\n"
    u"  --delay 0..10000           pause after each page in ms (default 500)\n"
    u"  --connections 1..16        requests in flight at once when --delay is 0 (default 4)\n"
    u"  --max-pages 1..1000000|none\n"
    u"                             page limit (default 500)\n"
    u"  --timeout 1..60            seconds one request may take in all (default 60)\n"
    u"  --user-agent TEXT          User-Agent to send (default: bcnk.ini, else built-in)\n"
    u"  --json FILE|-              write the whole scan result as JSON (- for stdout)\n"
    u"  --report FILE|-            write the result as a self-contained HTML report\n"
    u"  --min-score N              exit with 5 when the score is below N (0..100)\n"
    u"  --ignore-robots            also fetch pages the site's robots.txt disallows (and\n"
    u"                             ignore its Crawl-delay)\n"
    u"  --sitemaps use|ignore      crawl what the site's sitemaps list too (default use)\n"
    u"  --no-agent-check           do not ask the server as each AI crawler after the crawl\n"
    u"  --render N|all|off         pages to render headless to find content only scripts\n"
    u"                             show (default 25: the start page and 24 more)\n"
    u"  --browser PATH             the Chromium-based browser to render with (default: the\n"
    u"                             installed Chromium, Chrome or Edge)\n"
    u"  --keep-query-tracking      keep utm_*, gclid and other tracking parameters in links\n"
    u"  --include PATH             crawl only pages whose path starts so (repeatable;\n"
    u"                             * matches any run, as in robots.txt)\n"
    u"  --exclude PATH             leave out pages whose path starts so (repeatable)\n"
    u"  --within-start-folder      only pages under the start address's folder\n"
    u"  --quiet                    no progress lines, the summary only\n"
    u"  --verbose                  also list every page that was not stored, with its reason\n";

constexpr const char16_t* kPackageOptionsHelp =
    u"Package options (generate):\n"
    u"  --name NAME                your name or business name (required)\n"
    u"  --description TEXT         --email TEXT         --founded YEAR\n"
    u"  --industry Software|SEO|Marketing|E-commerce|Blog|Other (default Software)\n"
    u"  --tdm-policy URL           your text and data mining policy, named in tdmrep.json\n"
    u"  --no-training --no-citation --no-summarisation\n"
    u"                             withhold that AI permission (all are given by default)\n"
    u"  --no-robots-rules          do not write AI rules into robots.txt.NEW\n"
    u"  --content-usage-in-robots  also write the IETF Content-Usage line into robots.txt.NEW\n"
    u"                             (robots.txt audits may report it: see README.txt)\n"
    u"  --no-markdown              no Markdown versions of pages (md/), nor links to them\n"
    u"  --full-max-kib N           llms-full.txt stops at N KiB (default 1024; 0: no file)\n"
    u"  --output DIR               write the package to DIR/output/<site>/ (default: .)\n";

constexpr const char16_t* kAddressHelp =
    u"ADDRESS is a website address: a dotted host name, localhost, or an IP literal\n"
    u"(127.0.0.1, [::1]), with http:// or https://. Without a scheme https is tried first,\n"
    u"then http. Every option also takes the form --option=VALUE, which a VALUE that\n"
    u"begins with '-' needs.\n";

constexpr const char16_t* kExitCodesHelp =
    u"Exit codes: 0 done, 2 usage or address error, 3 no page could be crawled,\n"
    u"4 the package, the JSON or the report could not be written, 5 score below\n"
    u"--min-score, 130 cancelled with Ctrl+C (the partial result is still reported).\n";

}  // namespace

Text UsageText() {
    return VersionText() +
           u"\n"
           u"Scans a website for AI readiness and writes its AI Discovery Package.\n"
           u"\n"
           u"Usage:\n"
           u"  beaconsmith scan ADDRESS [scan options]\n"
           u"  beaconsmith generate ADDRESS --name NAME [package options] [scan options]\n"
           u"  beaconsmith help [scan|generate] | --help | --version\n"
           u"\n" +
           kScanOptionsHelp + u"\n" + kPackageOptionsHelp + u"\n" + kAddressHelp + u"\n" +
           kExitCodesHelp;
}

Text CommandHelpText(Command command) {
    if (command == Command::Scan) {
        return u"Usage: beaconsmith scan ADDRESS [scan options]\n"
               u"Crawls the site, checks its AI discovery files and prints its score.\n"
               u"\n" +
               Text(kScanOptionsHelp) + u"\n" + kAddressHelp + u"\n" + kExitCodesHelp;
    }
    if (command == Command::Generate) {
        return u"Usage: beaconsmith generate ADDRESS --name NAME [package options] "
               u"[scan options]\n"
               u"Scans the site, then writes its AI Discovery Package and a ZIP archive of it.\n"
               u"\n" +
               Text(kPackageOptionsHelp) + u"\n" + kScanOptionsHelp + u"\n" + kAddressHelp + u"\n" +
               kExitCodesHelp;
    }
    return UsageText();
}

}  // namespace bcnk::cli
