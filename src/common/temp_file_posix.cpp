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

std::size_t TempFile::WriteSome(const char* bytes, std::size_t size, std::uint64_t at) {
    const ssize_t step = pwrite(static_cast<int>(handle_), bytes, size, static_cast<off_t>(at));
    return step > 0 ? static_cast<std::size_t>(step) : 0;
}

std::size_t TempFile::ReadSome(char* bytes, std::size_t size, std::uint64_t at) const {
    const ssize_t step = pread(static_cast<int>(handle_), bytes, size, static_cast<off_t>(at));
    return step > 0 ? static_cast<std::size_t>(step) : 0;
}

}  // namespace bcnk
