#include <gtest/gtest.h>

#include <filesystem>


#include "cli/command_line.h"
#include "cli/platform_installations.h"
#include "core/program_archive.h"
#include "core/vehicle_list.h"
#include "tests/install_record.h"
#include "tests/test_support.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

class StateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramArchiveLocation() = ArchiveLocation{};
        std::filesystem::create_directories(install_ + "\\Data");
    }
    void TearDown() override { test::ForgetInstallDirectory(); }

    void PutArchive(const Text& bytes) { ASSERT_TRUE(WriteWholeFile(archive_, bytes)); }

    test::TempFolder folder_;
    Text install_ = folder_.Path("Game");
    Text archive_ = install_ + "\\Data\\common.pak";
};

TEST_F(StateTest, ArchivePathIsTheInstallDirectoryPlusTheSuffix) {
    PutArchive(DemoArchive());
    test::RecordInstallDirectory(install_);
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);
    EXPECT_EQ(ProgramArchiveLocation().path, install_ + "\\Data\\common.pak");
    EXPECT_GT(ProgramArchiveLocation().position, 0);
    EXPECT_EQ(ProgramArchiveLocation().size, static_cast<std::int32_t>(DemoVehicleList().size()));

    test::RecordInstallDirectory(install_ + "\\");
    EXPECT_EQ(ExtraVehiclesEnabled(), 0);  // the doubled backslash still names the folder
    EXPECT_EQ(ProgramArchiveLocation().path, install_ + "\\\\Data\\common.pak");
}

TEST_F(StateTest, MissingRecordGivesTheBareSuffixAndEnabled) {
    test::ForgetInstallDirectory();
    EXPECT_EQ(ExtraVehiclesEnabled(), 1);
    EXPECT_EQ(ProgramArchiveLocation().path, "\\Data\\common.pak");
    EXPECT_EQ(ProgramScanOutcome().reason, Reason::NotInstalled);

    HKEY key = nullptr;  // the key without its value
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(ExtraVehiclesEnabled(), 1);
    EXPECT_EQ(ProgramArchiveLocation().path, "\\Data\\common.pak");
}

TEST_F(StateTest, AnswerFollowsTheMarkerInTheArchive) {
    test::RecordInstallDirectory(install_);
    const std::pair<Text, std::int32_t> cases[] = {
        {DemoArchive(), 0},
        {BuildArchive({{"Data\\Veh\\Vehicles.dat", SwitchVehicleKeys(DemoVehicleList(), 1)}}), 1},
        {BuildArchive({{"Data\\Other.dat", DemoVehicleList()}}), 1},
    };
    for (const auto& [bytes, expected] : cases) {
        PutArchive(bytes);
        EXPECT_EQ(ExtraVehiclesEnabled(), expected);
    }
    std::filesystem::remove(archive_);
    EXPECT_EQ(ExtraVehiclesEnabled(), 1);
    EXPECT_EQ(ProgramScanOutcome().reason, Reason::ArchiveNotFound);
    EXPECT_FALSE(std::filesystem::exists(archive_));
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
    EXPECT_EQ(RunCommandLine({"enable"}, out, err, PlatformFileSystem(), FindPlatformInstallations),
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
    const bool twoViews = RegistryHasTwoViews();
    struct Case {
        bool in32, in64;
        std::vector<Text> found;
    };
    const Case cases[] = {
        {false, false, {}},
        {true, false, {archive32}},
        {false, true, {archive64}},
        {true, true, twoViews ? std::vector<Text>{archive32, archive64} : std::vector<Text>{archive64}},
    };
    for (const Case& c : cases) {
        test::ForgetInstallDirectory();
        if (c.in32) test::RecordInstallDirectory(install_, KEY_WOW64_32KEY);
        if (c.in64) test::RecordInstallDirectory(other, KEY_WOW64_64KEY);
        std::vector<Text> found;
        for (const Installation& installation : FindPlatformInstallations().found)
            found.push_back(installation.archivePath);
        EXPECT_EQ(found, c.found) << c.in32 << c.in64;
    }
    TextOutput out, err;
    EXPECT_EQ(RunCommandLine({"where"}, out, err, PlatformFileSystem(), FindPlatformInstallations),
              kExitOk);
    EXPECT_EQ(out.text(), twoViews ? archive32 + "\tregistry, 32-bit view\tdisabled\n" + archive64 +
                                        "\tregistry, native view\tarchive not found\n"
                                  : archive64 + "\tregistry, 32-bit view\tarchive not found\n");
    TextOutput none, noneErr;
    test::ForgetInstallDirectory();
    EXPECT_EQ(RunCommandLine({"status"}, none, noneErr, PlatformFileSystem(),
                             FindPlatformInstallations),
              kExitNotInstalled);
    EXPECT_NE(noneErr.text().find("HKEY_LOCAL_MACHINE\\Software\\THQ"), Text::npos) << noneErr.text();
}

}  // namespace
}  // namespace tolvaren
