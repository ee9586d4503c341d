#include "common/temp_file.h"

namespace bcnk {

bool TempFile::Append(std::string_view bytes, std::uint64_t& at) {
    if (!Open()) {
        return false;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const std::size_t step =
            WriteSome(bytes.data() + written, bytes.size() - written, size_ + written);
        if (step == 0) {
            return false;
        }
        written += step;
    }
    at = size_;
    size_ += bytes.size();
    return true;
}

bool TempFile::Read(std::uint64_t at, std::uint32_t size, std::string& bytes) const {
    if (!Open() || at + size > size_) {
        return false;
    }
    bytes.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const std::size_t step = ReadSome(bytes.data() + done, size - done, at + done);
        if (step == 0) {
            return false;
        }
        done += step;
    }
    return true;
}

}  // namespace bcnk
