// Legacy encodings through the Windows code-page converter.
#include <windows.h>

#include <climits>

#include "common/charset.h"

namespace bcnk {

namespace {

UINT CodePage(Charset charset) {
    switch (charset) {
        case Charset::Windows1250:
            return 1250;
        case Charset::Windows1251:
            return 1251;
        case Charset::Windows1252:
            return 1252;
        case Charset::Iso8859_2:
            return 28592;
        case Charset::Iso8859_15:
            return 28605;
        case Charset::Koi8R:
            return 20866;
        case Charset::ShiftJis:
            return 932;
        // 51932 is the usual EUC-JP code page, but only MLang converts it; the converter
        // itself knows the JIS X 0208/0212 form as 20932.
        case Charset::EucJp:
            return 20932;
        case Charset::Gbk:
            return 936;
        case Charset::Big5:
            return 950;
        case Charset::EucKr:
            return 949;
        default:
            return 0;
    }
}

}  // namespace

bool ConvertLegacyBytes(std::string_view bytes, Charset charset, Text& text) {
    const UINT codePage = CodePage(charset);
    // The converter counts in int; an empty input gives 0 like a failure would.
    if (codePage == 0 || bytes.size() > INT_MAX) {
        return false;
    }
    text.clear();
    if (bytes.empty()) {
        return true;
    }
    const int byteCount = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), byteCount, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    text.resize(static_cast<size_t>(length));
    return MultiByteToWideChar(codePage, 0, bytes.data(), byteCount,
                               reinterpret_cast<wchar_t*>(text.data()), length) == length;
}

}  // namespace bcnk
