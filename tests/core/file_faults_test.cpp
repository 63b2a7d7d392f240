// Every step of the file layer failing in turn: the archive changes only
// when the whole entry was written back, and the outcome says which step
// stopped it.
#include <gtest/gtest.h>

#include <set>

#include "core/in_place_rewrite.h"
#include "core/vehicle_list.h"
#include "tests/support/memory_file_system.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

using test::FileStep;
using test::MemoryFileSystem;

const char* Name(FileStep step) {
    switch (step) {
        case FileStep::Open: return "open";
        case FileStep::Seek: return "seek";
        case FileStep::Read: return "read";
        case FileStep::ShortRead: return "short read";
        case FileStep::Write: return "write";
        case FileStep::ShortWrite: return "short write";
    }
    return "?";
}

Text DemoArchiveEnabled() {
    Text enabled = DemoArchive();
    enabled.replace(enabled.find(DemoVehicleList()), DemoVehicleList().size(),
                    SwitchVehicleKeys(DemoVehicleList(), 1));
    return enabled;
}

ArchiveLocation ScannedDemoLocation() {
    MemoryFileSystem files;
    files.files["common.pak"] = DemoArchive();
    ArchiveLocation location{"common.pak"};
    EXPECT_EQ(ReadVehicleList(files, location.path, location).vehicleList, DemoVehicleList());
    return location;
}

TEST(FileFaults, EveryFailedStepLeavesTheArchiveUnchangedAndSaysWhere) {
    const Text archive = DemoArchive();
    const ArchiveLocation location = ScannedDemoLocation();
    // What a failure of each step may be reported as.
    const std::pair<FileStep, std::set<Reason>> steps[] = {
        {FileStep::Open, {Reason::CannotOpen}},
        {FileStep::Seek, {Reason::EntryDamaged, Reason::WriteFailedPutBack}},
        {FileStep::Read, {Reason::EntryDamaged}},
        {FileStep::ShortRead, {}},  // no failure: reading goes on where it stopped
        {FileStep::Write, {Reason::WriteFailedPutBack}},
        {FileStep::ShortWrite, {Reason::WriteFailedPutBack}},
    };
    int faultsThatMattered = 0;
    for (const auto& [step, reasons] : steps) {
        for (int occurrence = 1; occurrence <= 4; ++occurrence) {
            SCOPED_TRACE(std::string(Name(step)) + " #" + std::to_string(occurrence));
            MemoryFileSystem faulty;
            faulty.files["common.pak"] = archive;
            faulty.Inject({step, occurrence});
            const Outcome outcome = RewriteVehicleList(faulty, location, 1);
            const Text& after = faulty.files["common.pak"];
            ASSERT_EQ(after.size(), archive.size());

            bool failedYet = false;
            for (const auto& entry : faulty.Log()) {
                if (failedYet && entry.step == FileStep::Write) {
                    // Only putting back what a short write may have changed.
                    EXPECT_FALSE(entry.failed);
                    EXPECT_EQ(entry.bytesWritten, DemoVehicleList().substr(0, entry.bytesWritten.size()));
                }
                failedYet = failedYet || entry.failed || entry.step == FileStep::ShortWrite;
            }
            if (!failedYet) {
                EXPECT_EQ(outcome.reason, Reason::Done);
                EXPECT_EQ(after, DemoArchiveEnabled());
                continue;
            }
            ++faultsThatMattered;
            EXPECT_EQ(reasons.count(outcome.reason), 1u) << static_cast<int>(outcome.reason);
            EXPECT_EQ(after, archive);
        }
    }
    EXPECT_GE(faultsThatMattered, 6);  // open, both seeks, read, write and short write
}

TEST(FileFaults, WriteThatCannotBePutBackSaysSoAndTheSameSwitchFinishesIt) {
    const ArchiveLocation location = ScannedDemoLocation();
    MemoryFileSystem faulty;
    faulty.files["common.pak"] = DemoArchive();
    faulty.Inject({FileStep::ShortWrite, 1});
    faulty.Inject({FileStep::Write, 2});  // the put-back
    EXPECT_EQ(RewriteVehicleList(faulty, location, 1).reason, Reason::WriteFailedNotPutBack);
    const Text halfWritten = faulty.files["common.pak"];
    EXPECT_NE(halfWritten, DemoArchive());
    EXPECT_NE(halfWritten, DemoArchiveEnabled());

    MemoryFileSystem healthy;
    healthy.files = faulty.files;
    EXPECT_EQ(RewriteVehicleList(healthy, location, 1).reason, Reason::Done);
    EXPECT_EQ(healthy.files["common.pak"], DemoArchiveEnabled());
}

TEST(FileFaults, ScanUnderAnyFaultNeverWritesOrCrashes) {
    const FileStep steps[] = {FileStep::Open, FileStep::Seek, FileStep::Read, FileStep::ShortRead};
    for (FileStep step : steps) {
        for (int occurrence = 1; occurrence <= 12; ++occurrence) {
            MemoryFileSystem files;
            files.files["common.pak"] = DemoArchive();
            files.Inject({step, occurrence});
            ArchiveLocation location{"common.pak"};
            const ScanResult scan = ReadVehicleList(files, location.path, location);
            if (scan.outcome.Done()) {
                EXPECT_EQ(scan.vehicleList.size(), static_cast<std::size_t>(location.size));
            }
            EXPECT_EQ(files.files["common.pak"], DemoArchive());
            for (const auto& entry : files.Log()) EXPECT_NE(entry.step, FileStep::Write);
        }
    }
}

}  // namespace
}  // namespace tolvaren
