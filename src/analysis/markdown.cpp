#include "analysis/markdown.h"

#include <algorithm>
#include <span>

#include "net/url.h"

namespace bcnk {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at `at`, or 0.
size_t SequenceLength(std::string_view bytes, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
        return 1;
    }
    size_t length;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(bytes[at + k]);
        if (k == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF)) {
            return 0;
        }
    }
    return length;
}

bool IsAsciiPunctuation(char c) {
    return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') ||
           (c >= '{' && c <= '~');
}

// Characters that never need an escape in running text: escaping them anyway would be
// valid but makes the twin hard to read.
bool IsHarmless(char c) {
    return c == ',' || c == ';' || c == ':' || c == '?' || c == '\'' || c == '"' || c == '/' ||
           c == '%' || c == '$' || c == '@' || c == '.' || c == '=' || c == '-' || c == '+' ||
           c == '(' || c == ')' || c == '!' || c == '{' || c == '}' || c == '>';
}

// Inline text that renders as exactly these characters. The harmless punctuation only
// matters at the start of a line ("- " and "1." open lists, "===" underlines a heading,
// ">" opens a quote), so it is escaped there; "[", "<", "&", "*", "#" and the like always.
std::string EscapeInline(std::string_view text, bool lineStart) {
    const std::string valid = ValidUtf8(text);
    std::string out;
    out.reserve(valid.size() + valid.size() / 8);
    bool digitsOnly = lineStart;
    for (size_t k = 0; k < valid.size(); ++k) {
        const char c = valid[k];
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            out += ' ';
            digitsOnly = false;
            continue;
        }
        if (IsAsciiPunctuation(c) && (!IsHarmless(c) || (lineStart && k == 0) ||
                                      ((c == '.' || c == ')') && digitsOnly))) {
            out += '\\';
        }
        out += c;
        digitsOnly = digitsOnly && c >= '0' && c <= '9';
    }
    return out;
}

// An address as a link destination: parentheses and spaces escaped so it ends where it
// should; the address is already a valid URI.
// A link destination: the address as a valid URI, its parentheses escaped too, which
// would otherwise end the link early.
std::string Destination(std::string_view address) {
    std::string out;
    for (const char c : WideToUtf8(UriEscape(Utf8ToWide(ValidUtf8(address))))) {
        if (c == '(' || c == ')') {
            out += c == '(' ? "%28" : "%29";
        } else {
            out += c;
        }
    }
    return out;
}

bool IsWebAddress(std::string_view address) {
    return address.substr(0, 7) == "http://" || address.substr(0, 8) == "https://";
}

std::string CodeSpan(std::string_view code) {
    const std::string valid = ValidUtf8(code);
    size_t longest = 0, run = 0;
    for (const char c : valid) {
        run = c == '`' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    const std::string fence(longest + 1, '`');
    std::string body;
    for (const char c : valid) {
        body += (static_cast<unsigned char>(c) < 0x20) ? ' ' : c;
    }
    const bool pad = !body.empty() && (body.front() == '`' || body.back() == '`' ||
                                       body.front() == ' ' || body.back() == ' ');
    return fence + (pad ? " " : "") + body + (pad ? " " : "") + fence;
}

// Inline runs on one line (`breaks` false: hard breaks become spaces).
std::string RenderInlines(const std::vector<InlineRun>& runs, bool breaks) {
    std::string out;
    bool lineStart = true;
    size_t lineBegin = 0;  // where the current line starts in `out`
    for (const InlineRun& run : runs) {
        switch (run.kind) {
            case InlineKind::kBreak:
                // A break needs text on its line: repeated or leading breaks would leave a
                // backslash standing alone, which readers show as a backslash.
                if (!breaks) {
                    out += ' ';
                } else if (out.find_first_not_of(' ', lineBegin) != std::string::npos) {
                    while (out.back() == ' ') {
                        out.pop_back();
                    }
                    out += "\\\n";
                    lineBegin = out.size();
                    lineStart = true;
                }
                continue;
            case InlineKind::kCode: {
                std::string_view code = run.text;
                if (!code.empty() && code.front() == ' ') {
                    out += ' ';
                    code.remove_prefix(1);
                }
                if (!code.empty()) {
                    out += CodeSpan(code);
                }
                break;
            }
            case InlineKind::kImage:
                if (IsWebAddress(run.address)) {
                    out += "![";
                    out += EscapeInline(run.text, false);
                    out += "](";
                    out += Destination(run.address);
                    out += ')';
                } else {
                    out += EscapeInline(run.text, lineStart);
                }
                break;
            case InlineKind::kLink: {
                const bool blank = run.text.find_first_not_of(' ') == std::string::npos;
                // Spaces that separate the link from the text around it stay outside it.
                std::string_view text = run.text;
                std::string_view leading, trailing;
                if (!blank && text.front() == ' ') {
                    text.remove_prefix(1);
                    leading = " ";
                }
                if (!blank && text.back() == ' ') {
                    text.remove_suffix(1);
                    trailing = " ";
                }
                out += leading;
                if (IsWebAddress(run.address) && !blank) {
                    out += '[';
                    out += EscapeInline(text, false);
                    out += "](";
                    out += Destination(run.address);
                    out += ')';
                } else {
                    out += EscapeInline(text, lineStart);
                }
                out += trailing;
                break;
            }
            case InlineKind::kText:
                out += EscapeInline(run.text, lineStart);
                break;
        }
        lineStart = false;
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    if (out.ends_with("\\\n") && out.size() == lineBegin) {
        out.resize(out.size() - 2);
    }
    return out;
}

void AppendIndented(std::string_view text, std::string_view first, std::string_view rest,
                    std::string& out) {
    size_t at = 0;
    bool isFirst = true;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(at, end - at);
        if (!line.empty() || isFirst) {
            out += isFirst ? first : rest;
        }
        out += line;
        out += '\n';
        isFirst = false;
        at = end + 1;
    }
}

std::string RenderBlocks(std::span<const ContentBlock> blocks, bool tight);

std::string RenderTable(const ContentBlock& table) {
    size_t columns = 0;
    for (const ContentBlock& row : table.children) {
        columns = std::max(columns, row.children.size());
    }
    std::string out;
    // Only the header row needs every column: readers fill short body rows with empty cells,
    // and padding each of them would make a ragged table grow with rows times columns.
    const auto line = [&](const ContentBlock& row, size_t cells) {
        out += '|';
        for (size_t c = 0; c < cells; ++c) {
            out += ' ';
            if (c < row.children.size()) {
                out += RenderInlines(row.children[c].inlines, false);
            }
            out += " |";
        }
        out += '\n';
    };
    line(table.children.front(), columns);
    out += '|';
    for (size_t c = 0; c < columns; ++c) {
        out += " --- |";
    }
    out += '\n';
    for (size_t r = 1; r < table.children.size(); ++r) {
        line(table.children[r], std::max<size_t>(1, table.children[r].children.size()));
    }
    return out;
}

std::string RenderCode(const std::string& code) {
    const std::string valid = ValidUtf8(code);
    size_t longest = 0, run = 0;
    for (const char c : valid) {
        run = c == '`' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    const std::string fence(std::max<size_t>(3, longest + 1), '`');
    std::string out = fence + "\n";
    for (const char c : valid) {
        const unsigned char u = static_cast<unsigned char>(c);
        out += (u < 0x20 && c != '\n' && c != '\t') ? ' ' : c;
    }
    out += '\n';
    out += fence;
    out += '\n';
    return out;
}

std::string RenderBlock(const ContentBlock& block) {
    switch (block.kind) {
        case BlockKind::kHeading: {
            const std::string text = RenderInlines(block.inlines, false);
            if (text.empty()) {
                return {};
            }
            return std::string(static_cast<size_t>(std::clamp(block.level, 1, 6)), '#') + " " +
                   text + "\n";
        }
        case BlockKind::kParagraph: {
            const std::string text = RenderInlines(block.inlines, true);
            return text.empty() ? std::string() : text + "\n";
        }
        case BlockKind::kCode:
            return RenderCode(block.code);
        case BlockKind::kTable:
            return block.children.empty() ? std::string() : RenderTable(block);
        case BlockKind::kQuote: {
            std::string out;
            AppendIndented(RenderBlocks(block.children, false), "> ", "> ", out);
            return out;
        }
        case BlockKind::kList: {
            std::string out;
            bool tight = true;
            for (const ContentBlock& item : block.children) {
                tight = tight && item.children.size() <= 2;
            }
            size_t number = 1;
            for (const ContentBlock& item : block.children) {
                const std::string marker =
                    block.ordered ? std::to_string(number++) + ". " : std::string("- ");
                const std::string body = RenderBlocks(item.children, true);
                AppendIndented(body.empty() ? std::string("\n") : body, marker,
                               std::string(marker.size(), ' '), out);
                if (!tight) {
                    out += '\n';
                }
            }
            return out;
        }
        case BlockKind::kListItem:
        case BlockKind::kTableRow:
            return RenderBlocks(block.children, true);
    }
    return {};
}

std::string RenderBlocks(std::span<const ContentBlock> blocks, bool tight) {
    std::string out;
    for (const ContentBlock& block : blocks) {
        const std::string text = RenderBlock(block);
        if (text.empty()) {
            continue;
        }
        // Blocks inside a tight list item keep together; a blank line still ends a paragraph
        // before a list so the list is not read as its continuation.
        if (!out.empty() && !(tight && block.kind == BlockKind::kList)) {
            out += '\n';
        }
        out += text;
    }
    return out;
}

}  // namespace

std::string ValidUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t length = SequenceLength(bytes, at);
        if (length == 0) {
            out += kReplacement;
            ++at;
        } else {
            out.append(bytes.substr(at, length));
            at += length;
        }
    }
    return out;
}

std::string EscapeMarkdownText(std::string_view text) { return EscapeInline(text, true); }

std::string WriteMarkdown(const MainContent& content, std::string_view pageAddress) {
    // The text's own headline is the twin's one H1 when it opens the text; the page's title
    // (which usually repeats it with the site's name) only stands in for a missing one.
    size_t first = 0;
    std::string heading;
    if (!content.blocks.empty() && content.blocks[0].kind == BlockKind::kHeading &&
        content.blocks[0].level == 1) {
        heading = RenderInlines(content.blocks[0].inlines, false);
        first = 1;
    }
    if (heading.empty()) {
        heading = EscapeInline(content.title.empty() ? std::string(pageAddress) : content.title,
                               false);
    }
    std::string out = "# " + heading + "\n\n";
    if (IsWebAddress(pageAddress)) {
        out += '<';
        out += Destination(pageAddress);
        out += ">\n\n";
    }
    out += RenderBlocks(std::span<const ContentBlock>(content.blocks).subspan(first), false);
    return out;
}

std::string DemoteHeadings(std::string_view markdown) {
    // Only headings start a line with "#" outside code: text that does is escaped, and
    // nested blocks are indented. A top-level fence runs to the next line of the same ticks.
    std::string out;
    out.reserve(markdown.size() + 64);
    std::string_view fence;
    size_t at = 0;
    while (at < markdown.size()) {
        const size_t end = std::min(markdown.find('\n', at), markdown.size());
        const std::string_view line = markdown.substr(at, end - at);
        if (!fence.empty()) {
            if (line == fence) {
                fence = {};
            }
        } else if (line.starts_with("```")) {
            fence = line.substr(0, line.find_first_not_of('`'));
        } else if (line.starts_with('#') && !line.starts_with("######")) {
            out += '#';
        }
        out.append(line);
        if (end < markdown.size()) {
            out += '\n';
        }
        at = end + 1;
    }
    return out;
}

}  // namespace bcnk
