#include "common/charset.h"

#include <algorithm>
#include <iterator>

namespace bcnk {

namespace {

struct Label {
    std::string_view text;  // lower case
    Charset charset;
};

// Every label browsers accept for the encodings read here.
constexpr Label kLabels[] = {
    {"unicode-1-1-utf-8", Charset::Utf8},
    {"unicode11utf8", Charset::Utf8},
    {"unicode20utf8", Charset::Utf8},
    {"utf-8", Charset::Utf8},
    {"utf8", Charset::Utf8},
    {"x-unicode20utf8", Charset::Utf8},
    {"csunicode", Charset::Utf16Le},
    {"iso-10646-ucs-2", Charset::Utf16Le},
    {"ucs-2", Charset::Utf16Le},
    {"unicode", Charset::Utf16Le},
    {"unicodefeff", Charset::Utf16Le},
    {"utf-16", Charset::Utf16Le},
    {"utf-16le", Charset::Utf16Le},
    {"unicodefffe", Charset::Utf16Be},
    {"utf-16be", Charset::Utf16Be},
    {"cp1250", Charset::Windows1250},
    {"windows-1250", Charset::Windows1250},
    {"x-cp1250", Charset::Windows1250},
    {"cp1251", Charset::Windows1251},
    {"windows-1251", Charset::Windows1251},
    {"x-cp1251", Charset::Windows1251},
    {"ansi_x3.4-1968", Charset::Windows1252},
    {"ascii", Charset::Windows1252},
    {"cp1252", Charset::Windows1252},
    {"cp819", Charset::Windows1252},
    {"csisolatin1", Charset::Windows1252},
    {"ibm819", Charset::Windows1252},
    {"iso-8859-1", Charset::Windows1252},
    {"iso-ir-100", Charset::Windows1252},
    {"iso8859-1", Charset::Windows1252},
    {"iso88591", Charset::Windows1252},
    {"iso_8859-1", Charset::Windows1252},
    {"iso_8859-1:1987", Charset::Windows1252},
    {"l1", Charset::Windows1252},
    {"latin1", Charset::Windows1252},
    {"us-ascii", Charset::Windows1252},
    {"windows-1252", Charset::Windows1252},
    {"x-cp1252", Charset::Windows1252},
    {"csisolatin2", Charset::Iso8859_2},
    {"iso-8859-2", Charset::Iso8859_2},
    {"iso-ir-101", Charset::Iso8859_2},
    {"iso8859-2", Charset::Iso8859_2},
    {"iso88592", Charset::Iso8859_2},
    {"iso_8859-2", Charset::Iso8859_2},
    {"iso_8859-2:1987", Charset::Iso8859_2},
    {"l2", Charset::Iso8859_2},
    {"latin2", Charset::Iso8859_2},
    {"csisolatin9", Charset::Iso8859_15},
    {"iso-8859-15", Charset::Iso8859_15},
    {"iso8859-15", Charset::Iso8859_15},
    {"iso885915", Charset::Iso8859_15},
    {"iso_8859-15", Charset::Iso8859_15},
    {"l9", Charset::Iso8859_15},
    {"cskoi8r", Charset::Koi8R},
    {"koi", Charset::Koi8R},
    {"koi8", Charset::Koi8R},
    {"koi8-r", Charset::Koi8R},
    {"koi8_r", Charset::Koi8R},
    {"csshiftjis", Charset::ShiftJis},
    {"ms932", Charset::ShiftJis},
    {"ms_kanji", Charset::ShiftJis},
    {"shift-jis", Charset::ShiftJis},
    {"shift_jis", Charset::ShiftJis},
    {"sjis", Charset::ShiftJis},
    {"windows-31j", Charset::ShiftJis},
    {"x-sjis", Charset::ShiftJis},
    {"cseucpkdfmtjapanese", Charset::EucJp},
    {"euc-jp", Charset::EucJp},
    {"x-euc-jp", Charset::EucJp},
    {"chinese", Charset::Gbk},
    {"csgb2312", Charset::Gbk},
    {"csiso58gb231280", Charset::Gbk},
    {"gb2312", Charset::Gbk},
    {"gb_2312", Charset::Gbk},
    {"gb_2312-80", Charset::Gbk},
    {"gbk", Charset::Gbk},
    {"iso-ir-58", Charset::Gbk},
    {"x-gbk", Charset::Gbk},
    {"big5", Charset::Big5},
    {"big5-hkscs", Charset::Big5},
    {"cn-big5", Charset::Big5},
    {"csbig5", Charset::Big5},
    {"x-x-big5", Charset::Big5},
    {"cseuckr", Charset::EucKr},
    {"csksc56011987", Charset::EucKr},
    {"euc-kr", Charset::EucKr},
    {"iso-ir-149", Charset::EucKr},
    {"korean", Charset::EucKr},
    {"ks_c_5601-1987", Charset::EucKr},
    {"ks_c_5601-1989", Charset::EucKr},
    {"ksc5601", Charset::EucKr},
    {"ksc_5601", Charset::EucKr},
    {"windows-949", Charset::EucKr},
};

constexpr char16_t kReplacement = 0xFFFD;

bool IsAsciiSpace(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f';
}

bool StartsWithFolded(std::string_view text, size_t at, std::string_view folded) {
    return at <= text.size() && text.size() - at >= folded.size() &&
           ContainsNoCaseBytes(text.substr(at, folded.size()), folded);
}

// The value behind the first "charset" followed by "=" in a Content-Type value, quoted or
// not; empty when there is none. Browsers read <meta content> the same way.
std::string_view CharsetParameter(std::string_view value) {
    for (size_t at = 0; at + 7 <= value.size(); ++at) {
        if (!StartsWithFolded(value, at, "charset")) {
            continue;
        }
        size_t index = at + 7;
        while (index < value.size() && IsAsciiSpace(value[index])) {
            ++index;
        }
        if (index >= value.size() || value[index] != '=') {
            continue;
        }
        ++index;
        while (index < value.size() && IsAsciiSpace(value[index])) {
            ++index;
        }
        if (index < value.size() && (value[index] == '"' || value[index] == '\'')) {
            const size_t close = value.find(value[index], index + 1);
            return close == std::string_view::npos ? std::string_view()
                                                   : value.substr(index + 1, close - index - 1);
        }
        size_t end = index;
        while (end < value.size() && !IsAsciiSpace(value[end]) && value[end] != ';') {
            ++end;
        }
        return value.substr(index, end - index);
    }
    return std::string_view();
}

struct Attribute {
    std::string_view name;  // not folded
    std::string_view value;
};

// Reads the attribute at `index` inside a tag and moves `index` behind it; false at the ">"
// that ends the tag or at the end of the window. Quoted values may hold ">".
bool NextAttribute(std::string_view window, size_t& index, Attribute& attribute) {
    while (index < window.size() && (IsAsciiSpace(window[index]) || window[index] == '/')) {
        ++index;
    }
    if (index >= window.size() || window[index] == '>') {
        return false;
    }
    const size_t nameStart = index;
    do {
        ++index;
    } while (index < window.size() && !IsAsciiSpace(window[index]) && window[index] != '=' &&
             window[index] != '/' && window[index] != '>');
    attribute.name = window.substr(nameStart, index - nameStart);
    attribute.value = std::string_view();
    size_t look = index;
    while (look < window.size() && IsAsciiSpace(window[look])) {
        ++look;
    }
    if (look >= window.size() || window[look] != '=') {
        return true;
    }
    index = look + 1;
    while (index < window.size() && IsAsciiSpace(window[index])) {
        ++index;
    }
    if (index < window.size() && (window[index] == '"' || window[index] == '\'')) {
        const size_t close = window.find(window[index], index + 1);
        const size_t end = close == std::string_view::npos ? window.size() : close;
        attribute.value = window.substr(index + 1, end - index - 1);
        index = std::min(window.size(), end + 1);
        return true;
    }
    const size_t valueStart = index;
    while (index < window.size() && !IsAsciiSpace(window[index]) && window[index] != '>') {
        ++index;
    }
    attribute.value = window.substr(valueStart, index - valueStart);
    return true;
}

bool NameIs(std::string_view name, std::string_view folded) {
    return name.size() == folded.size() && StartsWithFolded(name, 0, folded);
}

// The encoding one <meta> tag declares; `index` starts behind "<meta" and ends behind the
// tag.
bool MetaCharset(std::string_view window, size_t& index, Charset& charset) {
    std::string_view declared;
    std::string_view content;
    bool contentType = false;
    Attribute attribute;
    while (NextAttribute(window, index, attribute)) {
        if (NameIs(attribute.name, "charset") && declared.empty()) {
            declared = attribute.value;
        } else if (NameIs(attribute.name, "http-equiv")) {
            contentType = contentType || NameIs(attribute.value, "content-type");
        } else if (NameIs(attribute.name, "content") && content.empty()) {
            content = attribute.value;
        }
    }
    if (declared.empty() && contentType) {
        declared = CharsetParameter(content);
    }
    if (declared.empty() || !CharsetFromLabel(declared, charset)) {
        return false;
    }
    // A page that could be read as far as its <meta> is not UTF-16, whatever it says.
    if (charset == Charset::Utf16Le || charset == Charset::Utf16Be) {
        charset = Charset::Utf8;
    }
    return true;
}

// The first known encoding a <meta> declares in the window, skipping comments and reading
// past other tags' attributes, so that a "<meta" inside a comment or a quoted value counts
// for nothing.
bool PrescanMeta(std::string_view window, Charset& charset) {
    size_t index = 0;
    while ((index = window.find('<', index)) != std::string_view::npos) {
        if (StartsWithFolded(window, index, "<!--")) {
            const size_t end = window.find("-->", index + 4);
            if (end == std::string_view::npos) {
                return false;
            }
            index = end + 3;
        } else if (StartsWithFolded(window, index, "<meta") && index + 5 < window.size() &&
                   (IsAsciiSpace(window[index + 5]) || window[index + 5] == '/')) {
            index += 5;
            if (MetaCharset(window, index, charset)) {
                return true;
            }
        } else if (index + 1 < window.size() && ((AsciiLower(window[index + 1]) >= 'a' &&
                                                  AsciiLower(window[index + 1]) <= 'z') ||
                                                 window[index + 1] == '/')) {
            index += 2;
            while (index < window.size() && !IsAsciiSpace(window[index]) && window[index] != '>') {
                ++index;
            }
            Attribute ignored;
            while (NextAttribute(window, index, ignored)) {
            }
        } else {
            ++index;
        }
    }
    return false;
}

std::string AsciiBytes(const Text& text) {
    std::string bytes(text.size(), '?');
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] < 0x80) {
            bytes[k] = static_cast<char>(text[k]);
        }
    }
    return bytes;
}

// UTF-16 by hand: it needs no converter, and unpaired surrogates become U+FFFD so the text
// stays well formed.
Text DecodeUtf16(std::string_view bytes, bool bigEndian) {
    Text text;
    text.reserve(bytes.size() / 2 + 1);
    for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        text += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    if (bytes.size() % 2 != 0) {
        text += kReplacement;
    }
    for (size_t k = 0; k < text.size(); ++k) {
        const char16_t unit = text[k];
        if (unit >= 0xD800 && unit <= 0xDBFF && k + 1 < text.size() && text[k + 1] >= 0xDC00 &&
            text[k + 1] <= 0xDFFF) {
            ++k;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            text[k] = kReplacement;
        }
    }
    return text;
}

}  // namespace

std::string_view CharsetName(Charset charset) {
    // In the order of the enumeration.
    constexpr std::string_view kNames[] = {
        "UTF-8",        "UTF-16LE",   "UTF-16BE",    "windows-1250", "windows-1251",
        "windows-1252", "ISO-8859-2", "ISO-8859-15", "KOI8-R",       "Shift_JIS",
        "EUC-JP",       "GBK",        "Big5",        "EUC-KR",
    };
    static_assert(std::size(kNames) == static_cast<size_t>(Charset::EucKr) + 1);
    return kNames[static_cast<size_t>(charset)];
}

bool CharsetFromLabel(std::string_view label, Charset& charset) {
    while (!label.empty() && IsAsciiSpace(label.front())) {
        label.remove_prefix(1);
    }
    while (!label.empty() && IsAsciiSpace(label.back())) {
        label.remove_suffix(1);
    }
    for (const Label& known : kLabels) {
        if (NameIs(label, known.text)) {
            charset = known.charset;
            return true;
        }
    }
    return false;
}

DetectedCharset DetectCharset(std::string_view body, std::string_view contentType) {
    if (body.starts_with("\xEF\xBB\xBF")) {
        return {Charset::Utf8, 3};
    }
    if (body.starts_with("\xFF\xFE")) {
        return {Charset::Utf16Le, 2};
    }
    if (body.starts_with("\xFE\xFF")) {
        return {Charset::Utf16Be, 2};
    }
    DetectedCharset detected;
    if (CharsetFromLabel(CharsetParameter(contentType), detected.charset) ||
        PrescanMeta(body.substr(0, kCharsetPrescanBytes), detected.charset)) {
        return detected;
    }
    return {Charset::Utf8, 0};
}

Text DecodePageText(const std::string& body, const Text& contentType) {
    const DetectedCharset detected = DetectCharset(body, AsciiBytes(contentType));
    const std::string_view content = std::string_view(body).substr(detected.bomLength);
    switch (detected.charset) {
        case Charset::Utf8:
            return detected.bomLength == 0 ? Utf8ToWide(body) : Utf8ToWide(std::string(content));
        case Charset::Utf16Le:
        case Charset::Utf16Be:
            return DecodeUtf16(content, detected.charset == Charset::Utf16Be);
        default: {
            Text text;
            if (ConvertLegacyBytes(content, detected.charset, text)) {
                return text;
            }
            return Utf8ToWide(std::string(content));
        }
    }
}

}  // namespace bcnk
