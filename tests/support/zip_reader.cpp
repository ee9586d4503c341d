#include "support/zip_reader.h"

namespace bcnk::test {

std::uint32_t ReadLe16(const std::string& bytes, size_t offset) {
    return static_cast<unsigned char>(bytes.at(offset)) |
           (static_cast<unsigned char>(bytes.at(offset + 1)) << 8);
}

std::uint32_t ReadLe32(const std::string& bytes, size_t offset) {
    return ReadLe16(bytes, offset) | (ReadLe16(bytes, offset + 2) << 16);
}

std::optional<std::vector<StoredMember>> ReadStoredArchive(const std::string& bytes) {
    constexpr size_t kEndSize = 22, kCentralSize = 46, kLocalSize = 30;
    if (bytes.size() < kEndSize) {
        return std::nullopt;
    }
    const size_t end = bytes.size() - kEndSize;
    if (ReadLe32(bytes, end) != 0x06054B50u ||
        ReadLe16(bytes, end + 8) != ReadLe16(bytes, end + 10)) {
        return std::nullopt;
    }
    const size_t count = ReadLe16(bytes, end + 10);
    const size_t directorySize = ReadLe32(bytes, end + 12);
    const size_t directoryOffset = ReadLe32(bytes, end + 16);
    if (directoryOffset + directorySize != end) {
        return std::nullopt;
    }

    std::vector<StoredMember> members;
    size_t central = directoryOffset;
    for (size_t index = 0; index < count; ++index) {
        if (central + kCentralSize > end || ReadLe32(bytes, central) != 0x02014B50u) {
            return std::nullopt;
        }
        StoredMember member;
        member.flags = ReadLe16(bytes, central + 8);
        member.crc32 = ReadLe32(bytes, central + 16);
        const size_t size = ReadLe32(bytes, central + 20);
        const size_t nameLength = ReadLe16(bytes, central + 28);
        const size_t extraLength = ReadLe16(bytes, central + 30) + ReadLe16(bytes, central + 32);
        member.localHeaderOffset = ReadLe32(bytes, central + 42);
        member.name = bytes.substr(central + kCentralSize, nameLength);

        // Flags, method, time, date, CRC and both sizes must agree in the two headers.
        const size_t local = member.localHeaderOffset;
        if (local + kLocalSize > directoryOffset || ReadLe32(bytes, local) != 0x04034B50u ||
            bytes.compare(local + 6, 20, bytes, central + 8, 20) != 0) {
            return std::nullopt;
        }
        const size_t dataOffset = local + kLocalSize + nameLength + ReadLe16(bytes, local + 28);
        if (dataOffset + size > directoryOffset ||
            bytes.compare(local + kLocalSize, nameLength, member.name) != 0) {
            return std::nullopt;
        }
        member.data = bytes.substr(dataOffset, size);
        members.push_back(std::move(member));
        central += kCentralSize + nameLength + extraLength;
    }
    if (central != end) {
        return std::nullopt;
    }
    return members;
}

}  // namespace bcnk::test
