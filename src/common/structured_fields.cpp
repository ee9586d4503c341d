#include "common/structured_fields.h"

namespace bcnk {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLowerAlpha(char c) {
    return c >= 'a' && c <= 'z';
}

bool IsAlpha(char c) {
    return IsLowerAlpha(c) || (c >= 'A' && c <= 'Z');
}

bool IsKeyChar(char c) {
    return IsLowerAlpha(c) || IsDigit(c) || c == '_' || c == '-' || c == '.' || c == '*';
}

// tchar of RFC 9110, plus ":" and "/" which tokens may also hold.
bool IsTokenChar(char c) {
    return IsAlpha(c) || IsDigit(c) || std::string_view("!#$%&'*+-.^_`|~:/").find(c) !=
                                           std::string_view::npos;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (IsDigit(c)) {
        return c - '0' + 52;
    }
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

int LowerHexValue(char c) {
    return IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

// True when bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned low = 0x80;
        unsigned high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// A cursor over the value; every Parse... returns false to fail the whole value.
class Parser {
  public:
    explicit Parser(std::string_view input) : in_(input) {}

    bool Dictionary(SfDictionary& out) {
        SkipSpaces();
        while (!AtEnd()) {
            SfMember member;
            if (!Key(member.key)) {
                return false;
            }
            if (Peek() == '=') {
                ++pos_;
                if (!ItemOrInnerList(member)) {
                    return false;
                }
            } else {
                member.items.emplace_back();
                if (!Parameters(member.items.back().parameters)) {
                    return false;
                }
            }
            if (!Store(out, std::move(member), kSfMaxMembers)) {
                return false;
            }
            SkipOptionalWhiteSpace();
            if (AtEnd()) {
                return true;
            }
            if (Peek() != ',') {
                return false;
            }
            ++pos_;
            SkipOptionalWhiteSpace();
            if (AtEnd()) {
                return false;  // a trailing comma
            }
        }
        return true;
    }

  private:
    bool AtEnd() const { return pos_ >= in_.size(); }
    char Peek() const { return AtEnd() ? '\0' : in_[pos_]; }

    void SkipSpaces() {
        while (Peek() == ' ') {
            ++pos_;
        }
    }

    void SkipOptionalWhiteSpace() {
        while (Peek() == ' ' || Peek() == '\t') {
            ++pos_;
        }
    }

    // A repeated key overwrites the value in the place the key first took.
    template <typename Entry>
    static bool Store(std::vector<Entry>& entries, Entry entry, std::size_t limit) {
        for (Entry& existing : entries) {
            if (existing.key == entry.key) {
                existing = std::move(entry);
                return true;
            }
        }
        if (entries.size() >= limit) {
            return false;
        }
        entries.push_back(std::move(entry));
        return true;
    }

    bool Key(std::string& out) {
        if (!IsLowerAlpha(Peek()) && Peek() != '*') {
            return false;
        }
        const std::size_t start = pos_;
        while (!AtEnd() && IsKeyChar(in_[pos_])) {
            ++pos_;
        }
        out.assign(in_.substr(start, pos_ - start));
        return true;
    }

    bool ItemOrInnerList(SfMember& member) {
        if (Peek() != '(') {
            member.items.emplace_back();
            return Item(member.items.back());
        }
        member.isInnerList = true;
        ++pos_;
        while (!AtEnd()) {
            SkipSpaces();
            if (Peek() == ')') {
                ++pos_;
                return Parameters(member.parameters);
            }
            if (member.items.size() >= kSfMaxInnerListItems) {
                return false;
            }
            member.items.emplace_back();
            if (!Item(member.items.back())) {
                return false;
            }
            if (Peek() != ' ' && Peek() != ')') {
                return false;
            }
        }
        return false;
    }

    bool Item(SfItem& item) { return BareItem(item.value) && Parameters(item.parameters); }

    bool Parameters(std::vector<SfParameter>& out) {
        while (Peek() == ';') {
            ++pos_;
            SkipSpaces();
            SfParameter parameter;
            if (!Key(parameter.key)) {
                return false;
            }
            if (Peek() == '=') {
                ++pos_;
                if (!BareItem(parameter.value)) {
                    return false;
                }
            }
            if (!Store(out, std::move(parameter), kSfMaxParameters)) {
                return false;
            }
        }
        return true;
    }

    bool BareItem(SfBareItem& out) {
        const char c = Peek();
        if (c == '-' || IsDigit(c)) {
            return Number(out);
        }
        if (c == '"') {
            return String(out);
        }
        if (IsAlpha(c) || c == '*') {
            return Token(out);
        }
        if (c == ':') {
            return ByteSequence(out);
        }
        if (c == '?') {
            return Boolean(out);
        }
        if (c == '@') {
            ++pos_;
            if (!Number(out) || out.type != SfType::Integer) {
                return false;
            }
            out.type = SfType::Date;
            return true;
        }
        if (c == '%') {
            return DisplayString(out);
        }
        return false;
    }

    bool Number(SfBareItem& out) {
        bool negative = false;
        if (Peek() == '-') {
            negative = true;
            ++pos_;
        }
        if (!IsDigit(Peek())) {
            return false;
        }
        std::int64_t whole = 0;
        std::size_t digits = 0;
        while (IsDigit(Peek())) {
            if (++digits > 15) {
                return false;
            }
            whole = whole * 10 + (in_[pos_++] - '0');
        }
        out.type = SfType::Integer;
        out.number = negative ? -whole : whole;
        if (Peek() != '.') {
            return true;
        }
        if (digits > 12) {
            return false;
        }
        ++pos_;
        std::int64_t fraction = 0;
        std::size_t fractionDigits = 0;
        while (IsDigit(Peek())) {
            if (++fractionDigits > 3) {
                return false;
            }
            fraction = fraction * 10 + (in_[pos_++] - '0');
        }
        if (fractionDigits == 0) {
            return false;
        }
        for (std::size_t i = fractionDigits; i < 3; ++i) {
            fraction *= 10;
        }
        out.type = SfType::Decimal;
        out.number = (negative ? -1 : 1) * (whole * 1000 + fraction);
        return true;
    }

    bool String(SfBareItem& out) {
        ++pos_;
        out.type = SfType::String;
        while (!AtEnd()) {
            const char c = in_[pos_++];
            if (c == '\\') {
                if (Peek() != '"' && Peek() != '\\') {
                    return false;
                }
                out.text += in_[pos_++];
            } else if (c == '"') {
                return true;
            } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
                return false;
            } else {
                out.text += c;
            }
        }
        return false;
    }

    bool Token(SfBareItem& out) {
        const std::size_t start = pos_;
        while (!AtEnd() && IsTokenChar(in_[pos_])) {
            ++pos_;
        }
        out.type = SfType::Token;
        out.text.assign(in_.substr(start, pos_ - start));
        return true;
    }

    // Padding is taken as base64 decoders in browsers take it: "=" only at the end of a
    // length divisible by four; missing padding and non-zero pad bits are accepted, as the
    // RFC advises.
    bool ByteSequence(SfBareItem& out) {
        ++pos_;
        const std::size_t end = in_.find(':', pos_);
        if (end == std::string_view::npos) {
            return false;
        }
        std::string_view data = in_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (data.size() % 4 == 0) {
            for (int i = 0; i < 2 && !data.empty() && data.back() == '='; ++i) {
                data.remove_suffix(1);
            }
        }
        if (data.size() % 4 == 1) {
            return false;
        }
        out.type = SfType::ByteSequence;
        unsigned bits = 0;
        int bitCount = 0;
        for (const char c : data) {
            const int value = Base64Value(c);
            if (value < 0) {
                return false;
            }
            bits = (bits << 6) | static_cast<unsigned>(value);
            bitCount += 6;
            if (bitCount >= 8) {
                bitCount -= 8;
                out.text += static_cast<char>((bits >> bitCount) & 0xFF);
            }
        }
        return true;
    }

    bool Boolean(SfBareItem& out) {
        ++pos_;
        const char c = Peek();
        if (c != '0' && c != '1') {
            return false;
        }
        ++pos_;
        out.type = SfType::Boolean;
        out.number = c - '0';
        return true;
    }

    bool DisplayString(SfBareItem& out) {
        if (in_.substr(pos_, 2) != "%\"") {
            return false;
        }
        pos_ += 2;
        out.type = SfType::DisplayString;
        while (!AtEnd()) {
            const auto c = static_cast<unsigned char>(in_[pos_++]);
            if (c < 0x20 || c > 0x7E) {
                return false;
            }
            if (c == '%') {
                const int high = LowerHexValue(Peek());
                const int low = pos_ + 1 < in_.size() ? LowerHexValue(in_[pos_ + 1]) : -1;
                if (high < 0 || low < 0) {
                    return false;
                }
                pos_ += 2;
                out.text += static_cast<char>(high * 16 + low);
            } else if (c == '"') {
                return IsUtf8(out.text);
            } else {
                out.text += static_cast<char>(c);
            }
        }
        return false;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<SfDictionary> ParseSfDictionary(std::string_view fieldValue) {
    if (fieldValue.size() > kSfMaxInputBytes) {
        return std::nullopt;
    }
    SfDictionary dictionary;
    if (!Parser(fieldValue).Dictionary(dictionary)) {
        return std::nullopt;
    }
    return dictionary;
}

const SfMember* FindSfMember(const SfDictionary& dictionary, std::string_view key) {
    for (const SfMember& member : dictionary) {
        if (member.key == key) {
            return &member;
        }
    }
    return nullptr;
}

}  // namespace bcnk
