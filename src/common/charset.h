#pragma once
// The text of a page in the encoding it is written in. Pages name their encoding in three
// places, read in the order browsers read them: a byte-order mark, the charset of the
// Content-Type header, then a <meta> declaration near the top. Labels are the ones browsers
// accept. UTF-8, by far the most common, takes the plain UTF-8 path; the legacy encodings go
// through the platform's converter (code pages on Windows, iconv elsewhere).
#include <cstddef>
#include <string>
#include <string_view>

#include "common/text.h"

namespace bcnk {

// The platform converters' tables follow this order: add new encodings at the end.
enum class Charset {
    Utf8,
    Utf16Le,
    Utf16Be,
    Windows1250,
    Windows1251,
    Windows1252,  // also what ISO-8859-1 and US-ASCII labels mean, as in browsers
    Iso8859_2,
    Iso8859_15,
    Koi8R,
    ShiftJis,
    EucJp,
    Gbk,  // also GB2312
    Big5,
    EucKr,
};

// The encoding's name as browsers report it ("windows-1252", "Shift_JIS").
std::string_view CharsetName(Charset charset);

// The encoding a label names, ignoring ASCII case and surrounding white space; false for a
// label no browser knows.
bool CharsetFromLabel(std::string_view label, Charset& charset);

// A <meta> declaration counts only when it lies within this many bytes of the start.
inline constexpr size_t kCharsetPrescanBytes = 1024;

struct DetectedCharset {
    Charset charset = Charset::Utf8;
    size_t bomLength = 0;  // bytes of a byte-order mark at the start, 0 when there is none

    bool operator==(const DetectedCharset&) const = default;
};

// The page's encoding: its byte-order mark, else the charset parameter of `contentType`,
// else the first <meta charset> or <meta http-equiv="Content-Type" content="...charset=...">
// within the first kCharsetPrescanBytes bytes, else UTF-8. A source whose label is unknown
// is passed over, as browsers do.
DetectedCharset DetectCharset(std::string_view body, std::string_view contentType);

// The page body as text in its detected encoding, without the byte-order mark. Never fails:
// bytes that are not valid in the encoding become U+FFFD, and when the platform cannot
// convert the encoding at all the body is read as UTF-8, so no page is lost.
Text DecodePageText(const std::string& body, const Text& contentType);

// Bytes in a legacy encoding (not UTF-8 or UTF-16) as UTF-16 through the platform's
// converter. False when the converter is not available for the encoding; `text` then holds
// nothing useful.
bool ConvertLegacyBytes(std::string_view bytes, Charset charset, Text& text);

}  // namespace bcnk
