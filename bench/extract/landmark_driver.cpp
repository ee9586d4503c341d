// For every page named on standard input ("id<TAB>path<TAB>address" a line), prints one JSON
// line: how many words of the page's text our element tree places inside each landmark
// (head, nav, aside, header, footer, form, button, main, article), inside links, paragraphs,
// list items, tables and headings, and in all. Compared with
// the same figures from a browser-grade parser by bench/extract/parser-agreement.
// Usage: landmark_driver < list
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/html_tree.h"

namespace {

using bcnk::Tag;

const std::map<Tag, std::string_view>& Landmarks() {
    static const std::map<Tag, std::string_view> names = {
        {Tag::kHead, "head"},     {Tag::kNav, "nav"},       {Tag::kAside, "aside"},
        {Tag::kHeader, "header"}, {Tag::kFooter, "footer"}, {Tag::kForm, "form"},
        {Tag::kButton, "button"}, {Tag::kMain, "main"},     {Tag::kArticle, "article"},
        {Tag::kA, "a"},           {Tag::kP, "p"},           {Tag::kLi, "li"},
        {Tag::kTable, "table"},   {Tag::kH1, "heading"},    {Tag::kH2, "heading"},
        {Tag::kH3, "heading"},    {Tag::kH4, "heading"},    {Tag::kH5, "heading"},
        {Tag::kH6, "heading"},
    };
    return names;
}

// Text the browser does not parse as the page's own: scripts, styles, templates and the
// other raw-text elements.
bool IsOutsideText(Tag tag) {
    return tag == Tag::kScript || tag == Tag::kStyle || tag == Tag::kTemplate ||
           tag == Tag::kTextarea || tag == Tag::kTitle || tag == Tag::kIframe;
}

// Runs of ASCII letters and digits or of any other non-ASCII character but the no-break
// space, as the other side counts them.
long CountWords(std::string_view text) {
    long words = 0;
    bool inWord = false;
    for (size_t k = 0; k < text.size(); ++k) {
        const unsigned char c = static_cast<unsigned char>(text[k]);
        const bool noBreakSpace = c == 0xC2 && k + 1 < text.size() &&
                                  static_cast<unsigned char>(text[k + 1]) == 0xA0;
        const bool word = !noBreakSpace && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                            (c >= '0' && c <= '9') || c >= 0x80);
        words += word && !inWord;
        inWord = word;
        k += noBreakSpace;
    }
    return words;
}

std::string LandmarkWords(const std::string& page) {
    const bcnk::HtmlTree tree = bcnk::BuildHtmlTree(page);
    std::map<std::string_view, long> words;
    std::string decoded;
    for (std::uint32_t n = 1; n < tree.nodes.size(); ++n) {
        if (tree.nodes[n].tag != Tag::kText) {
            continue;
        }
        std::vector<std::string_view> inside;
        bool outside = false;
        for (std::uint32_t up = tree.nodes[n].parent; up != 0 && !outside;
             up = tree.nodes[up].parent) {
            outside = IsOutsideText(tree.nodes[up].tag);
            const auto landmark = Landmarks().find(tree.nodes[up].tag);
            if (landmark != Landmarks().end()) {
                inside.push_back(landmark->second);
            }
        }
        decoded.clear();
        bcnk::AppendDecoded(tree.nodes[n].text, decoded);
        const long count = CountWords(decoded);
        if (outside || count == 0) {
            continue;
        }
        words["all"] += count;
        std::map<std::string_view, bool> seen;
        for (const std::string_view name : inside) {
            if (!seen[name]) {
                seen[name] = true;
                words[name] += count;
            }
        }
    }
    std::string json = "{";
    for (const auto& [name, count] : words) {
        json += (json.size() > 1 ? ",\"" : "\"") + std::string(name) + "\":" + std::to_string(count);
    }
    return json + "}";
}

}  // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        const size_t tab = line.find('\t');
        const size_t tab2 = line.find('\t', tab + 1);
        if (tab == std::string::npos) {
            continue;
        }
        const std::string id = line.substr(0, tab);
        const std::string path = line.substr(tab + 1, tab2 == std::string::npos ? std::string::npos
                                                                                : tab2 - tab - 1);
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::cerr << "landmark_driver: cannot read " << path << "\n";
            return 1;
        }
        std::stringstream content;
        content << file.rdbuf();
        std::cout << "{\"id\":\"" << id << "\",\"words\":" << LandmarkWords(content.str()) << "}\n";
    }
    return 0;
}
