// Prints what our structured-field parser reads, for the differential check against an
// independent parser (tests/sf_diff/compare.js).
//   sf_dump INPUTS
// INPUTS holds one field value per line, hex-encoded. Output: one line per input, "FAIL" when
// the value does not parse as a Dictionary, else the dictionary written out in the form
// compare.js writes the other parser's result in (numbers without a trailing ".0", display
// strings with lower-case two-digit escapes).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "common/structured_fields.h"

namespace {

std::string FromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return out;
}

std::string Base64(const std::string& bytes) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[(group >> 18) & 63];
        out += kDigits[(group >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(group >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
    }
    return out;
}

std::string Number(std::int64_t thousandths) {
    const bool negative = thousandths < 0;
    const std::int64_t magnitude = negative ? -thousandths : thousandths;
    std::string out = (negative ? "-" : "") + std::to_string(magnitude / 1000);
    std::string fraction = std::to_string(1000 + magnitude % 1000).substr(1);
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    return fraction.empty() ? (magnitude == 0 ? "0" : out) : out + "." + fraction;
}

std::string Bare(const bcnk::SfBareItem& item) {
    using bcnk::SfType;
    switch (item.type) {
        case SfType::Integer:
            return std::to_string(item.number);
        case SfType::Decimal:
            return Number(item.number);
        case SfType::Date:
            return "@" + std::to_string(item.number);
        case SfType::Boolean:
            return item.number ? "?1" : "?0";
        case SfType::Token:
            return item.text;
        case SfType::ByteSequence:
            return ":" + Base64(item.text) + ":";
        case SfType::String: {
            std::string out = "\"";
            for (const char c : item.text) {
                out += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
            }
            return out + "\"";
        }
        case SfType::DisplayString: {
            std::string out = "%\"";
            for (const char c : item.text) {
                const auto byte = static_cast<unsigned char>(c);
                if (byte == '%' || byte == '"' || byte < 0x20 || byte > 0x7E) {
                    char escape[4];
                    std::snprintf(escape, sizeof escape, "%%%02x", byte);
                    out += escape;
                } else {
                    out += c;
                }
            }
            return out + "\"";
        }
    }
    return "?";
}

std::string Parameters(const std::vector<bcnk::SfParameter>& parameters) {
    std::string out;
    for (const bcnk::SfParameter& parameter : parameters) {
        out += ";" + parameter.key;
        const bool bareTrue =
            parameter.value.type == bcnk::SfType::Boolean && parameter.value.number == 1;
        if (!bareTrue) {
            out += "=" + Bare(parameter.value);
        }
    }
    return out;
}

std::string Item(const bcnk::SfItem& item) {
    return Bare(item.value) + Parameters(item.parameters);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sf_dump INPUTS\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        const auto dictionary = bcnk::ParseSfDictionary(FromHex(line));
        if (!dictionary) {
            out += "FAIL\n";
            continue;
        }
        std::string text;
        for (const bcnk::SfMember& member : *dictionary) {
            text += (text.empty() ? "" : ", ") + member.key;
            if (member.isInnerList) {
                text += "=(";
                for (std::size_t i = 0; i < member.items.size(); ++i) {
                    text += (i ? " " : "") + Item(member.items[i]);
                }
                text += ")" + Parameters(member.parameters);
            } else {
                const bcnk::SfItem& item = member.items.front();
                const bool bareTrue =
                    item.value.type == bcnk::SfType::Boolean && item.value.number == 1;
                text += bareTrue ? Parameters(item.parameters) : "=" + Item(item);
            }
        }
        out += "OK " + text + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
