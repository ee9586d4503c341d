#include "cli/arguments.h"

#include <array>
#include <optional>

#include "common/form_text.h"
#include "common/maker_info.h"
#include "package/package_form.h"
#include "scan/address_check.h"

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

Text ApplyDepth(Request& request, const Text& value) {
    const auto depth = ParseCount(value);
    if (!depth || *depth < 1 || *depth > 5) {
        return ChoiceError(u"--depth", value, u"1 to 5");
    }
    request.scan.maxDepth = *depth;
    return Text();
}

Text ApplyDelay(Request& request, const Text& value) {
    const auto delay = ParseCount(value);
    if (!delay || (*delay != 0 && *delay != 250 && *delay != 500 && *delay != 1000 &&
                   *delay != 2000)) {
        return ChoiceError(u"--delay", value, u"0, 250, 500, 1000 or 2000");
    }
    request.scan.delayMs = *delay;
    return Text();
}

Text ApplyMaxPages(Request& request, const Text& value) {
    if (ToLower(value) == u"none") {
        request.scan.maxPages = kNoPageLimit;
        return Text();
    }
    const auto pages = ParseCount(value);
    if (!pages ||
        (*pages != 100 && *pages != 250 && *pages != 500 && *pages != 1000 && *pages != 2000)) {
        return ChoiceError(u"--max-pages", value, u"100, 250, 500, 1000, 2000 or none");
    }
    request.scan.maxPages = *pages;
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
        return u"--report needs a file name";
    }
    request.reportPath = value;
    return Text();
}

Text ApplyMinScore(Request& request, const Text& value) {
    const auto score = ParseCount(value);
    if (!score || *score > 100) {
        return ChoiceError(u"--min-score", value, u"a whole number from 0 to 100");
    }
    request.minScore = *score;
    return Text();
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

struct OptionRule {
    const char16_t* name;
    bool takesValue;
    bool generateOnly;
    Text (*apply)(Request&, const Text&);
};

constexpr std::array<OptionRule, 17> kOptions = {{
    {u"--depth", true, false, ApplyDepth},
    {u"--delay", true, false, ApplyDelay},
    {u"--max-pages", true, false, ApplyMaxPages},
    {u"--user-agent", true, false, ApplyUserAgent},
    {u"--json", true, false, ApplyJson},
    {u"--report", true, false, ApplyReport},
    {u"--min-score", true, false, ApplyMinScore},
    {u"--name", true, true, ApplyName},
    {u"--description", true, true, ApplyDescription},
    {u"--email", true, true, ApplyEmail},
    {u"--industry", true, true, ApplyIndustry},
    {u"--founded", true, true, ApplyFounded},
    {u"--output", true, true, ApplyOutput},
    {u"--no-training", false, true, ClearTraining},
    {u"--no-citation", false, true, ClearCitation},
    {u"--no-summarisation", false, true, ClearSummarisation},
    {u"--no-robots-rules", false, true, ClearRobotsRules},
}};

const OptionRule* FindOption(const Text& name) {
    for (const OptionRule& option : kOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
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
    return request;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<Text>& arguments) {
    if (arguments.empty()) {
        return Failure(u"no command given");
    }
    const Text& first = arguments[0];
    ParsedArguments parsed;
    if (IsHelp(first) || first == u"help") {
        parsed.ok = true;
        parsed.request = FreshRequest(Command::Help);
        return parsed;
    }
    if (first == u"--version") {
        parsed.ok = true;
        parsed.request = FreshRequest(Command::Version);
        return parsed;
    }
    if (first != u"scan" && first != u"generate") {
        return Failure(u"unknown command '" + first + u"'");
    }
    const bool generating = first == u"generate";
    Request request = FreshRequest(generating ? Command::Generate : Command::Scan);

    std::vector<Text> positional;
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
            parsed.ok = true;
            parsed.request = FreshRequest(Command::Help);
            return parsed;
        }
        const size_t equals = argument.find(u'=');
        const Text name = argument.substr(0, equals);
        const OptionRule* option = FindOption(name);
        if (!option || (option->generateOnly && !generating)) {
            return Failure(u"unknown option '" + name + u"' for " + first);
        }
        Text value;
        if (option->takesValue) {
            if (equals != Text::npos) {
                value = argument.substr(equals + 1);
            } else if (index + 1 < arguments.size()) {
                value = arguments[++index];
            } else {
                return Failure(name + u" needs a value");
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
    request.scan.startUrl = positional.empty() ? Text() : FormFieldText(positional[0]);
    const Text addressProblem = StartAddressProblem(request.scan.startUrl);
    if (!addressProblem.empty()) {
        return Failure(addressProblem);
    }
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

Text VersionText() { return Text(kProductName) + u" v1 (Build 16)"; }

Text UsageText() {
    return VersionText() + u"\n"
           u"Scans a website for AI readiness and writes its AI Discovery Package.\n"
           u"\n"
           u"Usage:\n"
           u"  beaconsmith scan ADDRESS [scan options]\n"
           u"  beaconsmith generate ADDRESS --name NAME [package options] [scan options]\n"
           u"  beaconsmith --help | --version\n"
           u"\n"
           u"Scan options:\n"
           u"  --depth 1..5               link levels below the start page (default 3)\n"
           u"  --delay 0|250|500|1000|2000\n"
           u"                             pause after each page in ms (default 500)\n"
           u"  --max-pages 100|250|500|1000|2000|none\n"
           u"                             page limit (default 500)\n"
           u"  --user-agent TEXT          User-Agent to send (default: bcnk.ini, else built-in)\n"
           u"  --json FILE|-              write the whole scan result as JSON (- for stdout)\n"
           u"  --report FILE              write the result as a self-contained HTML report\n"
           u"  --min-score N              exit with 5 when the score is below N (0..100)\n"
           u"\n"
           u"Package options (generate):\n"
           u"  --name NAME                your name or business name (required)\n"
           u"  --description TEXT         --email TEXT         --founded YEAR\n"
           u"  --industry Software|SEO|Marketing|E-commerce|Blog|Other (default Software)\n"
           u"  --no-training --no-citation --no-summarisation\n"
           u"                             withhold that AI permission (all are given by default)\n"
           u"  --no-robots-rules          do not write AI rules into robots.txt.NEW\n"
           u"  --output DIR               write the package to DIR/output/<site>/ (default: .)\n"
           u"\n"
           u"Exit codes: 0 done, 2 usage or address error, 3 no page could be crawled,\n"
           u"4 the package, the JSON or the report could not be written,\n"
           u"5 score below --min-score, 130 cancelled with Ctrl+C (the partial result is still\n"
           u"reported).\n";
}

}  // namespace bcnk::cli
