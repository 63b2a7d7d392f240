#include <gtest/gtest.h>

#include <filesystem>

#include "cli/command_line.h"
#ifdef _WIN32
#include "cli/console_output.h"
#endif
#include "core/archive.h"
#include "core/vehicle_list.h"
#include "tests/support/reason_cases.h"
#include "tests/support/test_support.h"
#include "tests/support/text_output.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

using test::TextOutput;

// Where a command names its archive, no installed game is looked for.
InstallationSearch NotToBeCalled(FileSystem&) {
    ADD_FAILURE() << "searched for an installed game";
    return {};
}

struct CliRun {
    int exitCode;
    Text out, err;
};

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteWholeFile(archive_, DemoArchive())); }

    CliRun Invoke(const List<Text>& args, FileSystem& files = PlatformFileSystem(),
                  InstallationFinder finder = NotToBeCalled) {
        TextOutput out, err;
        const int code = RunCommandLine(args, out, err, files, finder);
        return {code, out.text(), err.text()};
    }
    CliRun InvokeFinding(const List<Text>& args, const InstallationSearch& search) {
        return Invoke(args, PlatformFileSystem(), [&search](FileSystem&) { return search; });
    }

    test::TempFolder folder_;
    Text archive_ = folder_.Path("common.pak");
};

TEST_F(CommandLine, StatusEnableDisableRoundTrip) {
    const struct {
        List<Text> args;
        Text out;
    } steps[] = {
        {{"status", archive_}, "disabled\n"},
        {{"enable", archive_}, "Extra vehicles have been enabled.\n"},
        {{"status", archive_}, "enabled\n"},
        {{"enable", archive_}, "Extra vehicles have been enabled.\n"},
        {{"disable", archive_}, "Extra vehicles have been disabled.\n"},
        {{"status", archive_}, "disabled\n"},
    };
    for (const auto& step : steps) {
        const CliRun run = Invoke(step.args);
        EXPECT_EQ(run.exitCode, kExitOk) << step.args[0] << ": " << run.err;
        EXPECT_EQ(run.out, step.out) << step.args[0];
        EXPECT_EQ(run.err, "") << step.args[0];
    }
    const Text list = SwitchVehicleKeys(SwitchVehicleKeys(DemoVehicleList(), 1), 0);
    EXPECT_EQ(ReadWholeFile(archive_).size(), DemoArchive().size());
    EXPECT_NE(ReadWholeFile(archive_).find(list), Text::npos);
}

TEST_F(CommandLine, UsageErrorsExitOneWithTheUsageText) {
    const List<Text> bad[] = {
        {}, {"toggle", archive_}, {"status", archive_, "extra"}, {"STATUS", archive_},
    };
    for (const auto& args : bad) {
        const CliRun run = Invoke(args);
        EXPECT_EQ(run.exitCode, kExitUsage);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: tolvaren-cli"), Text::npos);
    }
    const CliRun help = Invoke({"--help"});
    EXPECT_EQ(help.exitCode, kExitOk);
    EXPECT_NE(help.out.find("usage: tolvaren-cli"), Text::npos);
    const CliRun version = Invoke({"--version"});
    EXPECT_EQ(version.exitCode, kExitOk);
    EXPECT_EQ(version.out, "tolvaren-cli " TOLVAREN_VERSION "\n");
}

TEST_F(CommandLine, ArchiveThatCannotBeOpenedOrChangedExitsTwoAndSaysWhy) {
    const Text missing = folder_.Path("missing.pak");
    for (const Text command : {"status", "enable"}) {
        const CliRun run = Invoke({command, missing});
        EXPECT_EQ(run.exitCode, kExitNotChangeable) << command;
        EXPECT_NE(run.err.find(missing + " was not found"), Text::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(missing.c_str()));

    {
        const test::ExclusiveHold hold(archive_);
        ASSERT_TRUE(hold.Held());
        const CliRun run = Invoke({"disable", archive_});
        EXPECT_EQ(run.exitCode, kExitNotChangeable);
        EXPECT_NE(run.err.find("in use by another program"), Text::npos) << run.err;
    }

    test::ReadOnlyFileSystem readOnly(PlatformFileSystem());
    EXPECT_EQ(Invoke({"status", archive_}, readOnly).out, "disabled\n");
    const CliRun run = Invoke({"enable", archive_}, readOnly);
    EXPECT_EQ(run.exitCode, kExitNotChangeable);
    EXPECT_NE(run.err.find("read-only"), Text::npos) << run.err;
    EXPECT_EQ(ReadWholeFile(archive_), DemoArchive());
}

TEST_F(CommandLine, StatusAnswersBesideARunningGameWhileSwitchesRefuse) {
    const test::GameHold game(archive_);
    ASSERT_TRUE(game.Held());
    const CliRun status = Invoke({"status", archive_});
    EXPECT_EQ(status.exitCode, kExitOk);
    EXPECT_EQ(status.out, "disabled\n");
    EXPECT_EQ(status.err, "");
    for (const Text command : {"enable", "disable"}) {
        const CliRun run = Invoke({command, archive_});
        EXPECT_EQ(run.exitCode, kExitNotChangeable) << command;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("in use by another program"), Text::npos) << run.err;
    }
    EXPECT_EQ(ReadWholeFile(archive_), DemoArchive());
}

// Every write fails, as on a full disk or a closed pipe.
class FullOutput final : public Output {
public:
    void Write(std::string_view) override {}
    bool Flush() override { return false; }
};

TEST_F(CommandLine, OutputThatCannotBeWrittenIsAFailureThatSaysWhatWasDone) {
    const struct {
        const char* command;
        const char* says;
        std::int32_t stateAfter;
    } cases[] = {
        {"status", "could not be written to standard output.\n", 0},
        {"enable", "could not be written to standard output; the archive was switched all the same.\n", 1},
    };
    for (const auto& c : cases) {
        FullOutput out;
        TextOutput err;
        EXPECT_EQ(RunCommandLine({c.command, archive_}, out, err, PlatformFileSystem(), NotToBeCalled),
                  kExitOutputFailed) << c.command;
        EXPECT_NE(err.text().find(c.says), Text::npos) << err.text();
        EXPECT_EQ(StateOfVehicleList(ReadWholeFile(archive_)), c.stateAfter) << c.command;
    }
}

TEST_F(CommandLine, OmittedArchiveIsTheOneInstallationFound) {
    const InstallationSearch one{{{archive_, "/home/me/.wine"}},
                                 {{SearchProblem::Kind::Skipped, "/x", "", {Reason::Malformed, "broken"}}},
                                 {},
                                 false};
    const CliRun run = InvokeFinding({"status"}, one);
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(run.out, "disabled\n");
    EXPECT_EQ(run.err, "tolvaren-cli: warning: skipping /x: broken\n"
                       "tolvaren-cli: using " + archive_ + " (/home/me/.wine)\n");
    EXPECT_EQ(InvokeFinding({"enable"}, one).exitCode, kExitOk);
    EXPECT_EQ(StateOfVehicleList(ReadWholeFile(archive_)), 1);
}

TEST_F(CommandLine, NoneOrSeveralInstallationsFoundIsExitFourAndChangesNothing) {
    const InstallationSearch none{{}, {}, {"/home/me/.wine", "/home/me/Games/*"}, false};
    const Text other = folder_.Path("other.pak");
    ASSERT_TRUE(WriteWholeFile(other, DemoArchive()));
    const InstallationSearch several{
        {{archive_, "/home/me/.wine"}, {other, "/home/me/Games/x"}, {folder_.Path("gone.pak"), "/old"}},
        {},
        {},
        false};
#ifdef _WIN32
    const Text choose = "Give the archive's path. Nothing was changed.";
#else
    const Text choose = "Give the archive's path, or set WINEPREFIX to the prefix of the one to use. Nothing";
#endif
    for (const Text command : {"status", "enable", "disable"}) {
        const CliRun nothing = InvokeFinding({command}, none);
        EXPECT_EQ(nothing.exitCode, kExitNotInstalled);
        EXPECT_EQ(nothing.out, "");
        EXPECT_NE(nothing.err.find("Looked in:\n  /home/me/.wine\n  /home/me/Games/*\n"), Text::npos)
            << nothing.err;
        const CliRun choice = InvokeFinding({command}, several);
        EXPECT_EQ(choice.exitCode, kExitNotInstalled);
        EXPECT_NE(choice.err.find("  " + archive_ + " (/home/me/.wine)\n"), Text::npos) << choice.err;
        EXPECT_NE(choice.err.find(choose), Text::npos) << choice.err;
    }
    EXPECT_EQ(ReadWholeFile(archive_), DemoArchive());
    // With ARCHIVE there is no search.
    EXPECT_EQ(InvokeFinding({"status", archive_}, several).out, "disabled\n");
}

// A prefix left over from an earlier install, whose recorded folder holds no
// archive, does not stop the one that works from being used.
TEST_F(CommandLine, OfSeveralTheOneWhoseListCanBeReadIsUsed) {
    const Text gone = folder_.Path("gone.pak");
    const InstallationSearch leftover{{{gone, "/home/me/old/pfx"}, {archive_, "/home/me/.wine"}}, {}, {}, false};
    const CliRun run = InvokeFinding({"enable"}, leftover);
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    EXPECT_EQ(run.out, "Extra vehicles have been enabled.\n");
    EXPECT_EQ(run.err, "tolvaren-cli: not using " + gone + " (/home/me/old/pfx): archive not found\n"
                       "tolvaren-cli: using " + archive_ + " (/home/me/.wine)\n");
    EXPECT_EQ(StateOfVehicleList(ReadWholeFile(archive_)), 1);
}

TEST_F(CommandLine, WhereListsEveryInstallationWithItsStateOrWhyNot) {
    const Text enabled = folder_.Path("enabled.pak");
    ASSERT_TRUE(WriteWholeFile(enabled, BuildArchive({{kVehicleListName, " [Team KTM]"}})));
    const Text missing = folder_.Path("missing.pak");
    // A registry value can hold any byte: none may forge a line or a field.
    const Text forged = folder_.Path("x\tenabled\nforged.pak");
    const InstallationSearch search{
        {{archive_, "A"}, {enabled, "B"}, {missing, "C"}, {forged, "D\x1b[2J"}},
        {{SearchProblem::Kind::Skipped, "D", "", {Reason::Unreadable, "unreadable"}}},
        {},
        false};
    const CliRun run = InvokeFinding({"where"}, search);
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(run.out, archive_ + "\tA\tdisabled\n" + enabled + "\tB\tenabled\n" + missing +
                           "\tC\tarchive not found\n" + folder_.Path("x?enabled?forged.pak") +
                           "\tD?[2J\tarchive not found\n");
    const CliRun named = Invoke({"status", forged});
    EXPECT_NE(named.err.find(folder_.Path("x?enabled?forged.pak") + " was not found"), Text::npos) << named.err;
    EXPECT_EQ(run.err, "tolvaren-cli: warning: skipping D: unreadable\n");

    const test::GameHold game(archive_);
    ASSERT_TRUE(game.Held());
    EXPECT_NE(InvokeFinding({"where"}, search).out.find(archive_ + "\tA\tdisabled\n"), Text::npos);

    const CliRun none = InvokeFinding({"where"}, {{}, {}, {"/home/me/.wine"}, false});
    EXPECT_EQ(none.exitCode, kExitNotInstalled);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("/home/me/.wine"), Text::npos);
    EXPECT_EQ(InvokeFinding({"where", archive_}, search).exitCode, kExitUsage);
}

TEST(CommandLineNotes, AVirtualizedCopyOfTheArchiveIsNotedWhateverTheCommand) {
    const Text path = test::kReasonCasePath;
    const Text copy = "C:\\Users\\me\\AppData\\Local\\VirtualStore\\Games\\Racer\\Data\\common.pak";
    const Text note = "tolvaren-cli: " + ToolText({Reason::VirtualStoreCopy}, copy) + "\n";
    test::MemoryFileSystem files;
    files.files[path] = DemoArchive();
    files.virtualizedCopies[path] = copy;
    for (const Text command : {"status", "enable", "disable"}) {
        TextOutput out, err;
        EXPECT_EQ(RunCommandLine({command, path}, out, err, files, NotToBeCalled), kExitOk);
        EXPECT_EQ(err.text(), note) << command;
    }
}

#ifdef _WIN32
// A console is written in UTF-16 whole lines at a time, from the process's
// code page: a letter of two bytes split between writes stays one letter.
class ConsoleSeen final : public ConsoleOutput {
public:
    explicit ConsoleSeen(UINT codePage) : ConsoleOutput(nullptr, codePage) {}
    std::wstring shown;

protected:
    bool ShowWide(const WideText& wide) override {
        shown += std::wstring(View(wide)) + L"|";
        return true;
    }
};

TEST(ConsoleOutput, AConsoleGetsWholeLinesInItsOwnLetters) {
    const struct {
        UINT codePage;
        std::vector<std::string_view> writes;
        std::wstring shown;
    } rows[] = {
        {1252, {"caf\xE9 ", "ok\n"}, L"caf\x00e9 ok\n|"},
        {CP_UTF8, {"caf\xC3", "\xA9\n", "end"}, L"caf\x00e9\n|end|"},
        {932, {"\x8C", "\xA9\n\x82\xC2\n"}, L"\x898b\n\x3064\n|"},  // Shift-JIS
    };
    for (const auto& row : rows) {
        ConsoleSeen console(row.codePage);
        for (const std::string_view text : row.writes) console.Write(text);
        EXPECT_TRUE(console.Flush());
        EXPECT_EQ(console.shown, row.shown) << row.codePage;
    }
}
#endif

// Each reason in the tool's words, with its exit code; the archive is left
// as it was, but where the reason says it could not be put back. `status`
// prints a state only where the list was read.
class CommandLineReasons : public ::testing::TestWithParam<test::ReasonCase> {};

TEST_P(CommandLineReasons, SaysTheReasonWithItsExitCode) {
    const test::ReasonCase& c = GetParam();
    const Text& path = test::kReasonCasePath;
    test::MemoryFileSystem files;
    if (!c.archive.empty()) files.files[path] = c.archive;
    files.refusals = c.refusals;
    {
        TextOutput out, err;
        const int exitCode = RunCommandLine({"status", path}, out, err, files, NotToBeCalled);
        EXPECT_EQ(out.text().empty(), c.atStartUp != Reason::Done) << out.text();
        for (const FileAccess access : files.opened) EXPECT_EQ(access, FileAccess::SharedRead);  // only reads
        if (c.atStartUp != Reason::Done) {
            EXPECT_EQ(exitCode, ExitCodeFor(c.atStartUp));
            EXPECT_EQ(err.text(), "tolvaren-cli: " + ToolText({c.atStartUp, c.told}, path) + "\n");
        }
    }
    for (const auto& fault : c.faults) files.Inject(fault);
    TextOutput out, err;
    const int exitCode = RunCommandLine({c.requested != 0 ? "enable" : "disable", path}, out, err,
                                        files, NotToBeCalled);
    EXPECT_EQ(exitCode, ExitCodeFor(c.onClick));
    if (c.onClick == Reason::Done) return;
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(err.text(), "tolvaren-cli: " + ToolText(c.OnClick(), path) + "\n");
    EXPECT_EQ(files.files[path] == c.archive, !c.archiveChanged);
}

INSTANTIATE_TEST_SUITE_P(EachReason, CommandLineReasons, ::testing::ValuesIn(test::ReasonCases()),
                         test::ReasonCaseName);

}  // namespace
}  // namespace tolvaren
