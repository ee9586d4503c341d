// Prints our matcher's verdicts for the differential check against an independent parser.
//   robots_verdicts QUERIES FILE...
// QUERIES holds one "agent<TAB>path" per line; each FILE is a robots.txt read as raw bytes.
// Output: one line per file and query, "<file index>\t<agent>\t<path>\t<1 allowed|0>".
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "scan/robots_rules.h"

namespace {

std::string ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: robots_verdicts QUERIES FILE...\n");
        return 2;
    }
    std::vector<std::pair<std::string, std::string>> queries;
    std::istringstream lines(ReadAll(argv[1]));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            queries.emplace_back(line.substr(0, tab), line.substr(tab + 1));
        }
    }
    std::string out;
    for (int index = 2; index < argc; ++index) {
        const bcnk::RobotsTxt file = bcnk::ParseRobotsTxt(ReadAll(argv[index]));
        for (const auto& [agent, path] : queries) {
            const bcnk::RobotsRuleSet rules = bcnk::RulesFor(file, bcnk::RobotsProductToken(agent));
            const bool allowed =
                bcnk::Decide(rules, bcnk::RobotsPathOf(bcnk::Utf8ToWide(path))).allowed;
            out += std::to_string(index - 2) + "\t" + agent + "\t" + path + "\t" +
                   (allowed ? "1" : "0") + "\n";
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
