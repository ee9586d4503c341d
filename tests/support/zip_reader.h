#pragma once
// Reads back the stored archives the package writer makes, the way an unzip program walks
// them: end record, central directory, then each local header. Only what the tests need.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bcnk::test {

struct StoredMember {
    std::string name;
    std::string data;
    std::uint32_t crc32 = 0;
    std::uint32_t flags = 0;
    std::uint32_t localHeaderOffset = 0;

    bool operator==(const StoredMember&) const = default;
};

std::uint32_t ReadLe16(const std::string& bytes, size_t offset);
std::uint32_t ReadLe32(const std::string& bytes, size_t offset);

// Members in directory order; nothing when a signature, offset or size does not fit, or
// when a local header disagrees with its directory entry.
std::optional<std::vector<StoredMember>> ReadStoredArchive(const std::string& bytes);

}  // namespace bcnk::test
