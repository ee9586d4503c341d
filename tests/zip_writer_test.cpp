#include "package/zip_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace bcnk {
namespace {

std::uint32_t Read16(const std::string& bytes, size_t offset) {
    return static_cast<unsigned char>(bytes.at(offset)) |
           (static_cast<unsigned char>(bytes.at(offset + 1)) << 8);
}

std::uint32_t Read32(const std::string& bytes, size_t offset) {
    return Read16(bytes, offset) | (Read16(bytes, offset + 2) << 16);
}

std::string Le16(std::uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string Le32(std::uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }

// Writes the entries to a fresh file and returns the archive's bytes.
std::string ArchiveBytes(std::vector<ZipEntry>& entries) {
    test::TempDir dir;
    const Text path = dir.File(u"out.zip");
    EXPECT_TRUE(WriteZipArchive(entries, path));
    return test::ReadFileBytes(std::filesystem::path(path));
}

TEST(Crc32, MatchesKnownChecksums) {
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32("abc"), 0x352441C2u);
    EXPECT_EQ(Crc32(std::string("\0\xff", 2)), Crc32(std::string("\0\xff", 2)));
    EXPECT_NE(Crc32(std::string("\0", 1)), Crc32(std::string("\0\0", 2)));
}

TEST(DosStamp, PacksLocalTime) {
    struct Row {
        LocalTime time;
        std::uint16_t dosTime;
        std::uint16_t dosDate;
    };
    const std::vector<Row> rows = {
        {{2026, 12, 31, 23, 59, 59, 999}, 0xBF7D, 0x5D9F},
        {{1980, 1, 1, 0, 0, 0, 0}, 0x0000, 0x0021},
        {{1980, 1, 1, 0, 0, 1, 0}, 0x0000, 0x0021},  // odd seconds round down
        {{2000, 2, 29, 12, 30, 42, 0}, 0x63D5, 0x285D},
        {{2107, 12, 31, 0, 0, 0, 0}, 0x0000, 0xFF9F},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DosTime(row.time), row.dosTime) << row.time.hour << ":" << row.time.minute;
        EXPECT_EQ(DosDate(row.time), row.dosDate) << row.time.year;
    }
}

TEST(AddZipEntry, StampsNowAndEncodesNameAsUtf8) {
    std::vector<ZipEntry> entries;
    const LocalTime before = NowLocal();
    AddZipEntry(entries, u"caf\u00E9-\U0001F600.txt", "abc");
    const LocalTime after = NowLocal();
    ASSERT_EQ(entries.size(), 1u);
    const ZipEntry& entry = entries[0];
    EXPECT_EQ(entry.name, "caf\xC3\xA9-\xF0\x9F\x98\x80.txt");
    EXPECT_EQ(entry.data, "abc");
    EXPECT_EQ(entry.crc32, 0x352441C2u);
    EXPECT_EQ(entry.localHeaderOffset, 0u);
    const auto stamp = [](std::uint16_t date, std::uint16_t time) {
        return (static_cast<std::uint32_t>(date) << 16) | time;
    };
    EXPECT_GE(stamp(entry.dosDate, entry.dosTime), stamp(DosDate(before), DosTime(before)));
    EXPECT_LE(stamp(entry.dosDate, entry.dosTime), stamp(DosDate(after), DosTime(after)));
}

TEST(WriteZipArchive, OneMemberHasExactLayout) {
    std::vector<ZipEntry> entries;
    AddZipEntry(entries, u"a.txt", "abc");
    entries[0].dosTime = 0xBF7D;
    entries[0].dosDate = 0x5D9F;
    const std::string common = Le16(20) + Le16(0x0800) + Le16(0) + Le16(0xBF7D) +
                               Le16(0x5D9F) + Le32(0x352441C2) + Le32(3) + Le32(3) + Le16(5) +
                               Le16(0);
    const std::string local = std::string("PK\x03\x04") + common + "a.txt" + "abc";
    const std::string central = std::string("PK\x01\x02") + Le16(20) + common + Le16(0) +
                                Le16(0) + Le16(0) + Le32(0) + Le32(0) + "a.txt";
    const std::string end = std::string("PK\x05\x06") + Le16(0) + Le16(0) + Le16(1) + Le16(1) +
                            Le32(51) + Le32(38) + Le16(0);

    const std::string bytes = ArchiveBytes(entries);
    EXPECT_EQ(bytes.size(), 111u);
    EXPECT_EQ(bytes, local + central + end);
}

TEST(WriteZipArchive, EmptyListIsEndRecordAlone) {
    std::vector<ZipEntry> entries;
    EXPECT_EQ(ArchiveBytes(entries), std::string("PK\x05\x06") + std::string(18, '\0'));
}

TEST(WriteZipArchive, SeveralMembersGetTheirOffsetsAndDirectory) {
    const std::vector<std::pair<Text, std::string>> members = {
        {u"README.txt", "line one\nline two\n"},
        {u"empty.txt", ""},
        {u"\u00FCber-\u65E5\u672C.json", std::string("{\"k\":\"\0\xff\"}", 11)},
    };
    std::vector<ZipEntry> entries;
    for (const auto& [name, data] : members) {
        AddZipEntry(entries, name, data);
    }
    const std::string bytes = ArchiveBytes(entries);

    // Walk the archive the way a reader does: from the end record to the directory, and
    // from each directory header to its local header and data.
    ASSERT_GE(bytes.size(), 22u);
    const size_t end = bytes.size() - 22;
    ASSERT_EQ(Read32(bytes, end), 0x06054B50u);
    EXPECT_EQ(Read16(bytes, end + 8), members.size());
    EXPECT_EQ(Read16(bytes, end + 10), members.size());
    const size_t directoryOffset = Read32(bytes, end + 16);
    EXPECT_EQ(directoryOffset + Read32(bytes, end + 12), end);

    size_t central = directoryOffset;
    size_t expectedLocal = 0;
    for (size_t index = 0; index < members.size(); ++index) {
        const ZipEntry& entry = entries[index];
        SCOPED_TRACE(entry.name);
        ASSERT_EQ(Read32(bytes, central), 0x02014B50u);
        EXPECT_EQ(Read16(bytes, central + 8), 0x0800u);
        EXPECT_EQ(Read32(bytes, central + 16), Crc32(members[index].second));
        EXPECT_EQ(Read32(bytes, central + 20), members[index].second.size());
        const size_t nameLength = Read16(bytes, central + 28);
        EXPECT_EQ(bytes.substr(central + 46, nameLength), WideToUtf8(members[index].first));
        const size_t local = Read32(bytes, central + 42);
        EXPECT_EQ(local, expectedLocal);
        EXPECT_EQ(entry.localHeaderOffset, expectedLocal);

        ASSERT_EQ(Read32(bytes, local), 0x04034B50u);
        EXPECT_EQ(bytes.substr(local + 4, 26), bytes.substr(central + 6, 26));
        EXPECT_EQ(bytes.substr(local + 30 + nameLength, members[index].second.size()),
                  members[index].second);
        expectedLocal = local + 30 + nameLength + members[index].second.size();
        central += 46 + nameLength;
    }
    EXPECT_EQ(expectedLocal, directoryOffset);
    EXPECT_EQ(central, end);
    EXPECT_EQ(Read32(bytes, entries[1].localHeaderOffset + 14), 0u);  // the empty member's CRC
}

TEST(WriteZipArchive, RewritingReplacesTheWholeFile) {
    test::TempDir dir;
    const Text path = dir.File(u"package.zip");
    test::WriteFileBytes(std::filesystem::path(path), std::string(4096, 'x'));
    std::vector<ZipEntry> entries;
    EXPECT_TRUE(WriteZipArchive(entries, path));
    EXPECT_EQ(test::ReadFileBytes(std::filesystem::path(path)).size(), 22u);
}

TEST(WriteZipArchive, UnwritablePathFailsAndCreatesNothing) {
    test::TempDir dir;
    std::vector<ZipEntry> entries;
    AddZipEntry(entries, u"a.txt", "abc");
    EXPECT_FALSE(WriteZipArchive(entries, dir.File(u"missing") + u"/x.zip"));
    EXPECT_FALSE(WriteZipArchive(entries, dir.text()));  // a directory, not a file
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace bcnk
