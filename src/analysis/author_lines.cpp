#include "analysis/author_lines.h"

#include <algorithm>

namespace bcnk {

namespace {

// A biography has at most this many words; a longer text opening with the name is the
// article's own (an interview, a profile).
constexpr size_t kBiographyWords = 150;
constexpr size_t kMinNameWords = 2, kMaxNameWords = 4, kMaxNameBytes = 48;
// Of an author object in JSON-LD, only this many bytes are read; at most this many names.
constexpr size_t kAuthorObjectBytes = 512, kMaxAuthors = 8;
// A writer's role under the name has at most this many words.
constexpr size_t kRoleWords = 5;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The text with its spacing collapsed and its ends trimmed.
std::string Collapsed(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (IsSpace(c)) {
            if (!out.empty() && out.back() != ' ') {
                out += ' ';
            }
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

size_t Words(std::string_view text) {
    size_t words = 0;
    bool inWord = false;
    for (const char c : text) {
        const bool word = !IsSpace(c);
        words += word && !inWord;
        inWord = word;
    }
    return words;
}

void AddName(std::string_view raw, std::vector<std::string>& names) {
    std::string decoded;
    AppendDecoded(raw, decoded);
    std::string name = Collapsed(decoded);
    const size_t words = Words(name);
    if (words < kMinNameWords || words > kMaxNameWords || name.size() > kMaxNameBytes ||
        std::find(names.begin(), names.end(), name) != names.end()) {
        return;
    }
    names.push_back(std::move(name));
}

// The "name" values of the objects that follow "author" keys in a JSON-LD block.
void AddJsonLdAuthors(std::string_view json, std::vector<std::string>& names) {
    constexpr std::string_view kAuthor = "\"author\"", kName = "\"name\"";
    for (size_t at = json.find(kAuthor); at != std::string_view::npos;
         at = json.find(kAuthor, at + 1)) {
        size_t k = at + kAuthor.size();
        while (k < json.size() && (IsSpace(json[k]) || json[k] == ':' || json[k] == '[')) {
            ++k;
        }
        if (k >= json.size() || json[k] != '{') {
            continue;
        }
        // Only the author object's own opening is read, so that a block of thousands of
        // "author" keys costs no more than its length.
        const std::string_view object = json.substr(k, kAuthorObjectBytes);
        const std::string_view head = object.substr(0, object.find('}'));
        const size_t name = head.find(kName);
        if (name == std::string_view::npos) {
            continue;
        }
        size_t open = name + kName.size();
        while (open < head.size() && (IsSpace(head[open]) || head[open] == ':')) {
            ++open;
        }
        if (open >= head.size() || head[open] != '"') {
            continue;
        }
        const size_t end = head.find('"', open + 1);
        if (end != std::string_view::npos &&
            head.substr(open + 1, end - open - 1).find('\\') == std::string_view::npos) {
            AddName(head.substr(open + 1, end - open - 1), names);
        }
        if (names.size() >= kMaxAuthors) {
            return;
        }
    }
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t k = 0; k < prefix.size(); ++k) {
        if (Lower(text[k]) != Lower(prefix[k])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<std::string> PageAuthors(const HtmlTree& tree) {
    std::vector<std::string> names;
    for (std::uint32_t n = 1; n < tree.nodes.size(); ++n) {
        const HtmlNode& node = tree.nodes[n];
        if (names.size() >= kMaxAuthors) {
            break;
        }
        if (node.tag == Tag::kMeta && NameIs(tree.Attribute(n, "name"), "author")) {
            AddName(tree.Attribute(n, "content"), names);
        } else if (node.tag == Tag::kScript && node.firstChild != 0 &&
                   NameIs(tree.Attribute(n, "type"), "application/ld+json")) {
            AddJsonLdAuthors(tree.nodes[node.firstChild].text, names);
        }
    }
    return names;
}

bool IsAuthorLine(std::string_view paragraph, const std::vector<std::string>& authors) {
    const std::string text = Collapsed(paragraph);
    for (const std::string& name : authors) {
        // The name alone, after a label or with a colon or comma after it.
        for (const std::string_view label : {"", "by ", "written by ", "posted by ", "author: ",
                                             "about "}) {
            if (StartsWithFolded(text, label) &&
                std::string_view(text).substr(label.size()).starts_with(name)) {
                const std::string_view rest =
                    std::string_view(text).substr(label.size() + name.size());
                if (rest.find_first_not_of(" .,:|") == std::string_view::npos) {
                    return true;
                }
            }
        }
        // A biography: the name, then what the writer is or does.
        if (!std::string_view(text).starts_with(name) || Words(text) > kBiographyWords) {
            continue;
        }
        std::string_view rest = std::string_view(text).substr(name.size());
        if (rest.starts_with("'s ") || rest.starts_with(", ")) {
            rest.remove_prefix(rest.starts_with("'s ") ? 2 : 1);
        }
        for (const std::string_view verb : {" is ", " was ", " has ", " holds ", " writes ",
                                            " covers ", " joined ", " brings ", " specializes ",
                                            " serves ", " leads ", " loves "}) {
            if (rest.starts_with(verb)) {
                return true;
            }
        }
    }
    return false;
}

namespace {

// What an author box says under the name: the writer's role ("Contributing Writer", "Founder
// and CEO"), or more biography by the first name alone ("Karina holds an MBA").
bool ContinuesAuthorBox(std::string_view paragraph, const std::vector<std::string>& authors) {
    const std::string text = Collapsed(paragraph);
    if (!text.empty() && Words(text) <= kRoleWords && text.find_first_of(".!?") == std::string::npos) {
        return true;
    }
    std::vector<std::string> firstNames;
    for (const std::string& name : authors) {
        firstNames.push_back(name.substr(0, name.find(' ')));
    }
    return IsAuthorLine(paragraph, firstNames);
}

}  // namespace

void DropAuthorLines(std::vector<ContentBlock>& blocks, const std::vector<std::string>& authors) {
    if (authors.empty()) {
        return;
    }
    bool inBox = false;
    std::erase_if(blocks, [&authors, &inBox](ContentBlock& block) {
        if (block.kind == BlockKind::kList || block.kind == BlockKind::kListItem ||
            block.kind == BlockKind::kQuote) {
            DropAuthorLines(block.children, authors);
            return block.children.empty();
        }
        if (block.kind != BlockKind::kParagraph) {
            inBox = false;
            return false;
        }
        const std::string text = LineText(block);
        inBox = IsAuthorLine(text, authors) || (inBox && ContinuesAuthorBox(text, authors));
        return inBox;
    });
}

}  // namespace bcnk
