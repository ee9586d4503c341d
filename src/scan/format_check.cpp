#include "scan/format_check.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "common/text.h"

namespace bcnk {
namespace {

// Invalid UTF-8 comes back from the round trip changed (each bad sequence as U+FFFD).
bool IsUtf8(std::string_view bytes) {
    const std::string copy(bytes);
    return WideToUtf8(Utf8ToWide(copy)) == copy;
}

std::string_view WithoutBom(std::string_view body) {
    return body.substr(0, 3) == "\xEF\xBB\xBF" ? body.substr(3) : body;
}

bool IsSpace(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
}

bool IsDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

bool IsHexDigit(char byte) {
    return IsDigit(byte) || (AsciiLower(byte) >= 'a' && AsciiLower(byte) <= 'f');
}

// A read position in the body with the few moves both checkers make.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

  protected:
    bool Starts(std::string_view marker) const {
        return text_.substr(at_, marker.size()) == marker;
    }

    bool Take(char byte) {
        if (at_ < text_.size() && text_[at_] == byte) {
            ++at_;
            return true;
        }
        return false;
    }

    void SkipSpace() {
        while (at_ < text_.size() && IsSpace(text_[at_])) {
            ++at_;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

// ---- JSON ---------------------------------------------------------------------------------

class JsonChecker : Cursor {
  public:
    using Cursor::Cursor;

    bool Document() {
        SkipSpace();
        if (!Value(0)) {
            return false;
        }
        SkipSpace();
        return at_ == text_.size() && sawObject_;
    }

  private:
    bool Value(std::size_t depth) {
        if (at_ >= text_.size() || depth >= kMaxFormatDepth) {
            return false;
        }
        switch (text_[at_]) {
            case '{':
                return Object(depth);
            case '[':
                return Array(depth);
            case '"':
                return String();
            case 't':
                return Word("true");
            case 'f':
                return Word("false");
            case 'n':
                return Word("null");
            default:
                return Number();
        }
    }

    bool Object(std::size_t depth) {
        sawObject_ = true;
        ++at_;
        SkipSpace();
        if (Take('}')) {
            return true;
        }
        do {
            SkipSpace();
            if (at_ >= text_.size() || text_[at_] != '"' || !String()) {
                return false;
            }
            SkipSpace();
            if (!Take(':')) {
                return false;
            }
            SkipSpace();
            if (!Value(depth + 1)) {
                return false;
            }
            SkipSpace();
        } while (Take(','));
        return Take('}');
    }

    bool Array(std::size_t depth) {
        ++at_;
        SkipSpace();
        if (Take(']')) {
            return true;
        }
        do {
            SkipSpace();
            if (!Value(depth + 1)) {
                return false;
            }
            SkipSpace();
        } while (Take(','));
        return Take(']');
    }

    bool String() {
        ++at_;
        while (at_ < text_.size()) {
            const auto byte = static_cast<unsigned char>(text_[at_++]);
            if (byte == '"') {
                return true;
            }
            if (byte < 0x20) {
                return false;
            }
            if (byte == '\\') {
                if (at_ >= text_.size()) {
                    return false;
                }
                const char escape = text_[at_++];
                if (escape == 'u') {
                    for (int i = 0; i < 4; ++i, ++at_) {
                        if (at_ >= text_.size() || !IsHexDigit(text_[at_])) {
                            return false;
                        }
                    }
                } else if (std::string_view("\"\\/bfnrt").find(escape) == std::string_view::npos) {
                    return false;
                }
            }
        }
        return false;
    }

    bool Number() {
        Take('-');
        if (Take('0')) {
            // no further integer digits after a leading zero
        } else if (!Digits()) {
            return false;
        }
        if (Take('.') && !Digits()) {
            return false;
        }
        if (Take('e') || Take('E')) {
            if (!Take('+')) {
                Take('-');
            }
            return Digits();
        }
        return true;
    }

    bool Digits() {
        const std::size_t start = at_;
        while (at_ < text_.size() && IsDigit(text_[at_])) {
            ++at_;
        }
        return at_ > start;
    }

    bool Word(std::string_view word) {
        if (!Starts(word)) {
            return false;
        }
        at_ += word.size();
        return true;
    }

    bool sawObject_ = false;
};

// ---- XML ----------------------------------------------------------------------------------

bool IsNameStart(char byte) {
    const auto unit = static_cast<unsigned char>(byte);
    return (AsciiLower(byte) >= 'a' && AsciiLower(byte) <= 'z') || byte == '_' || byte == ':' ||
           unit >= 0x80;
}

bool IsNameByte(char byte) {
    return IsNameStart(byte) || IsDigit(byte) || byte == '-' || byte == '.';
}

// XML 1.0 allows no control character but tab, line feed and carriage return, not even
// escaped.
bool IsAllowedCodePoint(unsigned long value) {
    return value == 0x9 || value == 0xA || value == 0xD || (value >= 0x20 && value <= 0xD7FF) ||
           (value >= 0xE000 && value <= 0xFFFD) || (value >= 0x10000 && value <= 0x10FFFF);
}

class XmlChecker : Cursor {
  public:
    using Cursor::Cursor;

    bool Document() {
        for (const char byte : text_) {
            const auto unit = static_cast<unsigned char>(byte);
            if (unit < 0x20 && !IsSpace(byte)) {
                return false;
            }
        }
        SkipSpace();
        if (Starts("<?xml") && at_ + 5 < text_.size() && IsSpace(text_[at_ + 5]) &&
            !SkipPast("?>")) {
            return false;
        }
        if (!Misc()) {
            return false;
        }
        if (Starts("<!DOCTYPE")) {
            if (!SkipDoctype() || !Misc()) {
                return false;
            }
        }
        if (!Element() || !Misc()) {
            return false;
        }
        return at_ == text_.size();
    }

  private:
    // White space, comments and processing instructions, as may stand around the root.
    bool Misc() {
        for (;;) {
            SkipSpace();
            if (Starts("<!--")) {
                if (!Comment()) {
                    return false;
                }
            } else if (Starts("<?")) {
                if (!ProcessingInstruction()) {
                    return false;
                }
            } else {
                return true;
            }
        }
    }

    bool Comment() {
        const std::size_t end = text_.find("--", at_ + 4);
        if (end == std::string_view::npos || text_.substr(end, 3) != "-->") {
            return false;
        }
        at_ = end + 3;
        return true;
    }

    bool ProcessingInstruction() {
        at_ += 2;
        const std::size_t start = at_;
        if (!Name()) {
            return false;
        }
        std::string target(text_.substr(start, at_ - start));
        for (char& byte : target) {
            byte = AsciiLower(byte);
        }
        return target != "xml" && SkipPast("?>");
    }

    bool SkipDoctype() {
        // Skipped, never read: brackets of an internal subset nest, quoted text is opaque.
        at_ += 9;
        int brackets = 0;
        while (at_ < text_.size()) {
            const char byte = text_[at_++];
            if (byte == '"' || byte == '\'') {
                const std::size_t close = text_.find(byte, at_);
                if (close == std::string_view::npos) {
                    return false;
                }
                at_ = close + 1;
            } else if (byte == '[') {
                ++brackets;
            } else if (byte == ']') {
                --brackets;
            } else if (byte == '>' && brackets <= 0) {
                sawDoctype_ = true;
                return true;
            }
        }
        return false;
    }

    // The root element with everything inside it; the open elements are kept on a stack
    // of our own rather than the call stack.
    bool Element() {
        std::vector<std::string_view> open;
        if (!Starts("<") || !StartTag(open)) {
            return false;
        }
        while (!open.empty()) {
            if (!Content(open)) {
                return false;
            }
        }
        return true;
    }

    // Reads "<name attributes>" or "<name attributes/>"; an open element is pushed.
    bool StartTag(std::vector<std::string_view>& open) {
        ++at_;
        const std::size_t start = at_;
        if (!Name()) {
            return false;
        }
        const std::string_view name = text_.substr(start, at_ - start);
        std::unordered_set<std::string_view> attributes;
        for (;;) {
            const std::size_t beforeSpace = at_;
            SkipSpace();
            if (Take('>')) {
                if (open.size() >= kMaxFormatDepth) {
                    return false;
                }
                open.push_back(name);
                return true;
            }
            if (Starts("/>")) {
                at_ += 2;
                return true;
            }
            const std::size_t attributeStart = at_;
            if (at_ == beforeSpace || !Name()) {
                return false;
            }
            const std::string_view attribute = text_.substr(attributeStart, at_ - attributeStart);
            if (!attributes.insert(attribute).second) {
                return false;
            }
            SkipSpace();
            if (!Take('=')) {
                return false;
            }
            SkipSpace();
            if (!AttributeValue()) {
                return false;
            }
        }
    }

    bool AttributeValue() {
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) {
            return false;
        }
        const char quote = text_[at_++];
        while (at_ < text_.size() && text_[at_] != quote) {
            if (text_[at_] == '<') {
                return false;
            }
            if (text_[at_] == '&') {
                if (!Reference()) {
                    return false;
                }
            } else {
                ++at_;
            }
        }
        return Take(quote);
    }

    // One piece of an open element's content: text, a child, a comment, a CDATA section, a
    // processing instruction or the element's end tag.
    bool Content(std::vector<std::string_view>& open) {
        if (at_ >= text_.size()) {
            return false;
        }
        if (Starts("</")) {
            at_ += 2;
            const std::size_t start = at_;
            if (!Name() || text_.substr(start, at_ - start) != open.back()) {
                return false;
            }
            SkipSpace();
            open.pop_back();
            return Take('>');
        }
        if (Starts("<!--")) {
            return Comment();
        }
        if (Starts("<![CDATA[")) {
            return SkipPast("]]>");
        }
        if (Starts("<?")) {
            return ProcessingInstruction();
        }
        if (Starts("<")) {
            return StartTag(open);
        }
        if (Starts("]]>")) {
            return false;
        }
        if (text_[at_] == '&') {
            return Reference();
        }
        ++at_;
        return true;
    }

    bool Reference() {
        ++at_;
        if (Take('#')) {
            const bool hex = Take('x');
            unsigned long value = 0;
            const std::size_t start = at_;
            while (at_ < text_.size() && (hex ? IsHexDigit(text_[at_]) : IsDigit(text_[at_]))) {
                const char byte = AsciiLower(text_[at_++]);
                const int digit = IsDigit(byte) ? byte - '0' : byte - 'a' + 10;
                value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
                if (value > 0x10FFFF) {
                    return false;
                }
            }
            return at_ > start && Take(';') && IsAllowedCodePoint(value);
        }
        const std::size_t start = at_;
        if (!Name() || !Take(';')) {
            return false;
        }
        const std::string_view name = text_.substr(start, at_ - 1 - start);
        return sawDoctype_ || name == "lt" || name == "gt" || name == "amp" || name == "apos" ||
               name == "quot";
    }

    bool Name() {
        if (at_ >= text_.size() || !IsNameStart(text_[at_])) {
            return false;
        }
        while (at_ < text_.size() && IsNameByte(text_[at_])) {
            ++at_;
        }
        return true;
    }

    bool SkipPast(std::string_view marker) {
        const std::size_t end = text_.find(marker, at_);
        if (end == std::string_view::npos) {
            return false;
        }
        at_ = end + marker.size();
        return true;
    }

    bool sawDoctype_ = false;
};

}  // namespace

bool IsJsonDocument(std::string_view body) {
    const std::string_view text = WithoutBom(body);
    return IsUtf8(text) && JsonChecker(text).Document();
}

bool IsXmlDocument(std::string_view body) {
    const std::string_view text = WithoutBom(body);
    return IsUtf8(text) && XmlChecker(text).Document();
}

}  // namespace bcnk
