// Every step of the file layer failing in turn: the archive changes only
// when every turned byte was written back, the list reads as its old state
// until the last write, and the outcome says which step stopped it.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

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
        case FileStep::Flush: return "flush";
        case FileStep::Check: return "check";
    }
    return "?";
}

Text DemoArchiveSwitched(std::int32_t state) {
    Text archive = DemoArchive();
    archive.replace(archive.find(DemoVehicleList()), DemoVehicleList().size(),
                    SwitchVehicleKeys(DemoVehicleList(), state));
    return archive;
}

std::int32_t StateOfDemoArchive(const Text& archive) {
    return StateOfVehicleList(archive.substr(DemoArchive().find(DemoVehicleList()), DemoVehicleList().size()));
}

Outcome Enable(MemoryFileSystem& files) {
    ArchiveLocation location{"common.pak"};
    return RewriteVehicleList(files, location, 1).Why();
}

TEST(FileFaults, EveryFailedStepLeavesTheArchiveUnchangedAndSaysWhere) {
    const Text archive = DemoArchive();
    // What a failure of each step may be reported as: a failed read or seek
    // in the system's words, a failed write put back.
    const std::tuple<FileStep, std::set<Reason>> steps[] = {
        {FileStep::Open, {Reason::CannotOpen}},
        {FileStep::Seek, {Reason::PlatformError, Reason::WriteFailedPutBack}},
        {FileStep::Read, {Reason::PlatformError}},
        {FileStep::ShortRead, {}},  // no failure: reading goes on where it stopped
        {FileStep::Write, {Reason::WriteFailedPutBack}},
        {FileStep::ShortWrite, {}},  // no failure: writing goes on where it stopped
        {FileStep::Flush, {Reason::WriteFailedPutBack}},
    };
    int faultsThatMattered = 0;
    for (const auto& [step, reasons] : steps) {
        for (int occurrence = 1; occurrence <= 4; ++occurrence) {
            SCOPED_TRACE(std::string(Name(step)) + " #" + DecimalText(occurrence));
            MemoryFileSystem faulty;
            faulty.files["common.pak"] = archive;
            faulty.Inject({step, occurrence});
            const Outcome outcome = Enable(faulty);
            const Text& after = faulty.files["common.pak"];
            ASSERT_EQ(after.size(), archive.size());

            bool failedYet = false;
            for (const auto& entry : faulty.Log()) {
                if (failedYet && entry.step == FileStep::Write) {
                    // Only putting back what a short write may have changed.
                    EXPECT_FALSE(entry.failed);
                    EXPECT_EQ(entry.bytesWritten, archive.substr(entry.at, entry.bytesWritten.size()));
                }
                failedYet = failedYet || entry.failed;
            }
            if (!failedYet) {
                EXPECT_EQ(outcome.reason, Reason::Done);
                EXPECT_EQ(after, DemoArchiveSwitched(1));
                continue;
            }
            ++faultsThatMattered;
            EXPECT_EQ(reasons.count(outcome.reason), 1u) << static_cast<int>(outcome.reason);
            EXPECT_EQ(after, archive);
        }
    }
    EXPECT_GE(faultsThatMattered, 8);  // open, seeks, reads, writes, both flushes
}

TEST(FileFaults, WriteThatCannotBePutBackReadsAsBeforeAndTheSameSwitchFinishesIt) {
    MemoryFileSystem faulty;
    faulty.files["common.pak"] = DemoArchive();
    faulty.Inject({FileStep::ShortWrite, 1});
    faulty.Inject({FileStep::Write, 2});  // the rest of it
    faulty.Inject({FileStep::Write, 3});  // the put-back
    EXPECT_EQ(Enable(faulty).reason, Reason::WriteFailedNotPutBack);
    const Text halfWritten = faulty.files["common.pak"];
    EXPECT_NE(halfWritten, DemoArchive());
    EXPECT_EQ(StateOfDemoArchive(halfWritten), 0);

    MemoryFileSystem healthy;
    healthy.files = faulty.files;
    EXPECT_EQ(Enable(healthy).reason, Reason::Done);
    EXPECT_EQ(healthy.files["common.pak"], DemoArchiveSwitched(1));
}

// Wherever a switch stops, the list reads as the state it had until the
// marker's bytes, written after everything else is on the disk.
TEST(FileFaults, TheMarkerTurnsLastAfterTheRestIsOnTheDisk) {
    for (const std::int32_t state : {1, 0}) {
        SCOPED_TRACE(state);
        MemoryFileSystem files;
        files.files["common.pak"] = DemoArchiveSwitched(1 - state);
        ArchiveLocation location{"common.pak"};
        ASSERT_EQ(RewriteVehicleList(files, location, state).Why().reason, Reason::Done);

        bool flushedSince = false, turned = false;
        Text beforeMarker;
        for (const auto& entry : files.Log()) {
            if (entry.step == FileStep::Flush) flushedSince = true;
            if (entry.step != FileStep::Write) continue;
            const bool readsNew = StateOfDemoArchive(entry.fileAfter) == state;
            if (readsNew && !turned) {
                EXPECT_TRUE(flushedSince) << "the marker turned before the rest was flushed";
                // Everything but the marker's bytes was switched already.
                const Text switched = DemoArchiveSwitched(state);
                for (std::size_t i = 0; i < switched.size(); ++i)
                    if (beforeMarker[i] != switched[i]) {
                        EXPECT_TRUE(PrefixesStateMarker(switched, i)) << i;
                    }
            }
            EXPECT_TRUE(readsNew || !turned);
            turned = turned || readsNew;
            if (!turned) beforeMarker = entry.fileAfter;
            flushedSince = false;
        }
        EXPECT_TRUE(turned);
        // Flushed, then looked at once more.
        ASSERT_GE(files.Log().size(), 2u);
        EXPECT_EQ(files.Log()[files.Log().size() - 2].step, FileStep::Flush);
        EXPECT_EQ(files.Log().back().step, FileStep::Check);
        EXPECT_EQ(files.files["common.pak"], DemoArchiveSwitched(state));

        // Switched already: nothing is written.
        const std::size_t steps = files.Log().size();
        ASSERT_EQ(RewriteVehicleList(files, location, state).Why().reason, Reason::Done);
        for (std::size_t i = steps; i < files.Log().size(); ++i)
            EXPECT_NE(files.Log()[i].step, FileStep::Write);
    }
}

// Another program gets in while the switch is being written (it stalled
// past a lease's end, say): nothing more is written once it did, the list
// reads as before until the marker's bytes, a file it cut is never
// lengthened again, and the outcome says how far the switch got.
TEST(FileFaults, AnotherProgramThatGetsInStopsTheSwitchWhereItIs) {
    const Outcome game(Reason::InUse, "PID 7 (game.exe)");
    const Text archive = DemoArchive();
    const struct {
        int check;  // 1: before the first write, 2: before the marker's, 3: after the last
        Outcome seen;
        std::size_t cutTo;
        Reason reason;
        int stateAfter;  // -1: cut, not read
    } rows[] = {
        {1, game, Text::npos, Reason::InUse, 0},
        {2, game, Text::npos, Reason::SwitchStopped, 0},
        {2, {}, 100, Reason::SwitchStopped, -1},
        {2, Reason::ArchiveReplaced, Text::npos, Reason::ArchiveReplaced, 0},
        {3, game, Text::npos, Reason::OpenedDuringLastWrite, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "check " << row.check << " cut to " << row.cutTo);
        MemoryFileSystem files;
        files.files["common.pak"] = archive;
        MemoryFileSystem::Fault fault{FileStep::Check, row.check, row.seen};
        fault.truncateTo = row.cutTo;
        files.Inject(fault);
        const Outcome outcome = Enable(files);
        EXPECT_EQ(outcome.reason, row.reason);
        EXPECT_EQ(outcome.detail, row.seen.detail);
        const Text& after = files.files["common.pak"];
        if (row.stateAfter < 0) {
            EXPECT_EQ(after.size(), row.cutTo);
        } else {
            EXPECT_EQ(StateOfDemoArchive(after), row.stateAfter);
        }
        bool checkFailed = false;
        for (const auto& entry : files.Log()) {
            EXPECT_FALSE(checkFailed && entry.step == FileStep::Write) << "written after another got in";
            checkFailed = checkFailed || (entry.step == FileStep::Check && entry.failed);
        }
    }
}

// A scan under any fault reads the list whole, or says why not.
TEST(FileFaults, AScanUnderAnyFaultReadsTheWholeListOrNone) {
    const FileStep steps[] = {FileStep::Open, FileStep::Seek, FileStep::Read, FileStep::ShortRead};
    for (FileStep step : steps) {
        for (int occurrence = 1; occurrence <= 12; ++occurrence) {
            MemoryFileSystem files;
            files.files["common.pak"] = DemoArchive();
            files.Inject({step, occurrence});
            ArchiveLocation location{"common.pak"};
            const Result<VehicleListRead> list = ReadVehicleList(files, location.path, location);
            if (list) {
                EXPECT_EQ(list->bytes, DemoVehicleList());
            }
        }
    }
}

}  // namespace
}  // namespace tolvaren
