// Every step of the file layer failing in turn: the archive changes only
// when the whole entry was written back.
#include <gtest/gtest.h>

#include "core/extra_vehicles.h"
#include "core/vehicle_list.h"
#include "core/vehicle_list_scan.h"
#include "tests/memory_file_system.h"
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

TEST(FileFaults, EveryFailedStepLeavesTheArchiveUnchanged) {
    const Text archive = DemoArchive();
    const FileStep steps[] = {FileStep::Open,  FileStep::Seek,  FileStep::Read,
                              FileStep::ShortRead, FileStep::Write, FileStep::ShortWrite};
    int faultsThatMattered = 0;
    for (FileStep step : steps) {
        for (int occurrence = 1; occurrence <= 4; ++occurrence) {
            SCOPED_TRACE(std::string(Name(step)) + " #" + std::to_string(occurrence));
            MemoryFileSystem files;
            files.files["common.pak"] = archive;
            ArchiveLocation location{"common.pak"};
            ASSERT_EQ(ReadVehicleList(files, location.path, location), DemoVehicleList());

            MemoryFileSystem faulty;
            faulty.files = files.files;
            faulty.Inject({step, occurrence});
            const PatchOutcome outcome = SetExtraVehicles(faulty, location, 1);
            const Text& after = faulty.files["common.pak"];
            ASSERT_EQ(after.size(), archive.size());

            bool failedYet = false;
            for (const auto& entry : faulty.Log()) {
                if (failedYet && entry.step == FileStep::Write) {
                    // Only putting back what a short write may have changed.
                    EXPECT_FALSE(entry.failed);
                    EXPECT_EQ(entry.bytesWritten, DemoVehicleList());
                }
                // A short read is no failure: reading goes on where it stopped.
                failedYet = failedYet || entry.failed || entry.step == FileStep::ShortWrite;
            }
            if (!failedYet) {
                EXPECT_EQ(outcome, PatchOutcome::Written);
                Text enabled = archive;
                enabled.replace(archive.find(DemoVehicleList()), DemoVehicleList().size(),
                                SwitchVehicleKeys(DemoVehicleList(), 1));
                EXPECT_EQ(after, enabled);
                continue;
            }
            ++faultsThatMattered;
            EXPECT_EQ(outcome, PatchOutcome::NotWritable);
            EXPECT_EQ(after, archive);
        }
    }
    EXPECT_GE(faultsThatMattered, 5);  // open, seek, read, write and short write each failed
}

TEST(FileFaults, ScanUnderAnyFaultNeverWritesOrCrashes) {
    const FileStep steps[] = {FileStep::Open, FileStep::Seek, FileStep::Read, FileStep::ShortRead};
    for (FileStep step : steps) {
        for (int occurrence = 1; occurrence <= 12; ++occurrence) {
            MemoryFileSystem files;
            files.files["common.pak"] = DemoArchive();
            files.Inject({step, occurrence});
            ArchiveLocation location{"common.pak"};
            const Text list = ReadVehicleList(files, location.path, location);
            if (!list.empty()) {
                EXPECT_EQ(list.size(), static_cast<std::size_t>(location.size));
            }
            EXPECT_EQ(files.files["common.pak"], DemoArchive());
            for (const auto& entry : files.Log()) EXPECT_NE(entry.step, FileStep::Write);
        }
    }
}

}  // namespace
}  // namespace tolvaren
