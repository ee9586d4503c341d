#include "analysis/head_lines.h"

#include <string>

namespace bcnk {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The line as tokens: runs of letters, runs of digits, and single signs; spaces dropped.
std::vector<std::string> Tokens(std::string_view text) {
    std::vector<std::string> tokens;
    for (size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (IsLetter(c) || IsDigit(c)) {
            const bool letters = IsLetter(c);
            std::string token;
            while (at < text.size() && (letters ? IsLetter(text[at]) : IsDigit(text[at]))) {
                token += Lower(text[at++]);
            }
            tokens.push_back(std::move(token));
        } else {
            if (c != ' ') {
                tokens.emplace_back(1, c);
            }
            ++at;
        }
    }
    return tokens;
}

std::size_t CountWords(std::string_view text) {
    std::size_t words = 0;
    bool inWord = false;
    for (const char c : text) {
        const bool word = IsLetter(c) || IsDigit(c) || c == '_' || 
                          static_cast<unsigned char>(c) >= 0x80;
        words += word && !inWord;
        inWord = word;
    }
    return words;
}

// Of a byline's name, and the "and" between two.
constexpr std::size_t kBylineNameWords = 5;

bool IsMonth(const std::string& word) {
    static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};
    if (word.size() < 3 || word.size() > 9) {
        return false;
    }
    for (const std::string_view month : kMonths) {
        if (word.compare(0, 3, month) == 0) {
            return true;
        }
    }
    return false;
}

bool IsNumber(const std::string& token, size_t minDigits, size_t maxDigits) {
    return !token.empty() && IsDigit(token[0]) && token.size() >= minDigits &&
           token.size() <= maxDigits;
}

}  // namespace

bool IsDateLine(std::string_view paragraph) {
    if (paragraph.size() > 48) {
        return false;
    }
    std::vector<std::string> t = Tokens(paragraph);
    size_t at = 0;
    // "Last updated:", "Published on", "Posted"
    static constexpr std::string_view kLeads[] = {"last", "updated", "published", "posted", "on",
                                                  ":"};
    for (bool lead = true; lead && at < t.size();) {
        lead = false;
        for (const std::string_view word : kLeads) {
            if (t[at] == word) {
                ++at;
                lead = true;
                break;
            }
        }
    }
    std::vector<std::string> rest;
    for (; at < t.size(); ++at) {
        if (t[at] != "," && t[at] != ".") {
            rest.push_back(t[at]);
        }
    }
    if (rest.size() == 3) {
        // March 4 2025, 4 March 2025
        if (IsMonth(rest[0]) && IsNumber(rest[1], 1, 2) && IsNumber(rest[2], 4, 4)) {
            return true;
        }
        if (IsNumber(rest[0], 1, 2) && IsMonth(rest[1]) && IsNumber(rest[2], 4, 4)) {
            return true;
        }
    }
    // 03/04/2025, 2025-03-04
    if (rest.size() == 5 && rest[1] == rest[3] && (rest[1] == "/" || rest[1] == "-")) {
        return (IsNumber(rest[0], 1, 2) && IsNumber(rest[2], 1, 2) && IsNumber(rest[4], 2, 4)) ||
               (IsNumber(rest[0], 4, 4) && IsNumber(rest[2], 1, 2) && IsNumber(rest[4], 1, 2));
    }
    return false;
}

bool IsBylineLine(std::string_view paragraph) {
    if (paragraph.size() > 60) {
        return false;
    }
    std::string folded;
    for (const char c : paragraph) {
        folded += Lower(c);
    }
    static constexpr std::string_view kOpenings[] = {
        "by ", "written by ", "posted by ", "reviewed by ", "edited by ",
        "medically reviewed by ", "fact checked by ",
    };
    for (const std::string_view opening : kOpenings) {
        if (folded.compare(0, opening.size(), opening) != 0 || folded.size() == opening.size()) {
            continue;
        }
        // A name follows: capitalised, a few words ("By the end of the day" is a sentence).
        const std::string_view name = paragraph.substr(opening.size());
        const char first = name[0];
        return ((first >= 'A' && first <= 'Z') || static_cast<unsigned char>(first) >= 0x80) &&
               CountWords(name) <= kBylineNameWords;
    }
    return false;
}

namespace {

std::size_t BlockWords(const ContentBlock& block) {
    std::size_t words = CountWords(LineText(block)) + CountWords(block.code);
    for (const ContentBlock& child : block.children) {
        words += BlockWords(child);
    }
    return words;
}

}  // namespace

void DropHeadLines(std::vector<ContentBlock>& blocks, std::size_t textWords) {
    std::size_t kept = 0;
    size_t at = 0;
    for (; at < blocks.size(); ++at) {
        ContentBlock& block = blocks[at];
        if (BlockWords(block) >= textWords) {
            break;
        }
        if (block.kind == BlockKind::kParagraph) {
            const std::string text = LineText(block);
            if (IsDateLine(text) || IsBylineLine(text)) {
                continue;
            }
        }
        if (kept != at) {
            blocks[kept] = std::move(block);
        }
        ++kept;
    }
    if (kept != at) {
        for (; at < blocks.size(); ++at) {
            blocks[kept++] = std::move(blocks[at]);
        }
        blocks.resize(kept);
    }
}

}  // namespace bcnk
