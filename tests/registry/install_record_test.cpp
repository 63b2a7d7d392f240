// The game's install record read from the registry: by the program's state
// test, and by the tool in both registry views.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/command_line.h"
#include "core/vehicle_list.h"
#include "registry/install_record.h"
#include "registry/registry_helpers.h"
#include "tests/support/install_record.h"
#include "tests/support/test_support.h"
#include "tests/support/text_output.h"
#include "tools/archive_builder.h"
#include "ui/program_state.h"

namespace tolvaren {
namespace {

using test::TextOutput;

class StateTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories((install_ + "\\Data").c_str()); }
    void TearDown() override { test::ForgetInstallDirectory(); }

    void PutArchive(const Text& bytes) { ASSERT_TRUE(WriteWholeFile(archive_, bytes)); }

    // A fresh start of the program: it reads the record once.
    std::int32_t ExtraVehiclesEnabled() {
        program_ = std::make_unique<ProgramState>(PlatformFileSystem(), ProgramInstallFolder);
        return program_->ExtraVehiclesEnabled();
    }
    const ArchiveLocation& Location() const { return program_->Location(); }

    test::TempFolder folder_;
    Text install_ = folder_.Path("Game");
    Text archive_ = install_ + "\\Data\\common.pak";
    std::unique_ptr<ProgramState> program_;
};

TEST_F(StateTest, ArchivePathIsTheInstallDirectoryPlusTheSuffix) {
    PutArchive(DemoArchive());
    test::RecordInstallDirectory(install_);
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);
    EXPECT_EQ(Location().path, install_ + "\\Data\\common.pak");
    EXPECT_GT(Location().position, 0);
    EXPECT_EQ(Location().size, static_cast<std::int32_t>(DemoVehicleList().size()));

    test::RecordInstallDirectory(install_ + "\\");
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);  // the doubled backslash still names the folder
    EXPECT_EQ(Location().path, install_ + "\\\\Data\\common.pak");
}

TEST_F(StateTest, AMissingOrTooLongRecordIsToldAndShowsNoState) {
    test::ForgetInstallDirectory();
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);
    EXPECT_EQ(Location().path, "\\Data\\common.pak");
    EXPECT_EQ(program_->StartUpProblem().reason, Reason::NotInstalled);

    UniqueHkey key;  // the key without its value
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath, 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);
    EXPECT_EQ(Location().path, "\\Data\\common.pak");
    EXPECT_EQ(program_->StartUpProblem().reason, Reason::NotInstalled);

    // 256 bytes and its terminating zero do not fit the lookup's buffer.
    test::RecordInstallDirectory("C:\\" + Text(253, 'g'));
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);
    EXPECT_EQ(program_->StartUpProblem().reason, Reason::RecordTooLong);
    test::RecordInstallDirectory("C:\\" + Text(252, 'g'));
    ExtraVehiclesEnabled();
    EXPECT_NE(program_->StartUpProblem().reason, Reason::RecordTooLong);
    EXPECT_NE(program_->StartUpProblem().reason, Reason::NotInstalled);

    // A folder the 8-bit calls of this code page (the tests run without the
    // program's UTF-8 one) would read as "C:\????": told as such, by the
    // program and the tool.
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8));
    const wchar_t cyrillic[] = L"C:\\\x0418\x0433\x0440\x0430";
    ASSERT_EQ(RegSetValueExW(key.get(), L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(cyrillic), sizeof cyrillic),
              ERROR_SUCCESS);
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);
    EXPECT_EQ(program_->StartUpProblem().reason, Reason::NotSpellable);
    const InstallationSearch search = FindRegistryInstallations(PlatformFileSystem());
    EXPECT_TRUE(search.found.empty());
    ASSERT_EQ(search.problems.size(), 1u);
    EXPECT_EQ(search.problems[0].why.reason, Reason::NotSpellable);
}

// A standard user may read the machine's record, not open it with full
// access: the program reads it all the same. (Wine keeps to the key's
// access list, here one that lets no one change the key.)
TEST_F(StateTest, ARecordOnlyReadableIsReadWithReadAccess) {
    PutArchive(DemoArchive());
    test::RecordInstallDirectory(install_);
    test::SetInstallKeyAccess("D:P(A;;KR;;;WD)");
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallValueName), "");
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);
    EXPECT_EQ(Location().path, archive_);
    ASSERT_FALSE(FindRegistryInstallations(PlatformFileSystem()).found.empty());
    EXPECT_EQ(FindRegistryInstallations(PlatformFileSystem()).found.front().archivePath, archive_);
}

// What a virtualized installer wrote to HKEY_LOCAL_MACHINE\Software lies in
// this user's VirtualStore: with no record on the machine, that one counts.
TEST_F(StateTest, WithoutAMachineRecordTheUsersVirtualStoreCopyCounts) {
    PutArchive(DemoArchive());
    for (const Text keyPath : kVirtualStoreInstallKeyPaths) {
        SCOPED_TRACE(keyPath);
        test::ForgetInstallDirectory();
        test::WriteFolderValue(HKEY_CURRENT_USER, keyPath, install_);
        EXPECT_EQ(ExtraVehiclesEnabled(), 0);
        EXPECT_EQ(Location().path, archive_);
        const InstallationSearch search = FindRegistryInstallations(PlatformFileSystem());
        ASSERT_EQ(search.found.size(), 1u);
        EXPECT_EQ(search.found[0].archivePath, archive_);
        EXPECT_EQ(SourceText(search.found[0]), "registry, this user's VirtualStore");
        // The machine's record comes first.
        test::RecordInstallDirectory(folder_.Path("Machine"));
        EXPECT_EQ(*ProgramInstallFolder(), folder_.Path("Machine"));
        EXPECT_EQ(FindRegistryInstallations(PlatformFileSystem()).found.size(), 1u);
        EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\VirtualStore\\MACHINE"),
                  ERROR_SUCCESS);
    }
}

TEST_F(StateTest, AnswerFollowsTheMarkerInTheArchive) {
    test::RecordInstallDirectory(install_);
    const std::pair<Text, std::int32_t> cases[] = {
        {DemoArchive(), 0},
        {BuildArchive({{"Data\\Veh\\Vehicles.dat", SwitchVehicleKeys(DemoVehicleList(), 1)}}), 1},
        {BuildArchive({{"Data\\Other.dat", DemoVehicleList()}}), 0},  // no list: no state
    };
    for (const auto& [bytes, expected] : cases) {
        PutArchive(bytes);
        EXPECT_EQ(ExtraVehiclesEnabled(), expected);
    }
    EXPECT_EQ(program_->StartUpProblem().reason, Reason::NoVehicleList);
    std::filesystem::remove(archive_.c_str());
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);
    EXPECT_EQ(program_->StartUpProblem().reason, Reason::ArchiveNotFound);
    EXPECT_FALSE(std::filesystem::exists(archive_.c_str()));
}

// 32-bit Windows has one view; both flags name it.
bool RegistryHasTwoViews() {
    BOOL wow64 = FALSE;
    return sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

TEST_F(StateTest, CommandLineWithoutArchiveUsesTheInstalledOne) {
    PutArchive(DemoArchive());
    test::RecordInstallDirectory(install_);
    TextOutput out, err;
    EXPECT_EQ(RunCommandLine({"enable"}, out, err, PlatformFileSystem(), FindRegistryInstallations),
              kExitOk);
    EXPECT_EQ(out.text(), "Extra vehicles have been enabled.\n");
    const char* view = RegistryHasTwoViews() ? "native view" : "32-bit view";
    EXPECT_EQ(err.text(), "tolvaren-cli: using " + archive_ + " (registry, " + view + ")\n");
    EXPECT_EQ(StateOfVehicleList(ReadWholeFile(archive_)), 1);
}

TEST_F(StateTest, ToolReadsThe32BitViewFirstThenTheNativeOne) {
    PutArchive(DemoArchive());
    const Text other = folder_.Path("Other");
    const Text archive32 = install_ + "\\Data\\common.pak";
    const Text archive64 = other + "\\Data\\common.pak";
    const Text longFolder = "C:\\" + Text(300, 'x');  // longer than the program can use
    const bool twoViews = RegistryHasTwoViews();
    struct Case {
        Text folder32, folder64;  // empty: no record in that view
        std::vector<Text> found;
    };
    const Case cases[] = {
        {"", "", {}},
        {install_, "", {archive32}},
        {"", other, {archive64}},
        {install_, other, twoViews ? std::vector<Text>{archive32, archive64} : std::vector<Text>{archive64}},
        {longFolder, "", {longFolder + "\\Data\\common.pak"}},
    };
    for (const Case& c : cases) {
        test::ForgetInstallDirectory();
        if (!c.folder32.empty()) test::RecordInstallDirectory(c.folder32, KEY_WOW64_32KEY);
        if (!c.folder64.empty()) test::RecordInstallDirectory(c.folder64, KEY_WOW64_64KEY);
        std::vector<Text> found;
        for (const Installation& installation : FindRegistryInstallations(PlatformFileSystem()).found)
            found.push_back(installation.archivePath);
        EXPECT_EQ(found, c.found) << c.folder32 << " / " << c.folder64;
    }
    test::ForgetInstallDirectory();  // both records, as in the fourth case
    test::RecordInstallDirectory(install_, KEY_WOW64_32KEY);
    test::RecordInstallDirectory(other, KEY_WOW64_64KEY);
    TextOutput out, err;
    EXPECT_EQ(RunCommandLine({"where"}, out, err, PlatformFileSystem(), FindRegistryInstallations),
              kExitOk);
    EXPECT_EQ(out.text(), twoViews ? archive32 + "\tregistry, 32-bit view\tdisabled\n" + archive64 +
                                        "\tregistry, native view\tarchive not found\n"
                                  : archive64 + "\tregistry, 32-bit view\tarchive not found\n");
    TextOutput none, noneErr;
    test::ForgetInstallDirectory();
    EXPECT_EQ(RunCommandLine({"status"}, none, noneErr, PlatformFileSystem(),
                             FindRegistryInstallations),
              kExitNotInstalled);
    EXPECT_NE(noneErr.text().find("HKEY_LOCAL_MACHINE\\Software\\THQ"), Text::npos) << noneErr.text();
}

// A Steam game never started has no record: the tool finds it in the
// libraries of the Steam folder the registry names, by its archive.
TEST_F(StateTest, TheToolFindsASteamGameWithoutARecordByItsArchive) {
    const Text steam = folder_.Path("Steam");
    const Text library = folder_.Path("Library");
    const Text game = library + "\\steamapps\\common\\Racer\\Data\\common.pak";
    std::filesystem::create_directories((library + "\\steamapps\\common\\Racer\\Data").c_str());
    std::filesystem::create_directories((steam + "\\steamapps\\common\\Other\\Data").c_str());
    ASSERT_TRUE(WriteWholeFile(game, DemoArchive()));
    ASSERT_TRUE(WriteWholeFile(steam + "\\steamapps\\common\\Other\\Data\\common.pak", "no list"));
    Text escaped;  // as Steam writes a Windows path in its list
    for (const char c : library) escaped += c == '\\' ? Text("\\\\") : Text(1, c);
    // Steam writes UTF-8: a library this code page cannot spell is skipped, said.
    ASSERT_TRUE(WriteWholeFile(steam + "\\steamapps\\libraryfolders.vdf",
                               "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + escaped +
                                   "\"\n\t}\n\t\"1\" { \"path\" \"D:\\\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\" }\n}\n"));
    test::WriteFolderValue(HKEY_CURRENT_USER, "Software\\Valve\\Steam", steam, 0, "SteamPath");
    test::ForgetInstallDirectory();
    InstallationSearch search = FindRegistryInstallations(PlatformFileSystem());
    ASSERT_EQ(search.found.size(), 1u) << ::testing::PrintToString(search.places);
    EXPECT_EQ(search.found[0].archivePath, game);
    EXPECT_EQ(SourceText(search.found[0]), "Steam library " + library);
    ASSERT_EQ(search.problems.size(), 1u);
    EXPECT_EQ(search.problems[0].why.reason, Reason::NotSpellable);
    EXPECT_EQ(search.problems[0].file, "library 2");
    // Recorded too, it is listed once.
    test::RecordInstallDirectory(library + "\\steamapps\\common\\Racer");
    search = FindRegistryInstallations(PlatformFileSystem());
    ASSERT_EQ(search.found.size(), 1u);
    EXPECT_EQ(SourceText(search.found[0]).rfind("registry, ", 0), 0u) << SourceText(search.found[0]);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Valve"), ERROR_SUCCESS);
}

}  // namespace
}  // namespace tolvaren
