// The platform's file layer as the archive rules meet it on real files:
// what it opens, what it refuses, and other programs that hold the archive.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/in_use.h"
#include "platform/posix/signals.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/in_place_rewrite.h"
#include "tests/support/test_support.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

namespace fs = std::filesystem;

class PlatformFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteWholeFile(archive_, DemoArchive())); }

    Text Scan(const Text& path) {
        location_ = ArchiveLocation{path};
        const Result<VehicleListRead> list = ReadVehicleList(PlatformFileSystem(), path, location_);
        outcome_ = list ? list->problem : list.Why();
        return list ? list->bytes : Text();
    }
    Reason Switch(std::int32_t state) {
        return RewriteVehicleList(PlatformFileSystem(), location_, state).Why().reason;
    }

    test::TempFolder folder_;
    Text archive_ = folder_.Path("common.pak");
    ArchiveLocation location_;
    Outcome outcome_;
};

TEST_F(PlatformFile, MissingArchiveIsNeverCreated) {
    const Text missing = folder_.Path("missing.pak");
    EXPECT_EQ(Scan(missing), "");
    EXPECT_EQ(outcome_.reason, Reason::ArchiveNotFound);
    EXPECT_FALSE(fs::exists(missing.c_str()));

    ASSERT_EQ(Scan(archive_), DemoVehicleList());
    ASSERT_TRUE(fs::remove(archive_.c_str()));  // after the scan
    EXPECT_EQ(Switch(1), Reason::ArchiveNotFound);
    EXPECT_FALSE(fs::exists(archive_.c_str()));
}

TEST_F(PlatformFile, FoldersPipesAndDevicesAreRefusedAtOnce) {
    const Text fifoPath = folder_.Path("fifo.pak");
    const test::Fifo fifo(fifoPath);
    ASSERT_TRUE(fifo.Made());
    // A pipe that hung the open would hang the test (its time-out ends it).
    for (const Text& path : {folder_.Path(""), fifoPath, test::kDevicePath}) {
        EXPECT_EQ(Scan(path), "") << path;
        EXPECT_EQ(outcome_.reason, Reason::NotADiskFile) << path;
    }
}

TEST_F(PlatformFile, ArchiveHeldByARunningGameIsReadBesideItButNotChanged) {
    const test::GameHold game(archive_);
    ASSERT_TRUE(game.Held());
    EXPECT_EQ(Scan(archive_), DemoVehicleList());
    EXPECT_EQ(outcome_.reason, Reason::InUse);
    EXPECT_EQ(location_.size, static_cast<std::int32_t>(DemoVehicleList().size()));
    EXPECT_EQ(Switch(1), Reason::InUse);
    EXPECT_EQ(ReadWholeFile(archive_), DemoArchive());
}

TEST_F(PlatformFile, ArchiveHeldWithoutSharingIsInUse) {
    ASSERT_EQ(Scan(archive_), DemoVehicleList());
    {
        const test::ExclusiveHold hold(archive_);
        ASSERT_TRUE(hold.Held());
        EXPECT_EQ(Switch(1), Reason::InUse);
        ArchiveLocation again{archive_};
        // Read beside it where the platform lets others read, else not at all.
        const Result<VehicleListRead> beside = ReadVehicleList(PlatformFileSystem(), archive_, again);
        EXPECT_EQ((beside ? beside->problem : beside.Why()).reason, Reason::InUse);
    }
    EXPECT_EQ(ReadWholeFile(archive_), DemoArchive());
}

TEST_F(PlatformFile, ReadOnlyFileIsScannedButNotChanged) {
    using Mark = test::ReadOnlyFile::Mark;
    // Windows tells a file marked read-only from one whose writing is
    // denied otherwise; a POSIX system tells them apart for no one.
#ifdef _WIN32
    const Reason marked = Reason::ReadOnlyFile;
#else
    const Reason marked = Reason::AccessDenied;
#endif
    for (const auto& [mark, reason] : {std::pair{Mark::Yes, marked}, std::pair{Mark::No, Reason::AccessDenied}}) {
        const test::ReadOnlyFile readOnly(archive_, mark);
        ASSERT_TRUE(readOnly.Enforced());
        EXPECT_EQ(Scan(archive_), DemoVehicleList());
        EXPECT_EQ(outcome_.reason, Reason::Done);
        EXPECT_EQ(Switch(1), reason);
        EXPECT_EQ(ReadWholeFile(archive_), DemoArchive());
    }
}

// Another program may come while the archive is held for a switch: a
// Linux lease only delays another program's open, and Wine keeps sharing
// rules among Windows programs only. Before each phase of a write, and
// after its last, the file layer tells.
TEST_F(PlatformFile, AnOpenThatWaitedOrARenameOverTheArchiveIsSeenAroundTheWrite) {
    const Result<std::unique_ptr<File>> opened = PlatformFileSystem().Open(archive_, FileAccess::ReadWrite);
    ASSERT_TRUE(opened) << static_cast<int>(opened.Why().reason);
    EXPECT_EQ((*opened)->Unchanged().reason, Reason::Done);
#ifndef _WIN32
    // Refused at once (it does not wait), the open starts the lease's break all the same.
    const pid_t other = ::fork();
    if (other == 0) ::_exit(::open(archive_.c_str(), O_RDONLY | O_NONBLOCK) < 0 ? 0 : 1);
    int status = 0;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    ASSERT_EQ(WEXITSTATUS(status), 0) << "the lease let the open through";
    EXPECT_EQ((*opened)->Unchanged().reason, Reason::InUse);
#endif
    const Text replacement = folder_.Path("replacement.pak");
    ASSERT_TRUE(WriteWholeFile(replacement, DemoArchive()));
    ASSERT_TRUE(test::RenameOver(replacement, archive_));
    EXPECT_EQ((*opened)->Unchanged().reason, Reason::ArchiveReplaced);
}

#ifndef _WIN32
// Another program's open during a write sends the lease's break notice
// while the tool holds its signals back: it must not end the tool once the
// signals act again.
TEST_F(PlatformFile, ALeaseBreakDuringAWriteDoesNotEndTheProcessAfterIt) {
    EXPECT_EXIT(
        {
            Result<std::unique_ptr<File>> opened = PlatformFileSystem().Open(archive_, FileAccess::ReadWrite);
            if (!opened) std::_Exit(2);  // it holds the signals back from here
            const pid_t other = ::fork();
            if (other == 0) std::_Exit(0 * ::open(archive_.c_str(), O_RDONLY | O_NONBLOCK));
            ::waitpid(other, nullptr, 0);
            opened->reset();  // and lets them act
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// Where /proc hides other users' processes, their number cannot be known.
TEST(ProcMounts, AProcThatHidesOtherUsersIsTold) {
    const std::pair<const char*, bool> mounts[] = {
        {"22 1 0:20 / /proc rw,nosuid - proc proc rw,hidepid=invisible\n", true},
        {"22 1 0:20 / /proc rw shared:12 - proc proc rw,hidepid=2,gid=4\n", true},  // as older kernels
        {"22 1 0:20 / /proc rw - proc proc rw,hidepid=ptraceable\n", true},
        {"22 1 0:20 / /proc rw - proc proc rw,hidepid=noaccess\n", false},  // listed, but not readable
        {"22 1 0:20 / /proc rw - proc proc rw\n66 22 0:40 / /proc rw - proc proc rw,hidepid=2\n", true},
        {"22 1 0:20 / /proc rw - proc proc rw,hidepid=2\n66 22 0:40 / /proc rw - proc proc rw\n", false},
        {"30 1 0:41 / /mnt/proc rw - proc proc rw,hidepid=invisible\n", false},
    };
    for (const auto& [mountinfo, hides] : mounts) EXPECT_EQ(ProcHidesProcesses(mountinfo), hides) << mountinfo;
}
#endif

}  // namespace
}  // namespace tolvaren
