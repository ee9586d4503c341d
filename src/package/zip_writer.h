#pragma once
// A minimal ZIP writer for the package archive: members are stored uncompressed, in one
// pass, with UTF-8 names. No data descriptors or comments, and ZIP64 records only when an
// archive outgrows the plain format (a twin for each of 100,000 pages): the plainest layout
// is the one every reader accepts.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/local_time.h"
#include "common/text.h"

namespace bcnk {

struct ZipEntry {
    std::string name;  // UTF-8, a bare file name: no folder part, no leading slash
    std::string data;  // exactly the bytes written to the file on disk
    std::uint32_t crc32 = 0;
    std::uint64_t localHeaderOffset = 0;  // filled in by WriteZipArchive
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
};

// Appends one member stamped with the current local time.
void AddZipEntry(std::vector<ZipEntry>& entries, const Text& name, const std::string& data);
// The same, taking over the bytes instead of copying them: the package's sitemaps can run
// to many megabytes.
void AddZipEntry(std::vector<ZipEntry>& entries, const Text& name, std::string&& data);

// Writes every member in list order, then the central directory. False on any failure, and
// then no file is left. A member of 4 GiB or more is refused.
bool WriteZipArchive(std::vector<ZipEntry>& entries, const Text& path);

// The same one member at a time, for archives too large to hold in memory: only the central
// directory's records are kept until Finish().
class ZipStream {
public:
    explicit ZipStream(const Text& path);
    ~ZipStream();  // an archive not finished is removed
    ZipStream(const ZipStream&) = delete;
    ZipStream& operator=(const ZipStream&) = delete;

    // Stamps the member with the time the stream was opened.
    bool Add(const Text& name, const std::string& data);
    // `entry` gives the name, checksum and stamp; its offset is filled in.
    bool Add(ZipEntry& entry);
    // Writes the central directory and closes the file; false on this or any earlier failure.
    bool Finish();

private:
    struct Member {
        std::string name;
        std::uint32_t crc32 = 0;
        std::uint64_t size = 0;
        std::uint64_t localHeaderOffset = 0;
        std::uint16_t dosTime = 0;
        std::uint16_t dosDate = 0;
    };
    bool AddMember(Member member, const std::string& data);
    bool Write(const std::string& bytes);
    static void AppendCentralHeader(std::string& out, const Member& member);
    static std::string LocalHeader(const Member& member);
    static void PutCommonFields(std::string& out, const Member& member, std::uint16_t version,
                                size_t extraLength);

    Text path_;
    std::FILE* file_ = nullptr;
    std::vector<Member> members_;
    std::uint64_t offset_ = 0;
    bool failed_ = false;
    std::uint16_t dosTime_ = 0;
    std::uint16_t dosDate_ = 0;
};

// The CRC-32 of ZIP and IEEE 802.3 (reflected polynomial 0xEDB88320).
std::uint32_t Crc32(const std::string& data);

// MS-DOS time and date fields; odd seconds round down, the year is kept to its low bits.
std::uint16_t DosTime(const LocalTime& time);
std::uint16_t DosDate(const LocalTime& time);

}  // namespace bcnk
