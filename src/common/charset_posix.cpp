// Legacy encodings through iconv. The names chosen are the glibc converters closest to what
// browsers decode for each label (Shift_JIS is really Windows-31J, EUC-KR really UHC).
#include <iconv.h>

#include <bit>
#include <cerrno>
#include <iterator>

#include "common/charset.h"

namespace bcnk {

namespace {

// Per legacy encoding, in the order of the enumeration from windows-1250 on.
constexpr const char* kIconvNames[] = {
    "CP1250", "CP1251", "CP1252",  "ISO-8859-2", "ISO-8859-15", "KOI8-R",
    "CP932",  "EUC-JP", "GB18030", "BIG5-HKSCS", "CP949",
};
static_assert(std::size(kIconvNames) ==
              static_cast<size_t>(Charset::EucKr) - static_cast<size_t>(Charset::Windows1250) + 1);

const char* IconvName(Charset charset) {
    const auto at = static_cast<size_t>(charset) - static_cast<size_t>(Charset::Windows1250);
    return at < std::size(kIconvNames) ? kIconvNames[at] : nullptr;
}

}  // namespace

bool ConvertLegacyBytes(std::string_view bytes, Charset charset, Text& text) {
    const char* name = IconvName(charset);
    const char* utf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    const iconv_t converter = name == nullptr ? iconv_t(-1) : iconv_open(utf16, name);
    if (converter == iconv_t(-1)) {
        return false;
    }
    // None of these encodings gives more units than bytes, apart from a few two-character
    // sequences; running out of room only means growing.
    text.assign(bytes.size() + 16, u'\0');
    size_t used = 0;
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(text.data() + used);
        size_t outLeft = (text.size() - used) * sizeof(char16_t);
        const size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        used = text.size() - outLeft / sizeof(char16_t);
        if (converted != size_t(-1)) {
            break;
        }
        if (error == E2BIG || used + 2 > text.size()) {
            text.resize(text.size() * 2);
            continue;
        }
        // A byte the encoding does not allow here: one replacement character, then on with
        // the next byte. A sequence cut short by the end of the body ends the text likewise.
        text[used++] = 0xFFFD;
        if (error == EINVAL) {
            break;
        }
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    text.resize(used);
    return true;
}

}  // namespace bcnk
