#pragma once
// A scratch file for data too large to keep in memory: made in the system's temporary
// folder, readable and writable at any offset, and gone when the object is destroyed or the
// program ends in any way (on POSIX the name is removed as soon as the file is open; on
// Windows the system deletes it when its last handle closes).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bcnk {

class TempFile {
public:
    TempFile();  // Open() says whether a file could be made
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool Open() const;
    // Writes at the end; false when the file is not open or the disk refuses.
    bool Append(std::string_view bytes, std::uint64_t& at);
    // Reads `size` bytes from `at`; false when they are not all there.
    bool Read(std::uint64_t at, std::uint32_t size, std::string& bytes) const;

private:
    // The platform's part: one write or read at an offset, which may move fewer bytes than
    // asked; the count moved, 0 on failure.
    std::size_t WriteSome(const char* bytes, std::size_t size, std::uint64_t at);
    std::size_t ReadSome(char* bytes, std::size_t size, std::uint64_t at) const;

    std::intptr_t handle_;  // a file descriptor, or a Windows HANDLE
    std::uint64_t size_ = 0;
};

}  // namespace bcnk
