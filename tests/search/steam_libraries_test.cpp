#include <gtest/gtest.h>

#include "search/steam_libraries.h"
#include "tests/support/file_tree.h"
#include "tests/support/test_support.h"

namespace tolvaren {
namespace {

struct VdfCase {
    const char* what;
    Text vdf;
    List<Text> paths;
};

// As current Steam writes it, with the tabs and the apps blocks.
const Text kSteamWritten = R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/me/.local/share/Steam"
		"label"		""
		"contentid"		"4812046523416913409"
		"totalsize"		"0"
		"update_clean_bytes_tally"		"79871525"
		"time_last_update_corruption"		"0"
		"apps"
		{
			"228980"		"224464367"
		}
	}
	"1"
	{
		"path"		"/mnt/games/SteamLibrary"
		"label"		"games"
		"apps"
		{
		}
	}
}
)";

TEST(SteamLibraries, EveryPathKeyWithATextValueNamesALibrary) {
    const VdfCase cases[] = {
        {"as Steam writes it", kSteamWritten, {"/home/me/.local/share/Steam", "/mnt/games/SteamLibrary"}},
        {"comments, and // inside quotes is text",
         "// made by hand\n\"libraryfolders\" { // the list\n \"0\" { \"path\" \"/mnt/a//b\" } // after\n}\n",
         {"/mnt/a//b"}},
        {"escaped quote and backslash; other backslashes stay",
         R"("lf" { "0" { "path" "/mnt/we\"ird\\name\n" } })", {"/mnt/we\"ird\\name\\n"}},
        {"keys in any letter case, at any depth",
         R"("lf" { "0" { "Path" "/a" } "1" { "x" { "y" { "PATH" "/b" } } } "path" "/c" })",
         {"/a", "/b", "/c"}},
        {"a path key with a block, and \"path\" as a value, name none",
         R"("lf" { "path" { "path2" "/no" } "label" "path" "0" { "path" "/yes" } })", {"/yes"}},
        {"bare tokens", "libraryfolders { 0 { path /mnt/bare } }", {"/mnt/bare"}},
        {"platform conditions are ignored",
         R"("lf" { "0" { "label" "l" [!$WIN32] "path" "/mnt/x" [$LINUX] } })", {"/mnt/x"}},
        {"empty value", R"("lf" { "0" { "path" "" } })", {""}},
        {"all on one line, no spaces", R"("lf"{"0"{"path""/a"}"1"{"path""/b"}})", {"/a", "/b"}},
        {"as Steam wrote it before mid-2021: the numbered keys' values",
         "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1589876543\"\n\t\"ContentStatsID\"\t\t"
         "\"-5183921563\"\n\t\"1\"\t\t\"/mnt/games/SteamLibrary\"\n\t\"2\"\t\t\"/mnt/old\"\n}\n",
         {"/mnt/games/SteamLibrary", "/mnt/old"}},
        {"numbered keys deeper in are apps, not libraries",
         R"("lf" { "0" { "path" "/a" "apps" { "228980" "224464367" } } })", {"/a"}},
        {"nothing", "", {}},
        {"only a comment", "// nothing here", {}},
    };
    for (const VdfCase& c : cases) {
        const SteamLibraryList list = LibraryPathsInVdf(c.vdf);
        EXPECT_EQ(list.paths, c.paths) << c.what;
        EXPECT_EQ(list.problem.reason, Reason::Done) << c.what;
    }
}

TEST(SteamLibraries, AMalformedListKeepsThePathsBeforeTheFaultAndSaysWhere) {
    const struct {
        const char* what;
        Text vdf;
        List<Text> paths;
        Text problem;
    } cases[] = {
        {"unterminated quote", "\"lf\"\n{\n \"0\" { \"path\" \"/a\" }\n \"1\" { \"path\" \"/b }\n}\n",
         {"/a"}, "line 4: a quoted text has no closing quote"},
        {"missing }", "\"lf\"\n{\n \"0\" { \"path\" \"/a\" }\n", {"/a"},
         "line 4: a block has no closing }"},
        {"one } too many", "\"lf\" { \"path\" \"/a\" }\n}\n\"path\" \"/late\"", {"/a"},
         "line 2: } without a block to close"},
        {"a key without a value", "\"lf\" { \"0\" { \"path\" } }", {}, "line 1: the key \"path\" has no value"},
        {"a key at the end", "\"lf\" { \"path\" \"/a\" } \"dangling\"", {"/a"},
         "line 1: the key \"dangling\" has no value"},
        {"a block without a key", "{ \"path\" \"/a\" }", {}, "line 1: a block without a key"},
    };
    for (const auto& c : cases) {
        const SteamLibraryList list = LibraryPathsInVdf(c.vdf);
        EXPECT_EQ(list.paths, c.paths) << c.what;
        EXPECT_EQ(list.problem.reason, Reason::Malformed) << c.what;
        EXPECT_EQ(list.problem.detail, c.problem) << c.what;
    }
}

// A Steam folder is a library itself; its list adds the others, a missing
// list none, one that cannot be read none, said.
TEST(SteamLibraries, AFolderIsALibraryAndItsListNamesTheOthers) {
    test::TempFolder folder;
    test::MakeFile(folder.Path("written/steamapps/libraryfolders.vdf"), kSteamWritten);
    test::MakeFile(folder.Path("relative/steamapps/libraryfolders.vdf"),
                   R"("lf" { "0" { "path" "games/lib" } "1" { "path" "/mnt/lib" } })");
    test::MakeFolder(folder.Path("missing"));
    test::MakeFolder(folder.Path("unreadable/steamapps/libraryfolders.vdf"));
    const struct {
        Text steam;
        std::size_t libraries;
        Text problem;
    } cases[] = {{folder.Path("written"), 3, ""}, {folder.Path("relative"), 2, ""}, {folder.Path("missing"), 1, ""},
                 {folder.Path("unreadable"), 1, "Is a directory"}};
    for (const auto& c : cases) {
        List<SearchProblem> problems;
        const List<Text> libraries = SteamLibrariesOf(PlatformFileSystem(), c.steam, problems);
        ASSERT_EQ(libraries.size(), c.libraries) << c.steam;
        EXPECT_EQ(libraries[0], c.steam);
        EXPECT_EQ(problems.empty() ? Text() : problems[0].why.detail, c.problem) << c.steam;
    }
}

}  // namespace
}  // namespace tolvaren
