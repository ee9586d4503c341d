// A small INI reader and writer that follows the rules of the Windows profile functions, so
// a settings file means the same on both platforms. Files are UTF-8; a byte-order mark and
// the file's own line ends are kept when it is rewritten.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ini_file.h"

namespace bcnk {

namespace {

const std::string kUtf8Bom = "\xEF\xBB\xBF";

struct IniDocument {
    std::string bom;
    std::vector<std::string> lines;  // without their line ends
    std::string lineEnd = "\n";
};

// Where a key sits: the first section of that name and the first entry of that key in it.
// Later sections of the same name are never looked at, as on Windows.
struct IniLocation {
    std::optional<size_t> sectionLine;
    std::optional<size_t> keyLine;
    size_t sectionEnd = 0;  // first line after the section's body
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string_view> SectionNameOf(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    // A header without its closing bracket is no header; the lines below it still belong to
    // the section before.
    const size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimBlanks(line.substr(1, close - 1));
}

struct IniEntry {
    std::string_view key;
    std::string_view value;
};

std::optional<IniEntry> EntryOf(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return IniEntry{TrimBlanks(line.substr(0, equals)), TrimBlanks(line.substr(equals + 1))};
}

std::optional<IniDocument> LoadDocument(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    IniDocument document;
    if (bytes.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) {
        document.bom = kUtf8Bom;
        bytes.erase(0, kUtf8Bom.size());
    }
    const size_t firstBreak = bytes.find('\n');
    if (firstBreak != std::string::npos && firstBreak > 0 && bytes[firstBreak - 1] == '\r') {
        document.lineEnd = "\r\n";
    }
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        document.lines.push_back(std::move(line));
        start = end + 1;
    }
    return document;
}

IniLocation Locate(const IniDocument& document, std::string_view section, std::string_view key) {
    IniLocation location;
    const std::vector<std::string>& lines = document.lines;
    size_t index = 0;
    for (; index < lines.size(); ++index) {
        const auto name = SectionNameOf(lines[index]);
        if (name && SameName(*name, section)) {
            location.sectionLine = index;
            break;
        }
    }
    if (!location.sectionLine) {
        return location;
    }
    for (++index; index < lines.size() && !SectionNameOf(lines[index]); ++index) {
        const auto entry = EntryOf(lines[index]);
        if (!location.keyLine && entry && SameName(entry->key, key)) {
            location.keyLine = index;
        }
    }
    location.sectionEnd = index;
    return location;
}

// The stored value of the key with its quotes removed, or nothing when the key is missing.
std::optional<Text> FindValue(const Text& path, const Text& section, const Text& key) {
    const auto document = LoadDocument(WideToUtf8(path));
    if (!document) {
        return std::nullopt;
    }
    const IniLocation location = Locate(*document, WideToUtf8(section), WideToUtf8(key));
    if (!location.keyLine) {
        return std::nullopt;
    }
    std::string_view value = EntryOf(document->lines[*location.keyLine])->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return Utf8ToWide(std::string(value));
}

// Integer reading of the Windows profile functions: white space, sign, base prefix, digits.
// Arithmetic wraps like the unsigned 32-bit value they return.
int ParseProfileInteger(const Text& text) {
    size_t index = 0;
    while (index < text.size() && text[index] <= u' ') {
        ++index;
    }
    bool negative = false;
    if (index < text.size() && (text[index] == u'+' || text[index] == u'-')) {
        negative = text[index] == u'-';
        ++index;
    }
    std::uint32_t base = 10;
    if (index + 1 < text.size() && text[index] == u'0') {
        const char16_t marker = text[index + 1];
        base = (marker == u'x' || marker == u'X')   ? 16
               : (marker == u'o' || marker == u'O') ? 8
               : (marker == u'b' || marker == u'B') ? 2
                                                    : 10;
        if (base != 10) {
            index += 2;
        }
    }
    std::uint32_t value = 0;
    for (; index < text.size(); ++index) {
        const char16_t unit = text[index];
        std::uint32_t digit = 99;
        if (unit >= u'0' && unit <= u'9') {
            digit = unit - u'0';
        } else if (unit >= u'a' && unit <= u'f') {
            digit = unit - u'a' + 10;
        } else if (unit >= u'A' && unit <= u'F') {
            digit = unit - u'A' + 10;
        }
        if (digit >= base) {
            break;
        }
        value = value * base + digit;
    }
    return static_cast<int>(negative ? 0u - value : value);
}

bool SaveDocument(const std::string& path, const IniDocument& document) {
    std::string bytes = document.bom;
    for (const std::string& line : document.lines) {
        bytes += line;
        bytes += document.lineEnd;
    }
    // Written beside the target and renamed over it, so a failed write never leaves half a
    // settings file behind.
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

int ReadIniInteger(const Text& path, const Text& section, const Text& key, int fallback) {
    const std::optional<Text> value = FindValue(path, section, key);
    if (!value || value->empty()) {
        return fallback;
    }
    return ParseProfileInteger(*value);
}

Text ReadIniText(const Text& path, const Text& section, const Text& key, const Text& fallback) {
    const Text value = FindValue(path, section, key).value_or(fallback);
    return value.substr(0, kIniValueLimit);
}

bool WriteIniText(const Text& path, const Text& section, const Text& key, const Text& value) {
    const std::string narrowPath = WideToUtf8(path);
    const std::string sectionName = WideToUtf8(section);
    const std::string keyName = WideToUtf8(key);
    IniDocument document = LoadDocument(narrowPath).value_or(IniDocument{});
    const std::string entry = keyName + "=" + WideToUtf8(value);
    const IniLocation location = Locate(document, sectionName, keyName);
    std::vector<std::string>& lines = document.lines;
    if (location.keyLine) {
        // Only the value changes; the key keeps the spelling the user gave it.
        std::string& line = lines[*location.keyLine];
        line = line.substr(0, line.find('=') + 1) + WideToUtf8(value);
    } else if (location.sectionLine) {
        // After the section's last entry, ahead of the blank lines that separate it from the
        // next section.
        size_t insertAt = location.sectionEnd;
        while (insertAt > *location.sectionLine + 1 && TrimBlanks(lines[insertAt - 1]).empty()) {
            --insertAt;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    } else {
        lines.push_back("[" + sectionName + "]");
        lines.push_back(entry);
    }
    return SaveDocument(narrowPath, document);
}

}  // namespace bcnk
