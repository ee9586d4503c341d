#include "package/zip_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "common/file_system.h"

namespace bcnk {

namespace {

constexpr std::uint16_t kVersion = 20;       // 2.0: stored members
constexpr std::uint16_t kZip64Version = 45;  // 4.5: a member or the directory needs ZIP64
constexpr std::uint16_t kUtf8NamesFlag = 0x0800;
constexpr std::uint16_t kStored = 0;
constexpr std::uint64_t kMax16 = 0xFFFF;
constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;
constexpr size_t kLocalHeaderSize = 30;

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

void Put16(std::string& out, std::uint64_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint64_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, (value >> 16) & 0xFFFF);
}

void Put64(std::string& out, std::uint64_t value) {
    Put32(out, value & kMax32);
    Put32(out, value >> 32);
}




// The end of the archive: when the count, the directory's size or its place outgrow the
// plain record's fields, a ZIP64 record and its locator come first and the plain record
// holds the fields' maximum, which tells readers to look there.
std::string EndRecords(std::uint64_t count, std::uint64_t directorySize,
                       std::uint64_t directoryOffset) {
    std::string out;
    const bool zip64 = count > kMax16 - 1 || directorySize > kMax32 - 1 || directoryOffset > kMax32 - 1;
    if (zip64) {
        const std::uint64_t recordOffset = directoryOffset + directorySize;
        out += "PK\x06\x06";
        Put64(out, 44);  // the record's size after this field
        Put16(out, kZip64Version);
        Put16(out, kZip64Version);
        Put32(out, 0);  // this disk
        Put32(out, 0);  // disk holding the central directory
        Put64(out, count);
        Put64(out, count);
        Put64(out, directorySize);
        Put64(out, directoryOffset);
        out += "PK\x06\x07";
        Put32(out, 0);  // disk holding the ZIP64 record
        Put64(out, recordOffset);
        Put32(out, 1);  // disks in all
    }
    out += "PK\x05\x06";
    Put16(out, 0);  // this disk
    Put16(out, 0);  // disk holding the central directory
    Put16(out, std::min(count, kMax16));
    Put16(out, std::min(count, kMax16));
    Put32(out, std::min(directorySize, kMax32));
    Put32(out, std::min(directoryOffset, kMax32));
    Put16(out, 0);  // comment length
    return out;
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

// The fields the local and the central header share, from "version needed" to the
// extra-field length.
void ZipStream::PutCommonFields(std::string& out, const Member& member, std::uint16_t version,
                                size_t extraLength) {
    Put16(out, version);
    Put16(out, kUtf8NamesFlag);
    Put16(out, kStored);
    Put16(out, member.dosTime);
    Put16(out, member.dosDate);
    Put32(out, member.crc32);
    Put32(out, member.size);  // compressed size
    Put32(out, member.size);  // uncompressed size
    Put16(out, member.name.size());
    Put16(out, extraLength);
}

std::string ZipStream::LocalHeader(const Member& member) {
    std::string out;
    out.reserve(kLocalHeaderSize + member.name.size());
    out += "PK\x03\x04";
    PutCommonFields(out, member, kVersion, 0);
    out += member.name;
    return out;
}

// A member that starts beyond 4 GiB gives its offset in a ZIP64 extra field; members
// themselves are never that large, so their sizes always fit.
void ZipStream::AppendCentralHeader(std::string& out, const Member& member) {
    const bool farAway = member.localHeaderOffset > kMax32;
    const std::uint16_t version = farAway ? kZip64Version : kVersion;
    out += "PK\x01\x02";
    Put16(out, version);  // made by: upper byte 0, MS-DOS attributes
    PutCommonFields(out, member, version, farAway ? 12 : 0);
    Put16(out, 0);  // file comment length
    Put16(out, 0);  // disk number start
    Put16(out, 0);  // internal attributes
    Put32(out, 0);  // external attributes
    Put32(out, farAway ? kMax32 : member.localHeaderOffset);
    out += member.name;
    if (farAway) {
        Put16(out, 0x0001);  // ZIP64 extended information
        Put16(out, 8);
        Put64(out, member.localHeaderOffset);
    }
}

ZipStream::ZipStream(const Text& path) : path_(path), file_(OpenFileForWriting(path)) {
    failed_ = file_ == nullptr;
    const LocalTime now = NowLocal();
    dosTime_ = DosTime(now);
    dosDate_ = DosDate(now);
}

ZipStream::~ZipStream() {
    if (file_ != nullptr) {
        std::fclose(file_);
        std::error_code ignored;  // an archive left unfinished is no archive
        std::filesystem::remove(std::filesystem::path(path_), ignored);
    }
}

bool ZipStream::Write(const std::string& bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        failed_ = true;
    }
    offset_ += bytes.size();
    return !failed_;
}

bool ZipStream::Add(const Text& name, const std::string& data) {
    Member member;
    member.name = WideToUtf8(name);
    member.crc32 = Crc32(data);
    member.dosTime = dosTime_;
    member.dosDate = dosDate_;
    return AddMember(std::move(member), data);
}

bool ZipStream::Add(ZipEntry& entry) {
    entry.localHeaderOffset = offset_;
    return AddMember({entry.name, entry.crc32, 0, 0, entry.dosTime, entry.dosDate}, entry.data);
}

bool ZipStream::AddMember(Member member, const std::string& data) {
    if (file_ == nullptr || failed_ || member.name.size() > kMax16 || data.size() >= kMax32) {
        failed_ = true;
        return false;
    }
    member.size = data.size();
    member.localHeaderOffset = offset_;
    if (!Write(LocalHeader(member)) || !Write(data)) {
        return false;
    }
    members_.push_back(std::move(member));
    return true;
}

bool ZipStream::Finish() {
    if (file_ == nullptr || failed_) {
        return false;
    }
    const std::uint64_t directoryOffset = offset_;
    std::string directory;
    for (const Member& member : members_) {
        AppendCentralHeader(directory, member);
        if (directory.size() >= (1u << 20)) {  // written in pieces, as it may be large
            if (!Write(directory)) {
                return false;
            }
            directory.clear();
        }
    }
    if (!Write(directory)) {
        return false;
    }
    const bool written = Write(EndRecords(members_.size(), offset_ - directoryOffset, directoryOffset));
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(path_), ignored);
        return false;
    }
    return true;
}

bool WriteZipArchive(std::vector<ZipEntry>& entries, const Text& path) {
    ZipStream zip(path);
    for (ZipEntry& entry : entries) {
        if (!zip.Add(entry)) {
            return false;
        }
    }
    return zip.Finish();
}

}  // namespace bcnk
