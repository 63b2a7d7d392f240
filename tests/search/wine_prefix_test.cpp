// Reads prefixes that wine64 itself made (tests/make_wine_test_prefix.sh,
// run by ctest as a fixture before these cases).
#include <gtest/gtest.h>

#include <filesystem>

#include <tuple>

#include "cli/command_line.h"
#include "search/installations.h"
#include "search/wine_registry_file.h"
#include "tests/support/file_tree.h"
#include "tests/support/test_support.h"
#include "tests/support/text_output.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

const Text kPrefixes = TOLVAREN_WINE_TEST_PREFIXES;
const Text kPrefix = kPrefixes + "/prefix";
const Text kNativeViewPrefix = kPrefixes + "/native-view";
// What make_wine_test_prefix.sh recorded, and where it put the archives.
const Text kWow64Record = "C:\\Spiele\\\xC3\x9C" "ber Rennen";
const Text kNativeRecord = "C:\\Games\\My Racer";
const Text kWow64Archive = "/drive_c/spiele/\xC3\x9C" "ber rennen/DATA/Common.PAK";
const Text kNativeArchive = "/drive_c/GAMES/my racer/data/COMMON.pak";

class RealWinePrefix : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists((kPrefix + "/system.reg").c_str()))
            << "no prefix at " << kPrefixes << ": run tests/make_wine_test_prefix.sh " << kPrefixes;
    }
};

// The lines the reader must follow: Wine escapes the "Ü" (followed by a hex
// digit) with four digits and marks REG_EXPAND_SZ as str(2).
TEST_F(RealWinePrefix, Wine8WroteTheRecordsWithItsEscapes) {
    const Text registry = ReadWholeFile(kPrefix + "/system.reg");
    EXPECT_EQ(registry.rfind("WINE REGISTRY Version 2\n", 0), 0u);
    EXPECT_NE(registry.find("[Software\\\\Wow6432Node\\\\THQ\\\\MXvsATV\\\\Install] "), Text::npos);
    EXPECT_NE(registry.find("\n\"Path\"=\"C:\\\\Spiele\\\\\\x00dcber Rennen\"\n"), Text::npos);
    EXPECT_NE(registry.find("\n\"Path\"=str(2):\"C:\\\\Games\\\\My Racer\"\n"), Text::npos);
}

TEST_F(RealWinePrefix, ReadsBothViewsBack) {
    const Text registry = kPrefix + "/system.reg";
    const Text wow64Key = "Software\\Wow6432Node\\THQ\\MXvsATV\\Install";
    const Text nativeKey = "Software\\THQ\\MXvsATV\\Install";
    const struct {
        Text file;
        List<Text> keys;
        std::optional<Text> value;
    } cases[] = {
        {registry, {wow64Key, nativeKey}, kWow64Record},
        {registry, {nativeKey, wow64Key}, kNativeRecord},
        {registry, {wow64Key}, kWow64Record},
        {registry, {nativeKey}, kNativeRecord},
        {kNativeViewPrefix + "/system.reg", {wow64Key, nativeKey}, kNativeRecord},
        {kNativeViewPrefix + "/system.reg", {wow64Key}, std::nullopt},
    };
    for (const auto& c : cases) {
        const RegistryStringLookup lookup = LookUpRegistryStringInFile(c.file, c.keys, "Path");
        EXPECT_EQ(lookup.Why().reason, Reason::Done) << c.file;
        EXPECT_EQ(ValueOf(lookup), c.value) << c.file << " " << c.keys[0];
    }
}

TEST_F(RealWinePrefix, FindsEachArchiveWhateverTheLetterCaseOnDisk) {
    test::TempFolder emptyHome;
    const struct {
        Text prefix, archive;
    } cases[] = {
        {kPrefix, test::Canonical(kPrefix) + kWow64Archive},
        {kNativeViewPrefix, test::Canonical(kPrefix) + kNativeArchive},
    };
    for (const auto& c : cases) {
        const InstallationSearch search = FindInstallations(PlatformFileSystem(), {emptyHome.Path(""), c.prefix});
        EXPECT_TRUE(search.problems.empty());
        ASSERT_EQ(search.found.size(), 1u) << c.prefix;
        EXPECT_EQ(search.found[0].place, c.prefix);
        EXPECT_EQ(search.found[0].archivePath, c.archive);
        EXPECT_TRUE(std::filesystem::is_regular_file(search.found[0].archivePath.c_str())) << c.archive;
    }
}

TEST_F(RealWinePrefix, AHomeThatLeadsToThePrefixesSeveralWaysFindsEachOnce) {
    test::TempFolder folder;
    const Text home = folder.Path("home");
    test::MakeLink(home + "/.wine", kPrefix);
    test::MakeLink(home + "/Games/again", kPrefix);
    test::MakeLink(home + "/Games/native", kNativeViewPrefix);
    const InstallationSearch search = FindInstallations(PlatformFileSystem(), {home, ""});
    EXPECT_TRUE(search.problems.empty());
    ASSERT_EQ(search.found.size(), 2u);
    EXPECT_EQ(search.found[0].place, home + "/.wine");
    EXPECT_EQ(search.found[0].archivePath, test::Canonical(kPrefix) + kWow64Archive);
    EXPECT_EQ(search.found[1].place, home + "/Games/native");
    EXPECT_EQ(search.found[1].archivePath, test::Canonical(kPrefix) + kNativeArchive);
}

// In a prefix of the test's own, whose registry is the one Wine wrote and
// whose drive C holds a demo archive: the shared prefixes stay as they are.
TEST_F(RealWinePrefix, TheToolSwitchesTheGameItFindsInAPrefix) {
    test::TempFolder folder;
    const Text prefix = folder.Path("pfx");
    test::MakeFile(prefix + "/system.reg", ReadWholeFile(kPrefix + "/system.reg"));
    test::MakeLink(prefix + "/dosdevices/c:", "../drive_c");
    test::MakeFile(prefix + kWow64Archive, DemoArchive());
    const Text archive = test::Canonical(prefix + kWow64Archive);
    const auto finder = [&](FileSystem& files) { return FindInstallations(files, {folder.Path("home"), prefix}); };
    const auto run = [&](const Text& command) {
        test::TextOutput out, err;
        const int code = RunCommandLine({command}, out, err, PlatformFileSystem(), finder);
        return std::tuple{code, out.text(), err.text()};
    };
    EXPECT_EQ(run("where"), std::tuple(0, archive + "\t" + prefix + "\tdisabled\n", Text()));
    const Text using_ = "tolvaren-cli: using " + archive + " (" + prefix + ")\n";
    EXPECT_EQ(run("enable"), std::tuple(0, Text("Extra vehicles have been enabled.\n"), using_));
    EXPECT_EQ(run("status"), std::tuple(0, Text("enabled\n"), using_));
}

}  // namespace
}  // namespace tolvaren
