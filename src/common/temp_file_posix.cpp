#include "common/temp_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace bcnk {

namespace {
constexpr std::intptr_t kNoFile = -1;

int MakeUnlinkedFile() {
    const char* folder = std::getenv("TMPDIR");
    std::string name = (folder != nullptr && *folder != '\0') ? folder : "/tmp";
    name += "/beaconsmith-spool-XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) {
        unlink(name.c_str());
    }
    return fd;
}
}  // namespace

TempFile::TempFile() : handle_(MakeUnlinkedFile()) {}

TempFile::~TempFile() {
    if (handle_ != kNoFile) {
        close(static_cast<int>(handle_));
    }
}

bool TempFile::Open() const { return handle_ != kNoFile; }

bool TempFile::Append(std::string_view bytes, std::uint64_t& at) {
    if (handle_ == kNoFile) {
        return false;
    }
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t step = pwrite(static_cast<int>(handle_), bytes.data() + written,
                                    bytes.size() - written, static_cast<off_t>(size_ + written));
        if (step <= 0) {
            return false;
        }
        written += static_cast<size_t>(step);
    }
    at = size_;
    size_ += bytes.size();
    return true;
}

bool TempFile::Read(std::uint64_t at, std::uint32_t size, std::string& bytes) const {
    if (handle_ == kNoFile || at + size > size_) {
        return false;
    }
    bytes.resize(size);
    size_t done = 0;
    while (done < size) {
        const ssize_t step = pread(static_cast<int>(handle_), bytes.data() + done, size - done,
                                   static_cast<off_t>(at + done));
        if (step <= 0) {
            return false;
        }
        done += static_cast<size_t>(step);
    }
    return true;
}

}  // namespace bcnk
