// Legacy encodings through iconv. The names chosen are the glibc converters closest to what
// browsers decode for each label (Shift_JIS is really Windows-31J, EUC-KR really UHC).
#include <iconv.h>

#include <bit>
#include <cerrno>

#include "common/charset.h"

namespace bcnk {

namespace {

const char* IconvName(Charset charset) {
    switch (charset) {
        case Charset::Windows1250:
            return "CP1250";
        case Charset::Windows1251:
            return "CP1251";
        case Charset::Windows1252:
            return "CP1252";
        case Charset::Iso8859_2:
            return "ISO-8859-2";
        case Charset::Iso8859_15:
            return "ISO-8859-15";
        case Charset::Koi8R:
            return "KOI8-R";
        case Charset::ShiftJis:
            return "CP932";
        case Charset::EucJp:
            return "EUC-JP";
        case Charset::Gbk:
            return "GB18030";
        case Charset::Big5:
            return "BIG5-HKSCS";
        case Charset::EucKr:
            return "CP949";
        default:
            return nullptr;
    }
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
