#pragma once
// A minimal ZIP writer for the package archive: members are stored uncompressed, in one
// pass, with UTF-8 names. No data descriptors, extra fields, comments or ZIP64 records:
// the package is a handful of small text files, and the plainest layout is the one every
// reader accepts.
#include <cstdint>
#include <string>
#include <vector>

#include "common/local_time.h"
#include "common/text.h"

namespace bcnk {

struct ZipEntry {
    std::string name;  // UTF-8, a bare file name: no folder part, no leading slash
    std::string data;  // exactly the bytes written to the file on disk
    std::uint32_t crc32 = 0;
    std::uint32_t localHeaderOffset = 0;  // filled in by WriteZipArchive
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
};

// Appends one member stamped with the current local time.
void AddZipEntry(std::vector<ZipEntry>& entries, const Text& name, const std::string& data);
// The same, taking over the bytes instead of copying them: the package's sitemaps can run
// to many megabytes.
void AddZipEntry(std::vector<ZipEntry>& entries, const Text& name, std::string&& data);

// Writes every member in list order, then the central directory. False on any failure;
// a partly written file is left as it is. An archive too large for the plain format (more
// than 65,535 members, or sizes and offsets beyond 4 GiB) is refused before anything is
// written.
bool WriteZipArchive(std::vector<ZipEntry>& entries, const Text& path);

// The CRC-32 of ZIP and IEEE 802.3 (reflected polynomial 0xEDB88320).
std::uint32_t Crc32(const std::string& data);

// MS-DOS time and date fields; odd seconds round down, the year is kept to its low bits.
std::uint16_t DosTime(const LocalTime& time);
std::uint16_t DosDate(const LocalTime& time);

}  // namespace bcnk
