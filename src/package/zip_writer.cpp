#include "package/zip_writer.h"

#include <array>
#include <cstdio>
#include <utility>

#include "common/file_system.h"

namespace bcnk {

namespace {

constexpr std::uint16_t kVersion = 20;  // 2.0: stored members, nothing newer
constexpr std::uint16_t kUtf8NamesFlag = 0x0800;
constexpr std::uint16_t kStored = 0;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndRecordSize = 22;

const std::array<std::uint32_t, 256>& CrcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> values{};
        for (std::uint32_t index = 0; index < 256; ++index) {
            std::uint32_t value = index;
            for (int bit = 0; bit < 8; ++bit) {
                value = (value & 1) ? (0xEDB88320u ^ (value >> 1)) : (value >> 1);
            }
            values[index] = value;
        }
        return values;
    }();
    return table;
}

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint64_t value) {
    Put16(out, static_cast<std::uint32_t>(value & 0xFFFF));
    Put16(out, static_cast<std::uint32_t>((value >> 16) & 0xFFFF));
}

// The fields the local and the central header share, from "version needed" to the
// extra-field length.
void PutCommonFields(std::string& out, const ZipEntry& entry) {
    Put16(out, kVersion);
    Put16(out, kUtf8NamesFlag);
    Put16(out, kStored);
    Put16(out, entry.dosTime);
    Put16(out, entry.dosDate);
    Put32(out, entry.crc32);
    Put32(out, entry.data.size());  // compressed size
    Put32(out, entry.data.size());  // uncompressed size
    Put16(out, static_cast<std::uint32_t>(entry.name.size()));
    Put16(out, 0);  // extra field length
}

std::string LocalHeader(const ZipEntry& entry) {
    std::string out;
    out.reserve(kLocalHeaderSize + entry.name.size());
    out += "PK\x03\x04";
    PutCommonFields(out, entry);
    out += entry.name;
    return out;
}

void AppendCentralHeader(std::string& out, const ZipEntry& entry) {
    out += "PK\x01\x02";
    Put16(out, kVersion);  // made by: upper byte 0, MS-DOS attributes
    PutCommonFields(out, entry);
    Put16(out, 0);  // file comment length
    Put16(out, 0);  // disk number start
    Put16(out, 0);  // internal attributes
    Put32(out, 0);  // external attributes
    Put32(out, entry.localHeaderOffset);
    out += entry.name;
}

std::string EndRecord(size_t entryCount, std::uint64_t directorySize,
                      std::uint64_t directoryOffset) {
    std::string out;
    out.reserve(kEndRecordSize);
    out += "PK\x05\x06";
    Put16(out, 0);  // this disk
    Put16(out, 0);  // disk holding the central directory
    Put16(out, static_cast<std::uint32_t>(entryCount & 0xFFFF));
    Put16(out, static_cast<std::uint32_t>(entryCount & 0xFFFF));
    Put32(out, directorySize);
    Put32(out, directoryOffset);
    Put16(out, 0);  // comment length
    return out;
}

// Without ZIP64 records, an archive whose counts, sizes or offsets outgrow their fields
// would be written with cut-off numbers and read back as garbage; refusing it up front keeps
// "false" meaning "no usable archive" and leaves no file behind.
bool FitsPlainZip(const std::vector<ZipEntry>& entries) {
    constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;
    if (entries.size() > 0xFFFF) {
        return false;
    }
    std::uint64_t offset = 0;
    std::uint64_t directorySize = 0;
    for (const ZipEntry& entry : entries) {
        if (entry.name.size() > 0xFFFF || entry.data.size() > kMax32 || offset > kMax32) {
            return false;
        }
        offset += kLocalHeaderSize + entry.name.size() + entry.data.size();
        directorySize += kCentralHeaderSize + entry.name.size();
    }
    return offset <= kMax32 && directorySize <= kMax32;
}

bool WriteBytes(std::FILE* file, const char* bytes, size_t size) {
    return size == 0 || std::fwrite(bytes, 1, size, file) == size;
}

bool WriteBytes(std::FILE* file, const std::string& bytes) {
    return WriteBytes(file, bytes.data(), bytes.size());
}

}  // namespace

std::uint32_t Crc32(const std::string& data) {
    const auto& table = CrcTable();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

std::uint16_t DosTime(const LocalTime& time) {
    return static_cast<std::uint16_t>(time.hour * 2048 + time.minute * 32 + time.second / 2);
}

std::uint16_t DosDate(const LocalTime& time) {
    return static_cast<std::uint16_t>((time.year - 1980) * 512 + time.month * 32 + time.day);
}

void AddZipEntry(std::vector<ZipEntry>& entries, const Text& name, const std::string& data) {
    AddZipEntry(entries, name, std::string(data));
}

void AddZipEntry(std::vector<ZipEntry>& entries, const Text& name, std::string&& data) {
    ZipEntry entry;
    entry.name = WideToUtf8(name);
    entry.crc32 = Crc32(data);
    entry.data = std::move(data);
    const LocalTime now = NowLocal();
    entry.dosTime = DosTime(now);
    entry.dosDate = DosDate(now);
    entries.push_back(std::move(entry));
}

bool WriteZipArchive(std::vector<ZipEntry>& entries, const Text& path) {
    if (!FitsPlainZip(entries)) {
        return false;
    }
    std::FILE* file = OpenFileForWriting(path);
    if (file == nullptr) {
        return false;
    }
    std::uint64_t offset = 0;
    for (ZipEntry& entry : entries) {
        entry.localHeaderOffset = static_cast<std::uint32_t>(offset);
        if (!WriteBytes(file, LocalHeader(entry)) || !WriteBytes(file, entry.data)) {
            std::fclose(file);
            return false;
        }
        offset += kLocalHeaderSize + entry.name.size() + entry.data.size();
    }

    std::string directory;
    size_t directorySize = 0;
    for (const ZipEntry& entry : entries) {
        directorySize += kCentralHeaderSize + entry.name.size();
    }
    directory.reserve(directorySize);
    for (const ZipEntry& entry : entries) {
        AppendCentralHeader(directory, entry);
    }
    if (!WriteBytes(file, directory)) {
        std::fclose(file);
        return false;
    }

    const bool endWritten = WriteBytes(file, EndRecord(entries.size(), directory.size(), offset));
    const bool closed = std::fclose(file) == 0;
    return endWritten && closed;
}

}  // namespace bcnk
