// The real program, end to end, against a demo install in the tests' Wine
// prefix.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "core/archive.h"
#include "core/confirmations.h"
#include "core/vehicle_list.h"
#include "registry/unique_hkey.h"
#include "tests/e2e/program_driver.h"
#include "tests/support/install_record.h"
#include "tests/support/test_support.h"
#include "tools/archive_builder.h"
#include "ui/dialog_texts.h"
#include "ui/program_name.h"

namespace tolvaren {
namespace {

const Text kDisabledArchive = DemoArchive();
const Text kEnabledArchive = BuildArchive({{"Data\\Gfx\\Menu.txt", "title=Demo\r\n"},
                                           {kVehicleListName, SwitchVehicleKeys(DemoVehicleList(), 1)}});

// The demo archive with its vehicle list switched as the core predicts.
Text DemoArchiveSwitched(std::int32_t state) {
    Text archive = kDisabledArchive;
    const std::size_t at = archive.find(DemoVehicleList());
    archive.replace(at, DemoVehicleList().size(), SwitchVehicleKeys(DemoVehicleList(), state));
    return archive;
}

class Program : public ::testing::Test {
protected:
    void SetUp() override { test::RecordInstallDirectory(Install(kDisabledArchive)); }
    void TearDown() override { test::ForgetInstallDirectory(); }

    // A game folder of its own holding `archiveBytes` as its archive.
    Text Install(const Text& archiveBytes, const Text& name = "Game") {
        const Text folder = folder_.Path(name);
        std::filesystem::create_directories((folder + "\\Data").c_str());
        EXPECT_TRUE(WriteWholeFile(folder + "\\Data\\common.pak", archiveBytes));
        return folder;
    }
    Text Archive(const Text& name = "Game") const {
        return ReadWholeFile(folder_.Path(name) + "\\Data\\common.pak");
    }

    // Clicks (or presses Space) and reads the message box that follows.
    test::MessageBoxSeen Toggle(bool withSpace = false) {
        withSpace ? program_.PressKey(VK_SPACE) : program_.Click();
        test::MessageBoxSeen seen;
        EXPECT_TRUE(program_.ReadAndDismissMessageBox(seen)) << "no message box";
        return seen;
    }

    test::TempFolder folder_;
    test::ProgramDriver program_;
};

INT_PTR CALLBACK IgnoreEverything(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void ExpectBox(const test::MessageBoxSeen& seen, const char* text, bool withIcon) {
    EXPECT_EQ(seen.caption, kProgramName);
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.hasIcon, withIcon) << text;
}

TEST_F(Program, ClickAndSpaceSwitchTheArchiveAndConfirm) {
    ASSERT_TRUE(program_.Start());
    EXPECT_EQ(program_.CheckState(), BST_UNCHECKED);
    EXPECT_EQ(program_.FocusSettlingOn(program_.Checkbox()), program_.Checkbox());

    ExpectBox(Toggle(), kEnabledMessage, false);
    EXPECT_EQ(program_.CheckState(), BST_CHECKED);
    EXPECT_EQ(Archive(), DemoArchiveSwitched(1));
    EXPECT_EQ(program_.FocusSettlingOn(program_.Checkbox()), program_.Checkbox());

    ExpectBox(Toggle(true), kDisabledMessage, false);
    EXPECT_EQ(program_.CheckState(), BST_UNCHECKED);
    EXPECT_EQ(Archive(), DemoArchiveSwitched(0));
    EXPECT_EQ(program_.FocusSettlingOn(program_.Checkbox()), program_.Checkbox());

    EXPECT_EQ(program_.CloseAndWait(), 0u);
}

TEST_F(Program, ClickWhileAConfirmationIsOpenRunsAgainNestedInside) {
    ASSERT_TRUE(program_.Start());
    program_.Click();
    ASSERT_FALSE(program_.NoMessageBoxFor(15000));
    program_.Click();  // the box has no owner: the dialog still takes clicks
    test::MessageBoxSeen first, second;
    ASSERT_TRUE(program_.ReadAndDismissMessageBox(first));
    ASSERT_TRUE(program_.ReadAndDismissMessageBox(second));
    // Each box confirms its own click, whichever is dismissed first.
    EXPECT_EQ(std::set<Text>({first.text, second.text}),
              std::set<Text>({kEnabledMessage, kDisabledMessage}));
    EXPECT_TRUE(program_.NoMessageBoxFor(500));
    EXPECT_EQ(program_.CheckState(), BST_UNCHECKED);
    EXPECT_EQ(Archive(), DemoArchiveSwitched(0));
    EXPECT_EQ(program_.CloseAndWait(), 0u);
}

TEST_F(Program, OnlyTheSystemCloseCommandEndsIt) {
    ASSERT_TRUE(program_.Start());
    program_.PressKey(VK_ESCAPE);
    program_.PressKey(VK_RETURN);
    PostMessageA(program_.Dialog(), WM_CLOSE, 0, 0);
    PostThreadMessageA(program_.ThreadId(), WM_QUIT, 0, 0);
    EXPECT_TRUE(program_.NoMessageBoxFor(1500));
    EXPECT_TRUE(program_.Running());
    EXPECT_TRUE(IsWindowVisible(program_.Dialog()));
    EXPECT_EQ(program_.CheckState(), BST_UNCHECKED);
    EXPECT_EQ(Archive(), kDisabledArchive);
    EXPECT_EQ(program_.CloseAndWait(), 0u);
}

// The dialog must sit 121, 153 dialog units from the screen's corner, with
// a client area of 118 by 29, in units of 8-point "MS Sans Serif".
TEST_F(Program, DialogSitsAtItsPlaceWithItsSize) {
    ASSERT_TRUE(program_.Start());
    // Dialog units as that font gives them, from a hidden dialog of the test's own.
    const WORD withThatFont[] = {LOWORD(DS_SETFONT), HIWORD(DS_SETFONT), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 8, 'M', 'S', ' ', 'S', 'a', 'n', 's', ' ', 'S', 'e', 'r', 'i', 'f', 0};
    const HWND twin = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                                 reinterpret_cast<LPCDLGTEMPLATEA>(withThatFont), nullptr,
                                                 IgnoreEverything, 0);
    ASSERT_NE(twin, nullptr);
    RECT place = {121, 153, 0, 0};
    RECT size = {0, 0, 118, 29};
    MapDialogRect(twin, &place);
    MapDialogRect(twin, &size);
    DestroyWindow(twin);

    RECT client = {};
    GetClientRect(program_.Dialog(), &client);
    POINT origin = {0, 0};
    ClientToScreen(program_.Dialog(), &origin);
    EXPECT_EQ(origin.x, place.left);
    EXPECT_EQ(origin.y, place.top);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    char title[64] = {};
    GetWindowTextA(program_.Dialog(), title, sizeof title);
    EXPECT_STREQ(title, "Tolvaren");
    char label[64] = {};
    GetWindowTextA(program_.Checkbox(), label, sizeof label);
    EXPECT_STREQ(label, "Extra Vehicles Enabled");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(program_.Checkbox(), GWL_STYLE)), 0x50010003u);
    EXPECT_EQ(program_.CloseAndWait(), 0u);
}

TEST_F(Program, ArgumentsAndLaterRegistryChangesAreIgnored) {
    test::RecordInstallDirectory(Install(kEnabledArchive, "First"));
    ASSERT_TRUE(program_.Start("disable --archive C:\\elsewhere.pak /?"));
    EXPECT_EQ(program_.CheckState(), BST_CHECKED);

    test::RecordInstallDirectory(Install(kEnabledArchive, "Second"));
    ExpectBox(Toggle(), kDisabledMessage, false);
    EXPECT_EQ(StateOfVehicleList(Archive("First")), 0);
    EXPECT_EQ(Archive("Second"), kEnabledArchive);
    EXPECT_EQ(Archive(), kDisabledArchive);
    EXPECT_EQ(program_.CloseAndWait(), 0u);
}

TEST_F(Program, FailuresSayWhyAndLeaveArchiveAndCheckMarkAsTheyWere) {
    const Text archivePath = folder_.Path("Game") + "\\Data\\common.pak";
    enum class Setting { None, ReadOnly, WriteDenied, HeldAfterStart, NoRecord, NoArchive };
    struct Case {
        const char* what;
        Text archive;
        Setting setting;
        LRESULT initialCheck;
        Reason reason;
        bool toldAtStartUp = false;  // the list could not be read: why, before any click
    };
    const Case cases[] = {
        {"read-only", kDisabledArchive, Setting::ReadOnly, BST_UNCHECKED, Reason::ReadOnlyFile},
        // The program runs as an administrator (under Wine, always).
        {"writing denied", kDisabledArchive, Setting::WriteDenied, BST_UNCHECKED,
         Reason::AccessDenied},
        {"held by the game", kDisabledArchive, Setting::HeldAfterStart, BST_UNCHECKED, Reason::InUse},
        {"no install record", kDisabledArchive, Setting::NoRecord, BST_UNCHECKED, Reason::NotInstalled,
         true},
        {"no archive in the Data folder", kDisabledArchive, Setting::NoArchive, BST_UNCHECKED,
         Reason::ArchiveNotFound, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::RecordInstallDirectory(Install(c.archive));
        if (c.setting == Setting::NoRecord) test::ForgetInstallDirectory();
        if (c.setting == Setting::NoArchive) std::filesystem::remove(archivePath.c_str());
        {
            std::unique_ptr<test::ReadOnlyFile> readOnly;
            if (c.setting == Setting::ReadOnly || c.setting == Setting::WriteDenied) {
                readOnly = std::make_unique<test::ReadOnlyFile>(
                    archivePath, c.setting == Setting::ReadOnly ? test::ReadOnlyFile::Mark::Yes
                                                                : test::ReadOnlyFile::Mark::No);
                ASSERT_TRUE(readOnly->Enforced());
            }
            test::ProgramDriver program;
            ASSERT_TRUE(program.Start());
            EXPECT_EQ(program.CheckState(), c.initialCheck);
            const Text where = c.setting == Setting::NoRecord ? "\\Data\\common.pak" : archivePath;
            if (c.toldAtStartUp) {
                test::MessageBoxSeen seen;
                ASSERT_TRUE(program.ReadAndDismissMessageBox(seen));
                ExpectBox(seen, (DialogText(c.reason, where) + "\r\n\r\n" + kStateNotReadNote).c_str(), true);
            }
            std::unique_ptr<test::ExclusiveHold> hold;
            if (c.setting == Setting::HeldAfterStart) {
                hold = std::make_unique<test::ExclusiveHold>(archivePath);
                ASSERT_TRUE(hold->Held());
            }
            program.Click();
            test::MessageBoxSeen seen;
            ASSERT_TRUE(program.ReadAndDismissMessageBox(seen));
            ExpectBox(seen, DialogText(c.reason, where).c_str(), true);
            EXPECT_EQ(program.CheckState(), c.initialCheck);
            EXPECT_EQ(program.CloseAndWait(), 0u);
        }
        if (c.setting == Setting::NoArchive) {
            EXPECT_FALSE(std::filesystem::exists(archivePath.c_str()));  // nothing created
        } else {
            EXPECT_EQ(Archive(), c.archive);
        }
    }
}

// A game update or a mod manager re-packs the archive while the dialog is
// open: one more record moves every entry.
TEST_F(Program, AClickAfterTheArchiveWasReplacedWritesWhereTheListNowLies) {
    const auto repacked = [](const Text& vehicleList) {
        return BuildArchive({{"Data\\Added.txt", "one more record"},
                             {"Data\\Gfx\\Menu.txt", "title=Demo\r\n"},
                             {kVehicleListName, vehicleList}});
    };
    const Text archivePath = folder_.Path("Game") + "\\Data\\common.pak";
    ASSERT_TRUE(program_.Start());
    EXPECT_EQ(program_.CheckState(), BST_UNCHECKED);
    ASSERT_TRUE(WriteWholeFile(archivePath, repacked(DemoVehicleList())));
    ExpectBox(Toggle(), kEnabledMessage, false);
    EXPECT_EQ(Archive(), repacked(SwitchVehicleKeys(DemoVehicleList(), 1)));

    const Text withoutList = BuildArchive({{"Data\\Added.txt", ";logo=x"}});
    ASSERT_TRUE(WriteWholeFile(archivePath, withoutList));
    ExpectBox(Toggle(), DialogText(Reason::NoVehicleList, archivePath).c_str(), true);
    EXPECT_EQ(program_.CheckState(), BST_CHECKED);
    EXPECT_EQ(Archive(), withoutList);
    EXPECT_EQ(program_.CloseAndWait(), 0u);
}

TEST_F(Program, RunningGameShowsTheStateThenRefusesUntilClosed) {
    auto game = std::make_unique<test::GameHold>(folder_.Path("Game") + "\\Data\\common.pak");
    ASSERT_TRUE(game->Held());
    ASSERT_TRUE(program_.Start());
    EXPECT_EQ(program_.CheckState(), BST_UNCHECKED);  // what the archive holds

    test::MessageBoxSeen seen = Toggle();
    ExpectBox(seen, DialogText(Reason::InUse, "").c_str(), true);
    EXPECT_EQ(program_.CheckState(), BST_UNCHECKED);
    EXPECT_EQ(Archive(), kDisabledArchive);

    game.reset();  // the game was closed
    ExpectBox(Toggle(), kEnabledMessage, false);
    EXPECT_EQ(program_.CheckState(), BST_CHECKED);
    EXPECT_EQ(Archive(), DemoArchiveSwitched(1));
    ExpectBox(Toggle(), kDisabledMessage, false);
    EXPECT_EQ(Archive(), DemoArchiveSwitched(0));
    EXPECT_EQ(program_.CloseAndWait(), 0u);
}

TEST_F(Program, AStandardUserIsOfferedARestartAsAnAdministrator) {
    const Text archivePath = folder_.Path("Game") + "\\Data\\common.pak";
    const test::ReadOnlyFile denied(archivePath, test::ReadOnlyFile::Mark::No);
    ASSERT_TRUE(denied.Enforced());
    ASSERT_TRUE(program_.Start("", test::ProgramDriver::Rights::StandardUser));
    EXPECT_EQ(program_.CheckState(), BST_UNCHECKED);  // read all the same

    // No: nothing changes, and nothing more is said.
    program_.Click();
    test::MessageBoxSeen seen;
    ASSERT_TRUE(program_.ReadAndDismissMessageBox(seen, 15000, IDNO));
    ExpectBox(seen, DialogText(Reason::NotElevated, archivePath).c_str(), true);
    EXPECT_TRUE(program_.NoMessageBoxFor(1000));
    EXPECT_EQ(program_.CheckState(), BST_UNCHECKED);
    EXPECT_TRUE(program_.Running());

    // Yes: the program starts again (Wine asks no one), and this one closes.
    program_.Click();
    ASSERT_TRUE(program_.ReadAndDismissMessageBox(seen, 15000, IDYES));
    EXPECT_EQ(program_.WaitForExit(), 0u);
    test::ProgramDriver restarted;
    ASSERT_TRUE(restarted.AttachToOtherInstance(program_.ProcessId()));
    EXPECT_EQ(restarted.CheckState(), BST_UNCHECKED);
    EXPECT_EQ(restarted.CloseAndWait(), 0u);
    EXPECT_EQ(Archive(), kDisabledArchive);
}

// Where Windows keeps the copy of a file that a virtualized program wrote.
Text VirtualStoreCopyOf(const Text& path) {
    char localAppData[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", localAppData, sizeof localAppData);
    return Text(localAppData) + "\\VirtualStore" + path.substr(2);
}

TEST_F(Program, AnOlderCopyInTheVirtualStoreIsNotedOnce) {
    const Text copy = VirtualStoreCopyOf(folder_.Path("Game") + "\\Data\\common.pak");
    std::filesystem::create_directories(std::filesystem::path(copy.c_str()).parent_path());
    ASSERT_TRUE(WriteWholeFile(copy, kDisabledArchive));
    ASSERT_TRUE(program_.Start());
    const test::MessageBoxSeen first = Toggle();
    ExpectBox(first, (kEnabledMessage + Text("\r\n\r\n") +
                      DialogText(Reason::VirtualStoreCopy, copy)).c_str(), false);
    ExpectBox(Toggle(), kDisabledMessage, false);
    EXPECT_EQ(program_.CloseAndWait(), 0u);
    EXPECT_EQ(ReadWholeFile(copy), kDisabledArchive);  // not touched
    std::filesystem::remove_all(VirtualStoreCopyOf(folder_.Path("")).c_str());
}

// The program takes UTF-8 from the 8-bit entry points; this test, without
// its manifest, does not, so it makes folder and record with the wide ones.
// A path's length counts in UTF-16 units, as Windows takes it: the second
// folder's archive path is longer than 259 bytes, not than 259 units.
TEST_F(Program, AnInstallFolderInAnyScriptIsReached) {
    const std::wstring base = std::filesystem::path(folder_.Path("x").c_str()).parent_path().wstring() + L"\\";
    const std::size_t letters = (250 - base.size()) / 3;  // three bytes each in UTF-8
    for (const std::wstring& name : {std::wstring(L"\x0418\x0433\x0440\x0430"), std::wstring(letters, L'\x898b')}) {
        const std::wstring game = base + name;
        ASSERT_TRUE(CreateDirectoryW(game.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((game + L"\\Data").c_str(), nullptr));
        const std::wstring archive = game + L"\\Data\\common.pak";
        {
            std::ofstream out(std::filesystem::path(archive), std::ios::binary);
            out << kDisabledArchive;
            ASSERT_TRUE(out.flush());
        }
        UniqueHkey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath, 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key.get(), L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(game.c_str()),
                                 static_cast<DWORD>((game.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        test::ProgramDriver program;
        ASSERT_TRUE(program.Start());
        EXPECT_EQ(program.CheckState(), BST_UNCHECKED);  // found and read
        program.Click();
        test::MessageBoxSeen seen;
        ASSERT_TRUE(program.ReadAndDismissMessageBox(seen));
        ExpectBox(seen, kEnabledMessage, false);
        EXPECT_EQ(program.CloseAndWait(), 0u);
        std::ifstream in(std::filesystem::path(archive), std::ios::binary);
        const std::string switched((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(Text(switched), DemoArchiveSwitched(1));
    }
}

}  // namespace
}  // namespace tolvaren
