#include "package/zip_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/zip_reader.h"

namespace bcnk {
namespace {

std::string Le16(std::uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string Le32(std::uint32_t value) {
    return Le16(value & 0xFFFF) + Le16(value >> 16);
}

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
    EXPECT_EQ(Crc32(std::string("\0", 1)), 0xD202EF8Du);
    std::string everyByte;
    for (int value = 0; value < 256; ++value) {
        everyByte += static_cast<char>(value);
    }
    EXPECT_EQ(Crc32(everyByte), 0x29058C73u);
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
    const std::string common = Le16(20) + Le16(0x0800) + Le16(0) + Le16(0xBF7D) + Le16(0x5D9F) +
                               Le32(0x352441C2) + Le32(3) + Le32(3) + Le16(5) + Le16(0);
    const std::string local = std::string("PK\x03\x04") + common + "a.txt" + "abc";
    const std::string central = std::string("PK\x01\x02") + Le16(20) + common + Le16(0) + Le16(0) +
                                Le16(0) + Le32(0) + Le32(0) + "a.txt";
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

    std::vector<test::StoredMember> expected;
    std::uint32_t offset = 0;
    for (const auto& [name, data] : members) {
        const std::string utf8Name = WideToUtf8(name);
        expected.push_back({utf8Name, data, Crc32(data), 0x0800, offset});
        offset += static_cast<std::uint32_t>(30 + utf8Name.size() + data.size());
    }
    EXPECT_EQ(test::ReadStoredArchive(bytes), expected);
    EXPECT_EQ(expected[1].crc32, 0u);
    for (size_t index = 0; index < entries.size(); ++index) {
        EXPECT_EQ(entries[index].localHeaderOffset, expected[index].localHeaderOffset);
    }
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

// 0xFFFF itself tells readers to look for the ZIP64 record, so the plain record counts up
// to 0xFFFE; beyond, the ZIP64 end record and its locator hold the true figures.
TEST(WriteZipArchive, MoreMembersThanThePlainRecordCountsGetZip64Records) {
    test::TempDir dir;
    std::vector<ZipEntry> entries(0xFFFE);
    ASSERT_TRUE(WriteZipArchive(entries, dir.File(u"plain.zip")));
    const std::string plain = test::ReadFileBytes(dir.path() / "plain.zip");
    EXPECT_EQ(test::ReadLe16(plain, plain.size() - 12), 0xFFFEu);
    EXPECT_EQ(plain.find("PK\x06\x06"), std::string::npos);

    entries.resize(0x10001);
    ASSERT_TRUE(WriteZipArchive(entries, dir.File(u"many.zip")));
    const std::string many = test::ReadFileBytes(dir.path() / "many.zip");
    const size_t end = many.size() - 22;
    const size_t locator = end - 20;
    const size_t record = locator - 56;
    EXPECT_EQ(many.substr(end, 4), "PK\x05\x06");
    EXPECT_EQ(test::ReadLe16(many, end + 10), 0xFFFFu);
    EXPECT_EQ(many.substr(locator, 4), "PK\x06\x07");
    EXPECT_EQ(test::ReadLe32(many, locator + 8), record);
    EXPECT_EQ(many.substr(record, 4), "PK\x06\x06");
    EXPECT_EQ(test::ReadLe32(many, record + 32), 0x10001u);  // members in all
    EXPECT_EQ(test::ReadLe32(many, record + 48), 0x10001u * 30);  // the directory's place
}

}  // namespace
}  // namespace bcnk
