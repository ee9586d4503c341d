#include "analysis/json_ld_text.h"

namespace bcnk {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadHex4(std::string_view json, size_t at, unsigned& value) {
    if (at + 4 > json.size()) {
        return false;
    }
    value = 0;
    for (size_t k = 0; k < 4; ++k) {
        const int digit = HexValue(json[at + k]);
        if (digit < 0) {
            return false;
        }
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return true;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Reads the JSON string whose opening quote is at `open`; returns the position behind its
// closing quote, or 0 when it is malformed.
size_t ReadString(std::string_view json, size_t open, std::string& value) {
    value.clear();
    size_t at = open + 1;
    while (at < json.size()) {
        const char c = json[at];
        if (c == '"') {
            return at + 1;
        }
        if (c != '\\') {
            value += c;
            ++at;
            continue;
        }
        if (at + 1 >= json.size()) {
            return 0;
        }
        const char escaped = json[at + 1];
        at += 2;
        switch (escaped) {
            case 'n': case 'r': case 't': case 'f': case 'b': value += ' '; break;
            case 'u': {
                unsigned unit = 0;
                if (!ReadHex4(json, at, unit)) {
                    return 0;
                }
                at += 4;
                char32_t character = unit;
                unsigned low = 0;
                if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < json.size() && json[at] == '\\' &&
                    json[at + 1] == 'u' && ReadHex4(json, at + 2, low) && low >= 0xDC00 &&
                    low <= 0xDFFF) {
                    character = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    at += 6;
                } else if (unit >= 0xD800 && unit <= 0xDFFF) {
                    character = 0xFFFD;
                }
                AppendUtf8(character, value);
                break;
            }
            default:
                value += escaped;
        }
    }
    return 0;
}

}  // namespace

std::vector<std::string> JsonLdProse(std::string_view json) {
    std::vector<std::string> found;
    std::string key, value;
    size_t at = 0;
    while ((at = json.find('"', at)) != std::string_view::npos) {
        const size_t behind = ReadString(json, at, key);
        if (behind == 0) {
            break;
        }
        at = behind;
        size_t colon = at;
        while (colon < json.size() && (json[colon] == ' ' || json[colon] == '\n' ||
                                       json[colon] == '\t' || json[colon] == '\r')) {
            ++colon;
        }
        if (colon >= json.size() || json[colon] != ':' ||
            (key != "description" && key != "articleBody")) {
            continue;
        }
        size_t open = colon + 1;
        while (open < json.size() && (json[open] == ' ' || json[open] == '\n' ||
                                      json[open] == '\t' || json[open] == '\r')) {
            ++open;
        }
        if (open >= json.size() || json[open] != '"') {
            continue;
        }
        const size_t end = ReadString(json, open, value);
        if (end == 0) {
            break;
        }
        at = end;
        if (value.find('<') == std::string::npos) {
            found.push_back(value);
        }
    }
    return found;
}

}  // namespace bcnk
