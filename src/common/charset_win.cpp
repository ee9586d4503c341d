// Legacy encodings through the Windows code-page converter.
#include <windows.h>

#include <climits>
#include <iterator>

#include "common/charset.h"

namespace bcnk {

namespace {

// Per legacy encoding, in the order of the enumeration from windows-1250 on. EUC-JP is
// usually 51932, but only MLang converts that one; the converter itself knows the
// JIS X 0208/0212 form as 20932.
constexpr UINT kCodePages[] = {1250, 1251, 1252, 28592, 28605, 20866, 932, 20932, 936, 950, 949};
static_assert(std::size(kCodePages) ==
              static_cast<size_t>(Charset::EucKr) - static_cast<size_t>(Charset::Windows1250) + 1);

UINT CodePage(Charset charset) {
    const auto at = static_cast<size_t>(charset) - static_cast<size_t>(Charset::Windows1250);
    return at < std::size(kCodePages) ? kCodePages[at] : 0;
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
