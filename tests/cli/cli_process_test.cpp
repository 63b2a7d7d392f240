// The real command-line tool as a separate process, where only a process
// shows what happens: pipes and folders given as the archive, other
// programs holding it, a file-size limit during the write, a full stdout.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "core/archive.h"
#include "core/vehicle_list.h"
#include "tests/support/test_support.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

struct ToolRun {
    int exitCode = -1;   // -1: killed by a signal or never ended
    int signal = 0;
    Text out, err;
};

struct ToolSetting {
    rlim_t fileSizeLimit = RLIM_INFINITY;
    Text stdinPath;   // empty: the test's own
    Text stdoutPath;  // empty: a file of the test's own
    int user = test::GameHold::kSameUser;
    bool procHidesOtherUsers = false;  // in a namespace whose /proc is mounted hidepid=invisible
    Text tool = TOLVAREN_CLI;
};

constexpr int kNobody = 65534;

class Tool : public ::testing::Test {
protected:
    ToolRun Run(const std::vector<Text>& args, const ToolSetting& setting = {}) {
        return Wait(Start(args, setting), setting);
    }

    pid_t Start(const std::vector<Text>& args, const ToolSetting& setting = {}) {
        const Text outPath = OutPath(setting);
        const Text errPath = folder_.Path("err");
        const Text user = DecimalText(setting.user);
        const Text hidden = "mount -o remount,hidepid=invisible /proc && exec setpriv --reuid=" + user +
                            " --regid=" + user + " --clear-groups \"$0\" \"$@\"";
        std::vector<const char*> argv;
        if (setting.procHidesOtherUsers)
            argv = {"/usr/bin/unshare", "-mpf", "--mount-proc", "/bin/sh", "-c", hidden.c_str()};
        argv.push_back(setting.tool.c_str());
        for (const Text& arg : args) argv.push_back(arg.c_str());
        argv.push_back(nullptr);
        // Emptied before the child exists: one killed before it runs leaves
        // no earlier run's words behind.
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const pid_t pid = ::fork();
        if (pid != 0) {
            ::close(out);
            ::close(err);
        }
        if (pid == 0) {
            const rlimit limit{setting.fileSizeLimit, setting.fileSizeLimit};
            const rlimit noCore{0, 0};
            if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
                ::setrlimit(RLIMIT_FSIZE, &limit) != 0 || ::setrlimit(RLIMIT_CORE, &noCore) != 0)
                ::_exit(100);
            const int in = setting.stdinPath.empty() ? 0 : ::open(setting.stdinPath.c_str(), O_RDONLY);
            if (in < 0 || ::dup2(in, 0) < 0) ::_exit(100);
            if (setting.user != test::GameHold::kSameUser && !setting.procHidesOtherUsers &&
                (::setgid(setting.user) != 0 || ::setuid(setting.user) != 0))
                ::_exit(102);
            ::execv(argv[0], const_cast<char**>(argv.data()));
            ::_exit(101);
        }
        return pid;
    }

    // A tool that stops is looked at by `whenStopped`, then continued.
    ToolRun Wait(pid_t pid, const ToolSetting& setting = {},
                 const std::function<void()>& whenStopped = [] {}) {
        ToolRun run;
        int status = 0;
        // A tool that hangs on a pipe fails the test rather than the run.
        for (int waited = 0;; ++waited) {
            const pid_t changed = ::waitpid(pid, &status, WNOHANG | WUNTRACED);
            if (changed == pid && WIFSTOPPED(status)) {
                whenStopped();
                ::kill(pid, SIGCONT);
            } else if (changed != 0) {
                break;
            }
            if (waited == 500) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                ADD_FAILURE() << "the tool did not end within 5 s";
                return run;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
        run.out = setting.stdoutPath.empty() ? ReadWholeFile(OutPath(setting)) : Text();
        run.err = ReadWholeFile(folder_.Path("err"));
        return run;
    }

    Text OutPath(const ToolSetting& setting) {
        return setting.stdoutPath.empty() ? folder_.Path("out") : setting.stdoutPath;
    }

    test::TempFolder folder_;
    Text archive_ = folder_.Path("common.pak");
};

TEST_F(Tool, PipesAndFoldersAreRefusedAtOnce) {
    const Text fifoPath = folder_.Path("fifo.pak");
    const test::Fifo fifo(fifoPath);
    ASSERT_TRUE(fifo.Made());
    for (const Text& path : {fifoPath, folder_.Path("")}) {
        for (const Text command : {"status", "enable"}) {
            const ToolRun run = Run({command, path});
            EXPECT_EQ(run.exitCode, 2) << command << " " << path << ": " << run.err;
            EXPECT_NE(run.err.find("not a file on a disk"), Text::npos) << run.err;
        }
    }
}

TEST_F(Tool, AnyOtherProgramWithTheArchiveOpenIsNamedAndNothingIsWritten) {
    using Lock = test::GameHold::Lock;
    ASSERT_TRUE(WriteWholeFile(archive_, DemoArchive()));
    for (const auto& [lock, what] : {std::pair{Lock::None, "open, no lock"},
                                     std::pair{Lock::Fcntl, "fcntl lock"},
                                     std::pair{Lock::Flock, "flock"},
                                     std::pair{Lock::Mapped, "mapped, then closed"}}) {
        SCOPED_TRACE(what);
        const test::GameHold holder(archive_, lock);
        ASSERT_TRUE(holder.Held());
        const Text named = "PID " + DecimalText(holder.ProcessId()) + " (" + holder.Command() + ")";
        const ToolRun enable = Run({"enable", archive_});
        EXPECT_EQ(enable.exitCode, 2) << enable.err;
        EXPECT_NE(enable.err.find("in use by another program (" + named + ")"), Text::npos)
            << enable.err;
        const ToolRun status = Run({"status", archive_});
        EXPECT_EQ(status.exitCode, 0) << status.err;
        EXPECT_EQ(status.out, "disabled\n");
    }
    // Its own standard input is not another program's.
    ToolSetting fromArchive;
    fromArchive.stdinPath = archive_;
    const ToolRun own = Run({"enable", archive_}, fromArchive);
    EXPECT_EQ(own.exitCode, 2);
    EXPECT_NE(own.err.find("is open in this tool itself"), Text::npos) << own.err;
    EXPECT_EQ(ReadWholeFile(archive_), DemoArchive());
}

TEST_F(Tool, HoldersAreFoundAlsoWhereTheQuickTestIsNotAllowed) {
    // Only a file's owner may take the lease that answers at once; anyone
    // else who may write it has the processes searched: all of their own
    // must be seen, and what could not be is said.
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to run the tool and the holder as nobody";
    ASSERT_TRUE(WriteWholeFile(archive_, DemoArchive()));
    ASSERT_EQ(::chmod(archive_.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(folder_.Path("").c_str(), 0777), 0);  // for the tool's output files
    ToolSetting nobody;
    nobody.user = kNobody;
    // The build may lie where nobody may not go (a private temporary folder).
    nobody.tool = folder_.Path("tolvaren-cli");
    std::filesystem::copy_file(TOLVAREN_CLI, nobody.tool.c_str());
    ASSERT_EQ(::chmod(nobody.tool.c_str(), 0755), 0);
    {
        const test::GameHold holder(archive_, test::GameHold::Lock::None, kNobody);
        ASSERT_TRUE(holder.Held());
        const ToolRun run = Run({"enable", archive_}, nobody);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_NE(run.err.find("(PID " + DecimalText(holder.ProcessId()) + " (sleep))"),
                  Text::npos) << run.err;
    }
    // Alone, with processes it cannot look at (root's): it switches, and says so.
    const ToolRun alone = Run({"enable", archive_}, nobody);
    EXPECT_EQ(alone.exitCode, 0) << alone.err;
    EXPECT_NE(alone.err.find("note: " ), Text::npos) << alone.err;
    EXPECT_NE(alone.err.find(" processes of other users could not be looked at"), Text::npos) << alone.err;
    EXPECT_EQ(StateOfVehicleList(ReadWholeFile(archive_)), 1);
    // Where /proc hides them, the count is not known: that is said instead.
    nobody.procHidesOtherUsers = true;
    const ToolRun hidden = Run({"disable", archive_}, nobody);
    EXPECT_EQ(hidden.exitCode, 0) << hidden.err;
    EXPECT_NE(hidden.err.find("/proc hides the processes of other users"), Text::npos) << hidden.err;
    EXPECT_EQ(ReadWholeFile(archive_), DemoArchive());
    // Not writable for it at all: that comes first.
    ASSERT_EQ(::chmod(archive_.c_str(), 0644), 0);
    const ToolRun denied = Run({"enable", archive_}, nobody);
    EXPECT_EQ(denied.exitCode, 2);
    EXPECT_NE(denied.err.find("is read-only or access to it is denied"), Text::npos) << denied.err;
    EXPECT_EQ(ReadWholeFile(archive_), DemoArchive());
}

TEST_F(Tool, FileSizeLimitDuringTheWriteLeavesTheArchiveAsItWas) {
    // The list straddles the limit, so the write stops part way through it.
    Text list;
    while (list.size() < 64 * 1024) list += ";[Team KTM]\r\n;logo=red\r\nmodel=x\r\n";
    const Text archive = BuildArchive({{"Data\\Before.dat", Text(8 * 1024, 'b')},
                                       {kVehicleListName, list}});
    ASSERT_TRUE(WriteWholeFile(archive_, archive));
    for (const rlim_t limit : {rlim_t{40 * 1024}, rlim_t{4 * 1024}}) {
        SCOPED_TRACE(limit);
        ToolSetting setting;
        setting.fileSizeLimit = limit;
        const ToolRun run = Run({"enable", archive_}, setting);
        EXPECT_EQ(run.signal, 0);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_NE(run.err.find("(a file-size limit stopped it). It was put back as it was."), Text::npos)
            << run.err;
        EXPECT_EQ(ReadWholeFile(archive_), archive);
    }
    EXPECT_EQ(Run({"enable", archive_}).exitCode, 0);  // without the limit it works
    EXPECT_EQ(StateOfVehicleList(ReadWholeFile(archive_)), 1);
}

// A switch interrupted at any moment, on a list large enough to take a
// while: a signal the tool holds acts only after the switch ended whole and
// was told; one nothing can hold leaves the list reading as it was. Either
// way the same command finishes it.
TEST_F(Tool, ASwitchInterruptedAtAnyMomentEndsWholeOrReadsAsBefore) {
    Text list;
    while (list.size() < (4 << 20)) list += ";[Team KTM]\r\n;logo=red\r\n;Sub=2\r\nmodel=x\r\n";
    const auto archiveWith = [](const Text& vehicleList) {
        return BuildArchive({{"Data\\Before.dat", "b"}, {kVehicleListName, vehicleList}});
    };
    const Text disabled = archiveWith(list), enabled = archiveWith(SwitchVehicleKeys(list, 1));
    const std::size_t listAt = disabled.size() - list.size();

    ASSERT_TRUE(WriteWholeFile(archive_, disabled));
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Run({"enable", archive_}).exitCode, 0);
    const auto took = std::chrono::steady_clock::now() - started;
    std::mt19937 random(20261209);
    std::uniform_int_distribution<long long> delay(
        0, std::chrono::duration_cast<std::chrono::microseconds>(took).count() * 3 / 2);

    // 32 and 33 are the real-time signals glibc reserves for itself.
    for (const int signal : {SIGHUP, SIGINT, SIGQUIT, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2, SIGIO, SIGPROF,
                             SIGVTALRM, SIGXCPU, SIGSTKFLT, SIGPWR, 32, 33, SIGRTMIN, SIGRTMAX,
                             SIGTSTP, SIGTTOU, SIGKILL}) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            SCOPED_TRACE(::testing::Message() << "signal " << signal << ", attempt " << attempt);
            ASSERT_TRUE(WriteWholeFile(archive_, disabled));
            const pid_t tool = Start({"enable", archive_});
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            ::kill(tool, signal);
            // Stopped only before its first write or after its outcome was told.
            const ToolRun run = Wait(tool, {}, [&] {
                const Text now = ReadWholeFile(archive_);
                EXPECT_TRUE(now == enabled || now == disabled);
                EXPECT_EQ(now == enabled, ReadWholeFile(folder_.Path("out")) != "");
            });
            const Text after = ReadWholeFile(archive_);
            ASSERT_EQ(after.size(), disabled.size());
            if (signal == SIGKILL) {
                EXPECT_TRUE(after == enabled || StateOfVehicleList(after.substr(listAt)) == 0);
            } else {
                EXPECT_TRUE(after == enabled || after == disabled);
                // Switched exactly when it said so.
                EXPECT_EQ(after == enabled, run.out == "Extra vehicles have been enabled.\n") << run.out;
            }
            const ToolRun again = Run({"enable", archive_});
            EXPECT_EQ(again.exitCode, 0) << again.err;
            EXPECT_TRUE(ReadWholeFile(archive_) == enabled);
        }
    }
}

TEST_F(Tool, OutputThatCannotBeWrittenFails) {
    ASSERT_TRUE(WriteWholeFile(archive_, DemoArchive()));
    ToolSetting full;
    full.stdoutPath = "/dev/full";
    for (const Text command : {"status", "--help"}) {
        const ToolRun run = Run(command == "--help" ? std::vector<Text>{command}
                                                    : std::vector<Text>{command, archive_},
                                full);
        EXPECT_EQ(run.exitCode, 5) << command;
        EXPECT_NE(run.err.find("could not be written to standard output"), Text::npos) << run.err;
    }
}

}  // namespace
}  // namespace tolvaren
