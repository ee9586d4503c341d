// UTF-8 conversion and white-space classification for platforms without the Windows
// converters. Results match MultiByteToWideChar / WideCharToMultiByte (CP_UTF8, no flags):
// each maximal invalid subsequence becomes one U+FFFD, as the Unicode Standard recommends.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/text.h"

namespace bcnk {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Number of leading bytes that are plain ASCII, eight at a time where possible. Pages are
// mostly markup, so this loop carries nearly all of the work.
size_t AsciiRun(const unsigned char* data, size_t size) {
    size_t index = 0;
    while (index + 8 <= size) {
        std::uint64_t chunk;
        std::memcpy(&chunk, data + index, 8);
        if (chunk & 0x8080808080808080ULL) {
            break;
        }
        index += 8;
    }
    while (index < size && data[index] < 0x80) {
        ++index;
    }
    return index;
}

// Number of leading units below U+0080, eight at a time where possible.
size_t AsciiUnitRun(const char16_t* units, size_t size) {
    size_t index = 0;
    while (index + 8 <= size) {
        std::uint64_t chunk[2];
        std::memcpy(chunk, units + index, 16);
        if ((chunk[0] | chunk[1]) & 0xFF80FF80FF80FF80ULL) {
            break;
        }
        index += 8;
    }
    while (index < size && units[index] < 0x80) {
        ++index;
    }
    return index;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Bytes of the UTF-8 form; a lone surrogate counts as the three bytes of U+FFFD.
size_t Utf8Length(const char16_t* units, size_t size) {
    // Counted as if no pairs existed, in blocks small enough for 16-bit counters so that the
    // compiler vectorises the inner loop; pairs are rare and corrected below only when a
    // surrogate was seen at all.
    size_t length = size;
    bool anySurrogate = false;
    for (size_t block = 0; block < size; block += 8192) {
        const size_t end = std::min(size, block + 8192);
        std::uint16_t extra = 0;
        std::uint16_t surrogates = 0;
        for (size_t index = block; index < end; ++index) {
            const char16_t unit = units[index];
            extra += (unit >= 0x80) + (unit >= 0x800);
            surrogates |= (unit & 0xF800) == 0xD800;
        }
        length += extra;
        anySurrogate |= surrogates != 0;
    }
    if (anySurrogate) {
        for (size_t index = 0; index + 1 < size; ++index) {
            // A valid pair is four bytes, not the six of two three-byte units.
            if (IsHighSurrogate(units[index]) && IsLowSurrogate(units[index + 1])) {
                length -= 2;
                ++index;
            }
        }
    }
    return length;
}

}  // namespace

Text Utf8ToWide(const std::string& bytes) {
    if (bytes.empty()) {
        return Text();
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    // Every byte yields at most one UTF-16 unit (a four-byte sequence yields two).
    Text result(size, u'\0');
    char16_t* out = result.data();
    size_t index = 0;
    while (index < size) {
        const size_t run = AsciiRun(data + index, size - index);
        for (size_t k = 0; k < run; ++k) {
            out[k] = data[index + k];
        }
        out += run;
        index += run;
        if (index >= size) {
            break;
        }

        const unsigned char lead = data[index];
        // The allowed range of the second byte depends on the lead byte: this rules out
        // overlong forms, surrogates and code points above U+10FFFF at the earliest byte.
        unsigned char secondLow = 0x80, secondHigh = 0xBF;
        int trailing = 0;
        std::uint32_t codePoint = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trailing = 1;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailing = 2;
            codePoint = lead & 0x0F;
            if (lead == 0xE0)
                secondLow = 0xA0;
            if (lead == 0xED)
                secondHigh = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trailing = 3;
            codePoint = lead & 0x07;
            if (lead == 0xF0)
                secondLow = 0x90;
            if (lead == 0xF4)
                secondHigh = 0x8F;
        } else {
            *out++ = kReplacement;
            ++index;
            continue;
        }

        size_t next = index + 1;
        bool complete = true;
        for (int k = 0; k < trailing; ++k, ++next) {
            const unsigned char low = (k == 0) ? secondLow : 0x80;
            const unsigned char high = (k == 0) ? secondHigh : 0xBF;
            if (next >= size || data[next] < low || data[next] > high) {
                complete = false;
                break;
            }
            codePoint = (codePoint << 6) | (data[next] & 0x3F);
        }
        if (!complete) {
            // The valid prefix so far is one maximal subpart: one replacement, then decoding
            // resumes at the byte that broke the sequence.
            *out++ = kReplacement;
            index = next;
            continue;
        }
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (codePoint >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(codePoint);
        }
        index = next;
    }
    result.resize(static_cast<size_t>(out - result.data()));
    return result;
}

std::string WideToUtf8(const Text& text) {
    if (text.empty()) {
        return std::string();
    }
    const char16_t* units = text.data();
    const size_t size = text.size();
    // Measured first, so the result is exactly as large as it needs to be.
    std::string result(Utf8Length(units, size), '\0');
    char* out = result.data();
    size_t index = 0;
    while (index < size) {
        const size_t run = AsciiUnitRun(units + index, size - index);
        for (size_t k = 0; k < run; ++k) {
            out[k] = static_cast<char>(units[index + k]);
        }
        out += run;
        index += run;
        if (index >= size) {
            break;
        }
        std::uint32_t codePoint = units[index++];
        if (IsHighSurrogate(static_cast<char16_t>(codePoint)) && index < size &&
            IsLowSurrogate(units[index])) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (units[index] - 0xDC00);
            ++index;
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            codePoint = kReplacement;
        }
        if (codePoint < 0x800) {
            *out++ = static_cast<char>(0xC0 | (codePoint >> 6));
        } else if (codePoint < 0x10000) {
            *out++ = static_cast<char>(0xE0 | (codePoint >> 12));
            *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (codePoint >> 18));
            *out++ = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        }
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return result;
}

bool IsWhiteSpaceUnit(char16_t unit) {
    if (unit <= 0xFF) {
        return (unit >= 0x09 && unit <= 0x0D) || unit == 0x20 || unit == 0x85 || unit == 0xA0;
    }
    // The Unicode space separators and line/paragraph separators, which the Windows
    // classification (C1_SPACE) also reports as spaces.
    return unit == 0x1680 || (unit >= 0x2000 && unit <= 0x200A) || unit == 0x2028 ||
           unit == 0x2029 || unit == 0x202F || unit == 0x205F || unit == 0x3000;
}

}  // namespace bcnk
