#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "core/archive.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/test_support.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

const Text kName = kVehicleListName;
const Text kNameField = kName + Text(1, '\0');

// Bytes 0, 1, 2, ... so every position is recognisable.
Text Counting(std::size_t size) {
    Text bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

class ArchiveScan : public ::testing::Test {
protected:
    Text Scan(const Text& archiveBytes) {
        EXPECT_TRUE(WriteWholeFile(archive_, archiveBytes));
        return ScanPath(archive_);
    }
    Text ScanPath(const Text& path) {
        const Result<VehicleListRead> list = ReadVehicleList(PlatformFileSystem(), path, location_);
        outcome_ = list ? list->problem : list.Why();
        return list ? list->bytes : Text();
    }

    test::TempFolder folder_;
    Text archive_ = folder_.Path("common.pak");
    ArchiveLocation location_;
    Outcome outcome_;
};

TEST_F(ArchiveScan, MatchInSecondRecordUsesTheDataAreaAfterAllRecords) {
    const Text data = Counting(400);
    const Text bytes = EncodeInt32(2) + EncodeRecord("Data\\Other.txt", 0, 10) +
                       EncodeRecord(kNameField, 300, 80) + data;
    ASSERT_EQ(bytes.size(), 220u + 400u);
    EXPECT_EQ(Scan(bytes), bytes.substr(520, 80));
    EXPECT_EQ(location_.position, 521);
    EXPECT_EQ(location_.size, 80);
    EXPECT_EQ(outcome_.reason, Reason::Done);
}

TEST_F(ArchiveScan, PositionCountsEveryRecordNotJustThoseBeforeTheMatch) {
    Text bytes = EncodeInt32(5) + EncodeRecord(kNameField, 7, 3);
    for (int i = 1; i < 5; ++i) bytes += EncodeRecord("Data\\X" + DecimalText(i), 0, 1);
    bytes += "0123456789abc";
    EXPECT_EQ(Scan(bytes), "789");
    EXPECT_EQ(location_.position, 4 + 540 + 7 + 1);
    EXPECT_EQ(location_.size, 3);
}

TEST_F(ArchiveScan, NameEndsAtItsFirstNul) {
    const Text field = kNameField + "trailing garbage";
    EXPECT_EQ(Scan(EncodeInt32(1) + EncodeRecord(field, 0, 4) + "abcd"), "abcd");
}

TEST_F(ArchiveScan, NearMissNamesNeverMatch) {
    const Text nearMisses[] = {
        "data\\veh\\vehicles.dat",
        "Data/Veh/Vehicles.dat",
        kName + " ",
        "Data\\Veh\\Vehicles.da",
        "\\" + kName,
        kName + Text(100, 'x'),  // fills the field: no NUL within its 100 bytes
    };
    for (const Text& name : nearMisses) {
        location_ = ArchiveLocation{};
        EXPECT_EQ(Scan(EncodeInt32(1) + EncodeRecord(name, 0, 4) + "abcd"), "") << name;
        EXPECT_EQ(outcome_.reason, Reason::NoVehicleList) << name;
        EXPECT_EQ(location_.position, 0) << name;
        EXPECT_EQ(location_.size, 0) << name;
    }
}

TEST_F(ArchiveScan, FirstOfTwoMatchingRecordsWins) {
    const Text bytes = EncodeInt32(2) + EncodeRecord(kNameField, 0, 2) +
                       EncodeRecord(kNameField, 2, 3) + "abXYZ";
    EXPECT_EQ(Scan(bytes), "ab");
    EXPECT_EQ(location_.size, 2);
}

TEST_F(ArchiveScan, NothingFoundLeavesTheLocationAsItWas) {
    const Text matchAfterCount = EncodeRecord(kNameField, 0, 4) + "abcd";
    const Text archives[] = {
        EncodeInt32(0) + matchAfterCount,
        EncodeInt32(-1) + matchAfterCount,
        EncodeInt32(std::numeric_limits<std::int32_t>::min()) + matchAfterCount,
        Text("\x01\x00", 2),  // count 1 from two bytes; its record reads as zeros
        Text(),
        EncodeInt32(3) + EncodeRecord("Data\\A", 0, 1),  // later records lie past the end
    };
    for (const Text& bytes : archives) {
        location_ = ArchiveLocation{"unused", 17, 9};
        EXPECT_EQ(Scan(bytes), "");
        EXPECT_EQ(outcome_.reason, Reason::NoVehicleList);
        EXPECT_EQ(location_.position, 17);
        EXPECT_EQ(location_.size, 9);
    }
}

TEST_F(ArchiveScan, EntryRunningPastTheEndIsPaddedWithNulsAndDamaged) {
    const Text bytes = EncodeInt32(1) + EncodeRecord(kNameField, 0, 10) + "abcd";
    EXPECT_EQ(Scan(bytes), Text("abcd\0\0\0\0\0\0", 10));
    EXPECT_EQ(location_.size, 10);
    EXPECT_EQ(outcome_.reason, Reason::EntryDamaged);
}

TEST_F(ArchiveScan, NameFieldCutByTheEndOfFileStillMatches) {
    const Text bytes = EncodeInt32(1) + kName;
    EXPECT_EQ(Scan(bytes), "");
    EXPECT_EQ(location_.position, 4 + 108 + 1);
    EXPECT_EQ(location_.size, 0);
}

TEST_F(ArchiveScan, UnusableSizeOrPositionIsRememberedWithItsReason) {
    struct Case {
        std::int32_t count, offset, size, position;
        Reason reason;
        Text text;  // what a damaged entry's position still lets the scan read
    };
    const std::int32_t max = std::numeric_limits<std::int32_t>::max();
    const Text directory = EncodeInt32(1) + EncodeRecord(kNameField, -12, 4);
    const Case cases[] = {
        {1, 0, 0, 113, Reason::NoVehicleList, ""},   // empty entry
        {1, 0, -5, 113, Reason::EntryDamaged, ""},   // negative size
        {1, 0, kMaxVehicleListBytes + 1, 113, Reason::EntryTooLarge, ""},
        {1, -200, 4, 113 - 200, Reason::EntryDamaged, ""},  // before the file's first byte
        {1, -12, 4, 101, Reason::EntryDamaged, directory.substr(100, 4)},  // inside the directory
        {1, -1, 4, 112, Reason::EntryDamaged, directory.substr(111, 1) + "abc"},
        {max, max, 4, 0, Reason::EntryDamaged, ""},  // beyond 32 bits: remembered as unusable
    };
    for (const Case& c : cases) {
        location_ = ArchiveLocation{};
        EXPECT_EQ(Scan(EncodeInt32(c.count) + EncodeRecord(kNameField, c.offset, c.size) + "abcd"),
                  c.text) << c.offset << "/" << c.size;
        EXPECT_EQ(outcome_.reason, c.reason) << c.offset << "/" << c.size;
        EXPECT_EQ(location_.position, c.position);
        EXPECT_EQ(location_.size, c.size);
    }
}

TEST_F(ArchiveScan, PathsOpenAsThePlatformTakesThemAndNoOtherFile) {
    // Windows's 8-bit calls would read wildcards, or cut a long path: another
    // file. On POSIX systems such a name is just a name.
#ifdef _WIN32
    const Reason legalElsewhere = Reason::CannotOpen;
#else
    const Reason legalElsewhere = Reason::Done;
#endif
    Text longFolder = folder_.Path("");
    while (longFolder.size() < 300) longFolder += Text(60, 'f') + "/";
    const std::pair<Text, Reason> paths[] = {
        {"", Reason::CannotOpen},
        {archive_ + Text(1, '\0') + "x", Reason::CannotOpen},
        {folder_.Path("co?mon*.pak"), legalElsewhere},
        {longFolder + "common.pak", legalElsewhere},
    };
    for (const auto& [path, reason] : paths) {
        SCOPED_TRACE(path);
        if (reason == Reason::Done) {
            std::filesystem::create_directories(std::filesystem::path(path.c_str()).parent_path());
            ASSERT_TRUE(WriteWholeFile(path, DemoArchive()));
        }
        location_ = ArchiveLocation{};
        EXPECT_EQ(ScanPath(path), reason == Reason::Done ? DemoVehicleList() : "");
        EXPECT_EQ(outcome_.reason, reason);
    }
}

TEST_F(ArchiveScan, DirectoryLongerThanOneReadAheadIsReadWhole) {
    // Records straddle the read-ahead buffer's edges; the match is the last.
    for (int records : {607, 1000}) {
        std::vector<ArchiveEntry> entries;
        for (int i = 0; i + 1 < records; ++i)
            entries.push_back({"Data\\X" + DecimalText(i), "x"});
        entries.push_back({kName, "the list"});
        location_ = ArchiveLocation{};
        EXPECT_EQ(Scan(BuildArchive(entries)), "the list") << records;
        EXPECT_EQ(location_.position, 4 + 108 * records + (records - 1) + 1);
    }
}

TEST_F(ArchiveScan, NameEndingExactlyAtTheReadAheadEdgeMatches) {
    // The name ends where one read ahead ends; the offset and size after it
    // come with the next.
    int match = 0;
    while ((kEntryCountBytes + kRecordBytes * match + kNameFieldBytes) % kDirectoryReadAheadBytes != 0)
        ASSERT_LT(++match, 100000);
    std::vector<ArchiveEntry> entries;
    for (int i = 0; i < match; ++i) entries.push_back({"Data\\X" + DecimalText(i), "x"});
    entries.push_back({kName, "the list"});
    // Enough bytes after it that the refill overwrites the whole buffer.
    entries.push_back({"Data\\After", Text(kDirectoryReadAheadBytes, 'y')});
    EXPECT_EQ(Scan(BuildArchive(entries)), "the list");
    EXPECT_EQ(location_.size, 8);
}

TEST_F(ArchiveScan, DemoArchiveHoldsTheDemoList) {
    EXPECT_EQ(Scan(DemoArchive()), DemoVehicleList());
}

// The search tells the game's archive from other games' by its directory.
// Another format's large file claims any count: it costs one read ahead.
TEST(ArchiveSearch, AFileOfAnotherFormatCostsOneReadAhead) {
    const Text farOut = EncodeRecord("Data\\A", 1 << 30, 5);
    const std::pair<Text, bool> files[] = {
        {DemoArchive(), true},
        {Text(4 << 20, 'x'), false},                                   // a count that cannot fit
        {EncodeInt32(30000) + farOut + Text(4 << 20, '\0'), false},   // fits; its first record points outside
    };
    for (const auto& [bytes, isTheGames] : files) {
        test::MemoryFileSystem memory;
        memory.files["x.pak"] = bytes;
        EXPECT_EQ(NamesVehicleList(memory, "x.pak"), isTheGames);
        int reads = 0;
        for (const auto& step : memory.Log()) reads += step.step == test::FileStep::Read;
        EXPECT_EQ(reads, 1) << bytes.size();
    }
}

}  // namespace
}  // namespace tolvaren
