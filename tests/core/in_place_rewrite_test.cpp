#include <gtest/gtest.h>

#include "core/in_place_rewrite.h"
#include "core/vehicle_list.h"
#include "tests/support/test_support.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

const Text kDisabledList =
    ";[Team KTM]\r\n;logo=red\r\n;Sub=2\r\n;LOGO=big\r\n[Yamaha]\r\nlogo=tan\r\nmodel=a logo=b";

Text ArchiveAround(const Text& vehicleList) {
    return BuildArchive({{"Data\\Before.txt", "before;logo=x"},
                         {kVehicleListName, vehicleList},
                         {"Data\\After.txt", ";[KTM after"}});
}

class InPlaceRewrite : public ::testing::Test {
protected:
    void SetUp() override {
        original_ = ArchiveAround(kDisabledList);
        ASSERT_TRUE(WriteWholeFile(archive_, original_));
        location_.path = archive_;
        ASSERT_EQ(Scan(), kDisabledList);
    }

    Text Scan() {
        location_ = ArchiveLocation{archive_};
        const Result<VehicleListRead> list = ReadVehicleList(PlatformFileSystem(), archive_, location_);
        return list ? list->bytes : Text();
    }
    Reason Switch(std::int32_t state, FileSystem& files = PlatformFileSystem()) {
        return RewriteVehicleList(files, location_, state).Why().reason;
    }
    Text OnDisk() const { return ReadWholeFile(archive_); }

    test::TempFolder folder_;
    Text archive_ = folder_.Path("common.pak");
    Text original_;
    ArchiveLocation location_;
};

TEST_F(InPlaceRewrite, EnableThenDisableChangesOnlyTheEntryInPlace) {
    std::int32_t requested = 1;
    EXPECT_EQ(RewriteVehicleList(PlatformFileSystem(), location_, requested).Why().reason, Reason::Done);
    EXPECT_EQ(requested, 1);
    EXPECT_EQ(OnDisk(), ArchiveAround(SwitchVehicleKeys(kDisabledList, 1)));

    requested = 0;
    EXPECT_EQ(RewriteVehicleList(PlatformFileSystem(), location_, requested).Why().reason, Reason::Done);
    EXPECT_EQ(requested, 0);
    EXPECT_EQ(OnDisk(), ArchiveAround(SwitchVehicleKeys(SwitchVehicleKeys(kDisabledList, 1), 0)));
}

TEST_F(InPlaceRewrite, SwitchingTheSameWayTwiceEqualsOnce) {
    for (std::int32_t state : {1, 0}) {
        ASSERT_EQ(Switch(state), Reason::Done);
        const Text once = OnDisk();
        EXPECT_EQ(Switch(state), Reason::Done);
        EXPECT_EQ(OnDisk(), once) << "state " << state;
    }
}

TEST_F(InPlaceRewrite, RewriteReadsTheEntryAfreshNotTheScannedText) {
    const Text enabledElsewhere = ArchiveAround(SwitchVehicleKeys(kDisabledList, 1));
    ASSERT_TRUE(WriteWholeFile(archive_, enabledElsewhere));
    EXPECT_EQ(Switch(1), Reason::Done);
    EXPECT_EQ(OnDisk(), enabledElsewhere);
}

TEST_F(InPlaceRewrite, TheDirectoryDecidesWhereToWriteNotWhatWasRemembered) {
    const ArchiveLocation stale[] = {
        {archive_, 0, 0}, {archive_, 50, -3}, {archive_, 1, 10}, {archive_, 50, kMaxVehicleListBytes + 1},
    };
    const ArchiveLocation found = location_;
    for (const ArchiveLocation& remembered : stale) {
        ASSERT_TRUE(WriteWholeFile(archive_, original_));
        ArchiveLocation location = remembered;
        EXPECT_EQ(RewriteVehicleList(PlatformFileSystem(), location, 1).Why().reason, Reason::Done);
        EXPECT_EQ(OnDisk(), ArchiveAround(SwitchVehicleKeys(kDisabledList, 1)));
        EXPECT_EQ(location.position, found.position);
        EXPECT_EQ(location.size, found.size);
    }
}

TEST_F(InPlaceRewrite, DisableThatWouldLeaveTheListEnabledWritesNothing) {
    const Text unprefixedMarkers[] = {
        "[Team KTM]\r\n logo=red\r\n",   // the marker starts the list
        "x\r\n[Team KTM]\r\n Sub=1",      // ... or a line
        "x\t[Team KTM]\r\n Sub=1",         // ... or follows a tab
        " logo=a\r\n Sub=2\r\n",          // no marker at all
    };
    for (const Text& list : unprefixedMarkers) {
        const Text archive = ArchiveAround(list);
        ASSERT_TRUE(WriteWholeFile(archive_, archive));
        ASSERT_EQ(Scan(), list);
        EXPECT_EQ(Switch(0), Reason::CannotDisable) << list;
        EXPECT_EQ(OnDisk(), archive) << list;
        EXPECT_EQ(Switch(1), Reason::Done) << list;  // enabling is always reached
    }
}

TEST_F(InPlaceRewrite, ShrunkenArchiveIsNeverLengthened) {
    const std::size_t entryEnd = location_.position - 1 + location_.size;
    for (std::size_t cut : {entryEnd - 1, static_cast<std::size_t>(location_.position)}) {
        const Text truncated = original_.substr(0, cut);
        ASSERT_TRUE(WriteWholeFile(archive_, truncated));
        EXPECT_EQ(Switch(1), Reason::EntryDamaged);
        EXPECT_EQ(OnDisk(), truncated);
    }
}

TEST_F(InPlaceRewrite, ArchiveTruncatedBeforeTheScanIsPaddedButNotWritten) {
    const Text truncated = original_.substr(0, location_.position + 10);
    ASSERT_TRUE(WriteWholeFile(archive_, truncated));
    EXPECT_EQ(Scan(), kDisabledList.substr(0, 11) + Text(kDisabledList.size() - 11, '\0'));
    EXPECT_EQ(Switch(1), Reason::EntryDamaged);
    EXPECT_EQ(OnDisk(), truncated);
}

TEST_F(InPlaceRewrite, ReadOnlyAccessIsRefusedAsSuch) {
    test::ReadOnlyFileSystem readOnly(PlatformFileSystem());
    EXPECT_EQ(Switch(1, readOnly), Reason::AccessDenied);
    EXPECT_EQ(OnDisk(), original_);
}

}  // namespace
}  // namespace tolvaren
