#include <gtest/gtest.h>

#include "search/prefix_path.h"
#include "tests/support/file_tree.h"
#include "tests/support/test_support.h"

namespace tolvaren {
namespace {

// A prefix whose drive C is the usual relative link, drive D a chain of
// absolute links, drive Z a stand-in for the Unix root.
class PrefixPath : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeFolder(prefix_ + "/drive_c/Games/My Racer/Data");
        test::MakeFolder(prefix_ + "/drive_c/Spiele/\xC3\x9C" "ber Rennen");
        test::MakeFolder(prefix_ + "/drive_c/Mixed/data");
        test::MakeFolder(prefix_ + "/drive_c/Mixed/DATA");
        test::MakeFolder(prefix_ + "/drive_c/Exact/Data");
        test::MakeFolder(prefix_ + "/drive_c/Exact/DATA");
        test::MakeFile(prefix_ + "/drive_c/Games/My Racer/Data/common.pak", "");
        test::MakeFolder(folder_.Path("disc/Setup"));
        test::MakeLink(folder_.Path("disc-link"), folder_.Path("disc"));
        test::MakeFolder(folder_.Path("root/home"));
        test::MakeLink(prefix_ + "/dosdevices/c:", "../drive_c");
        test::MakeLink(prefix_ + "/dosdevices/d:", folder_.Path("disc-link"));
        test::MakeLink(prefix_ + "/dosdevices/z:", folder_.Path("root"));
        test::MakeLink(prefix_ + "/dosdevices/y:", folder_.Path("gone"));
    }

    test::TempFolder folder_;
    const Text prefix_ = folder_.Path("pfx");
};

TEST_F(PrefixPath, FollowsTheDriveLinkAndMatchesEachComponentWithoutRegardToCase) {
    const Text c = test::Canonical(prefix_ + "/drive_c");
    const Text game = c + "/Games/My Racer";
    const struct {
        Text windows, unix;
    } cases[] = {
        {"C:\\Games\\My Racer", game},
        {"c:\\games\\my RACER", game},
        {"C:\\GAMES\\\\My Racer\\", game},
        {"C:/Games/My Racer", game},
        {"C:\\Games/My Racer", game},
        {"\\\\?\\C:\\Games\\My Racer", game},
        {"\\??\\C:\\Games\\My Racer", game},
        {"C:\\Games\\.\\Nowhere\\..\\My Racer", game},
        {"C:Games\\My Racer", game},
        {"C:\\..\\..\\Games\\My Racer", game},  // never above the drive's root
        {"C:\\GAMES\\MY RACER\\DATA\\COMMON.PAK", game + "/Data/common.pak"},
        {"C:\\", c},
        {"C:", c},
        {"C:\\SPIELE\\\xC3\x9C" "ber rennen", c + "/Spiele/\xC3\x9C" "ber Rennen"},
        {"D:\\setup", test::Canonical(folder_.Path("disc")) + "/Setup"},
        {"Z:\\HOME", test::Canonical(folder_.Path("root")) + "/home"},
        {"C:\\Exact\\Data", c + "/Exact/Data"},  // as written, when it is there
        {"C:\\Mixed\\Data", c + "/Mixed/DATA"},  // else the first in byte order
    };
    for (const auto& cs : cases) EXPECT_EQ(UnixPathInPrefix(prefix_, cs.windows), cs.unix) << cs.windows;
}

TEST_F(PrefixPath, GivesTheRestAsWrittenFromTheFirstMissingComponent) {
    const Text c = test::Canonical(prefix_ + "/drive_c");
    const struct {
        Text windows, unix;
    } cases[] = {
        {"C:\\Games\\Missing\\Data\\common.pak", c + "/Games/Missing/Data/common.pak"},
        {"C:\\gAmes\\missing\\DATA", c + "/Games/missing/DATA"},
        // ASCII letters only: "ü" is not "Ü".
        {"C:\\Spiele\\\xC3\xBC" "ber Rennen", c + "/Spiele/\xC3\xBC" "ber Rennen"},
        {"E:\\Game\\Data", prefix_ + "/dosdevices/e:/Game/Data"},  // no such drive
        {"Y:\\Game", prefix_ + "/dosdevices/y:/Game"},             // a drive whose link leads nowhere
    };
    for (const auto& cs : cases) EXPECT_EQ(UnixPathInPrefix(prefix_, cs.windows), cs.unix) << cs.windows;
}

TEST_F(PrefixPath, APathWithoutADriveLetterHasNone) {
    for (const Text windows : {"", "C", ":\\x", "1:\\x", "\\Games\\x", "Games\\x",
                               "\\\\server\\share\\x", "%ProgramFiles%\\x", "\\\\?\\UNC\\s\\x"})
        EXPECT_EQ(UnixPathInPrefix(prefix_, windows), std::nullopt) << windows;
}

}  // namespace
}  // namespace tolvaren
