// Extracts the main content of every page named on standard input ("id<TAB>path<TAB>address"
// a line) and writes its plain text to <out>/<id>.txt and its Markdown to <out>/<id>.md.
// Prints the HTML bytes read and the processor seconds spent in extraction alone (reading
// and writing files left out): processor time, not wall time, so that a busy machine does
// not slow the figure down, and the speed is that of one core.
// Usage: extract_driver <out-dir> [disabled-rule-mask] [repeat]
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "analysis/content_rules.h"
#include "analysis/main_content.h"
#include "analysis/markdown.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: extract_driver <out-dir> [disabled-rule-mask] [repeat]\n";
        return 2;
    }
    const std::string out = argv[1];
    const bcnk::RuleSet disabled = argc > 2 ? std::strtoull(argv[2], nullptr, 0) : 0;
    const int repeat = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    std::string line;
    double seconds = 0;
    unsigned long long bytes = 0, pages = 0;
    while (std::getline(std::cin, line)) {
        std::istringstream fields(line);
        std::string id, path, address;
        std::getline(fields, id, '\t');
        std::getline(fields, path, '\t');
        std::getline(fields, address, '\t');
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::cerr << "extract_driver: cannot read " << path << "\n";
            return 1;
        }
        std::ostringstream body;
        body << in.rdbuf();
        const std::string html = body.str();
        bcnk::MainContent content;
        std::string markdown;
        const std::clock_t start = std::clock();
        for (int k = 0; k < repeat; ++k) {
            content = bcnk::ExtractMainContent(html, address, disabled);
            markdown = bcnk::WriteMarkdown(content, address);
        }
        seconds += static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        bytes += html.size() * static_cast<unsigned long long>(repeat);
        pages += static_cast<unsigned long long>(repeat);
        std::ofstream(out + "/" + id + ".txt", std::ios::binary) << bcnk::ContentText(content);
        std::ofstream(out + "/" + id + ".md", std::ios::binary) << markdown;
    }
    std::printf("{\"bytes\": %llu, \"pages\": %llu, \"seconds\": %.6f}\n", bytes, pages, seconds);
    return 0;
}
