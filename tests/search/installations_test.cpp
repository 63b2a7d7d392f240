#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <regex>

#include "cli/tool_texts.h"
#include "search/installations.h"
#include "search/prefix_sweep.h"
#include "tests/support/file_tree.h"
#include "tests/support/test_support.h"
#include "tools/archive_builder.h"

namespace tolvaren {

namespace {

// An installation as the tool names it.
struct Seen {
    Text archivePath, source;
    bool operator==(const Seen& other) const {
        return archivePath == other.archivePath && source == other.source;
    }
};
void PrintTo(const Seen& seen, std::ostream* out) { *out << "{" << seen.archivePath << " in " << seen.source << "}"; }

// What the tool makes of a search: the installations found, its warnings,
// where it looked.
struct Found {
    std::vector<Seen> found;
    std::vector<Text> warnings;
    std::vector<Text> places;
    bool noHome;
};

Found Find(const SearchEnvironment& environment) {
    const InstallationSearch search = FindInstallations(PlatformFileSystem(), environment);
    Found result{{}, {}, {search.places.begin(), search.places.end()}, search.noHome};
    for (const Installation& installation : search.found)
        result.found.push_back({installation.archivePath, SourceText(installation)});
    for (const SearchProblem& problem : search.problems) result.warnings.push_back(Printable(ProblemText(problem)));
    return result;
}

namespace fs = std::filesystem;

Text Registry(const Text& body) {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
           "[Software\\\\Wine] 1700000000\n#time=1d9f0e2b3c4d5e6\n\"Version\"=\"wine-8.0\"\n\n" + body;
}
const Text kWithoutGame = Registry("");
// The paths as Wine writes them: backslashes doubled.
Text Wow64Section(const Text& writtenPath) {
    return "[Software\\\\Wow6432Node\\\\THQ\\\\MXvsATV\\\\Install] 1700000000\n"
           "#time=1d9f0e2b3c4d5e7\n\"Path\"=\"" + writtenPath + "\"\n\n";
}
Text NativeExpandSection(const Text& writtenPath) {
    return "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1700000000\n"
           "#time=1d9f0e2b3c4d5e7\n\"Path\"=str(2):\"" + writtenPath + "\"\n\n";
}
Text Wow64Record(const Text& writtenPath) { return Registry(Wow64Section(writtenPath)); }
Text NativeExpandRecord(const Text& writtenPath) { return Registry(NativeExpandSection(writtenPath)); }

void MakePrefix(const Text& prefix, const Text& registry) {
    test::MakeFile(prefix + "/system.reg", registry);
    test::MakeFolder(prefix + "/drive_c/windows");
    test::MakeLink(prefix + "/dosdevices/c:", "../drive_c");
}

Text LibraryList(const std::vector<Text>& paths, const Text& tail = "}\n") {
    Text vdf = "\"libraryfolders\"\n{\n";
    for (std::size_t i = 0; i < paths.size(); ++i)
        vdf += "\t\"" + DecimalText(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + paths[i] +
               "\"\n\t\t\"apps\"\n\t\t{\n\t\t}\n\t}\n";
    return vdf + tail;
}

// What every entry under a folder is, to show that a search changed nothing.
std::map<Text, Text> Snapshot(const Text& folder) {
    std::map<Text, Text> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder.c_str())) {
        const fs::file_status status = entry.symlink_status();
        Text what = DecimalText(static_cast<int>(status.type())) + " " +
                    DecimalText(static_cast<int>(status.permissions()));
        if (fs::is_symlink(status)) what += " -> " + fs::read_symlink(entry.path()).string();
        if (fs::is_regular_file(status)) what += " " + DecimalText(entry.file_size());
        if (!fs::is_symlink(status))
            what += " " + DecimalText(entry.last_write_time().time_since_epoch().count());
        entries[Text(entry.path().string())] = what;
    }
    return entries;
}

bool Contains(const Text& text, const Text& part) { return text.find(part) != Text::npos; }

// A home with the game in a Steam library, in Lutris and in Bottles, reached
// by several ways each, and prefixes that are broken or hold no game.
class SyntheticHome : public ::testing::Test {
protected:
    void SetUp() override {
        MakePrefix(home_ + "/.wine", kWithoutGame);

        test::MakeLink(home_ + "/.steam/steam", "../.local/share/Steam");
        test::MakeFile(steam_ + "/steamapps/libraryfolders.vdf",
                       LibraryList({steam_, library_, "relative/library"}));
        MakePrefix(steam_ + "/steamapps/compatdata/228980/pfx", "not a registry\n");
        test::MakeFolder(steam_ + "/steamapps/compatdata/1000");
        MakePrefix(steam_ + "/steamapps/compatdata/500/pfx", NativeExpandRecord(R"(C:\\Games\\MyRacer)"));
        test::MakeFile(steam_ + "/steamapps/compatdata/500/pfx/drive_c/games/myracer/data/common.pak", "");

        test::MakeFile(flatpakSteam_ + "/steamapps/libraryfolders.vdf",
                       LibraryList({library_, gone_}, "\t\"2\" { \"path\" \"/never\n}\n"));
        // Both views; the 32-bit one counts.
        MakePrefix(library_ + "/steamapps/compatdata/123/pfx",
                   Registry(NativeExpandSection(R"(C:\\Native)") +
                            Wow64Section(R"(C:\\Program Files (x86)\\Vendor\\My Racer)")));
        test::MakeFile(library_ + "/steamapps/compatdata/123/pfx/drive_c/program files (x86)/vendor/"
                                  "MY RACER/Data/Common.pak",
                       "");

        MakePrefix(home_ + "/Games/my-racer", NativeExpandRecord(R"(D:\\MyRacer)"));
        test::MakeFolder(folder_.Path("dvd"));
        test::MakeLink(home_ + "/Games/my-racer/dosdevices/d:", folder_.Path("dvd"));
        test::MakeLink(home_ + "/Games/alias", library_ + "/steamapps/compatdata/123/pfx");
        MakePrefix(home_ + "/Games/.hidden", Wow64Record(R"(C:\\Hidden)"));

        MakePrefix(home_ + "/.local/share/bottles/bottles/Gaming", Wow64Record(R"(C:\\Games\\Racer)"));
        test::MakeFile(home_ + "/.local/share/bottles/bottles/Gaming/drive_c/Games/Racer/Data/common.pak", "");
        MakePrefix(home_ + "/.var/app/com.usebottles.bottles/data/bottles/bottles/Empty", kWithoutGame);

        MakePrefix(home_ + "/Games/Heroic/Prefixes/default/MyRacer", Wow64Record(R"(\\\\server\\share\\Racer)"));
        MakePrefix(home_ + "/Games/Heroic/Prefixes/Other", kWithoutGame);
    }

    test::TempFolder folder_;
    const Text home_ = folder_.Path("home");
    const Text steam_ = home_ + "/.local/share/Steam";
    const Text flatpakSteam_ = home_ + "/.var/app/com.valvesoftware.Steam/.local/share/Steam";
    const Text library_ = folder_.Path("SteamLibrary");
    const Text gone_ = folder_.Path("gone");
};

TEST_F(SyntheticHome, FindsEachInstallationOnceInSearchOrder) {
    const auto before = Snapshot(folder_.Path(""));
    const Found search = Find({home_, ""});
    EXPECT_EQ(Snapshot(folder_.Path("")), before) << "the search changed a file";

    const std::vector<Seen> expected = {
        {test::Canonical(steam_) + "/steamapps/compatdata/500/pfx/drive_c/games/myracer/data/common.pak",
         home_ + "/.steam/steam/steamapps/compatdata/500/pfx"},
        {test::Canonical(library_) +
             "/steamapps/compatdata/123/pfx/drive_c/program files (x86)/vendor/MY RACER/Data/Common.pak",
         library_ + "/steamapps/compatdata/123/pfx"},
        {test::Canonical(folder_.Path("dvd")) + "/MyRacer/Data/common.pak", home_ + "/Games/my-racer"},
        {test::Canonical(home_ + "/.local/share/bottles/bottles/Gaming") + "/drive_c/Games/Racer/Data/common.pak",
         home_ + "/.local/share/bottles/bottles/Gaming"},
    };
    EXPECT_EQ(search.found, expected);

    ASSERT_EQ(search.warnings.size(), 3u) << ::testing::PrintToString(search.warnings);
    EXPECT_TRUE(Contains(search.warnings[0], flatpakSteam_ + "/steamapps/libraryfolders.vdf: line "))
        << search.warnings[0];
    EXPECT_EQ(search.warnings[1].rfind("skipping " + home_ + "/.steam/steam/steamapps/compatdata/228980/pfx: "
                                       "system.reg: not a Wine registry file", 0),
              0u)
        << search.warnings[1];
    EXPECT_EQ(search.warnings[2].rfind("skipping " + home_ + "/Games/Heroic/Prefixes/default/MyRacer: ", 0), 0u)
        << search.warnings[2];
    EXPECT_TRUE(Contains(search.warnings[2], "\"\\\\server\\share\\Racer\"")) << search.warnings[2];

    const std::vector<Text> places = {
        home_ + "/.wine",
        home_ + "/.steam/steam/steamapps/compatdata/*/pfx",
        library_ + "/steamapps/compatdata/*/pfx",
        flatpakSteam_ + "/steamapps/compatdata/*/pfx",
        gone_ + "/steamapps/compatdata/*/pfx",
        home_ + "/snap/steam/common/.local/share/Steam/steamapps/compatdata/*/pfx",
        home_ + "/Games/*",
        home_ + "/.config/lutris/games/*.yml",
        home_ + "/.local/share/lutris/games/*.yml",
        home_ + "/.var/app/net.lutris.Lutris/config/lutris/games/*.yml",
        home_ + "/.var/app/net.lutris.Lutris/data/lutris/games/*.yml",
        home_ + "/.local/share/bottles/bottles/*",
        home_ + "/.var/app/com.usebottles.bottles/data/bottles/bottles/*",
        home_ + "/Games/Heroic/Prefixes/*",
        home_ + "/Games/Heroic/Prefixes/default/*",
        home_ + "/Games/umu/*",
        home_ + "/.PlayOnLinux/wineprefix/*",
        home_ + "/.cxoffice/*",
        home_ + "/PortProton/data/prefixes/*",
        home_ + "/PortWINE/PortProton/data/prefixes/*",
        home_ + "/.var/app/ru.linux_gaming.PortProton/data/prefixes/*",
        home_ + "/Faugus/*",
        home_ + "/.local/share/PortWINE/PortProton/data/prefixes/*",
        home_ + "/.config/faugus-launcher/prefixes/*",
        home_ + "/.config/heroic/GamesConfig/*.json",
        home_ + "/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig/*.json",
        home_ + "/.config/heroic/gog_store/installed.json",
        home_ + "/.var/app/com.heroicgameslauncher.hgl/config/heroic/gog_store/installed.json",
        home_ + "/.config/PortProton.conf",
        home_ + "/.local/share/faugus-launcher/games.json",
        home_ + "/.config/faugus-launcher/games.json",
        home_ + "/.var/app/io.github.Faugus.faugus-launcher/config/faugus-launcher/games.json",
        home_ + "/.var/app/io.github.Faugus.faugus-launcher/data/faugus-launcher/games.json",
        home_ + "/.config/minigalaxy/config.json",
        home_ + "/.var/app/io.github.sharkwouter.Minigalaxy/config/minigalaxy/config.json",
        home_ + "/GOG Games/*/prefix",
        home_ + "/GOG Games/*/Data/common.pak",
        home_ + "/.local/share/wineprefixes/*",
        home_ + "/.steam/steam/steamapps/common/*/Data/common.pak",
        library_ + "/steamapps/common/*/Data/common.pak",
        flatpakSteam_ + "/steamapps/common/*/Data/common.pak",
        gone_ + "/steamapps/common/*/Data/common.pak",
        home_ + "/snap/steam/common/.local/share/Steam/steamapps/common/*/Data/common.pak",
    };
    EXPECT_EQ(search.places, places);
}

TEST_F(SyntheticHome, WinePrefixNarrowsTheSearchToThatPrefix) {
    const Text steamPrefix = library_ + "/steamapps/compatdata/123/pfx";
    const Found game = Find({home_, steamPrefix});
    ASSERT_EQ(game.found.size(), 1u);
    EXPECT_EQ(game.found[0].source, steamPrefix);
    EXPECT_TRUE(fs::exists(game.found[0].archivePath.c_str())) << game.found[0].archivePath;
    EXPECT_EQ(game.warnings, std::vector<Text>{});
    EXPECT_EQ(game.places, std::vector<Text>{steamPrefix});

    const Found noGame = Find({home_, home_ + "/.wine"});
    EXPECT_TRUE(noGame.found.empty());
    EXPECT_EQ(noGame.warnings, std::vector<Text>{});

    const Text broken = steam_ + "/steamapps/compatdata/228980/pfx";
    const Found skipped = Find({home_, broken});
    EXPECT_TRUE(skipped.found.empty());
    ASSERT_EQ(skipped.warnings.size(), 1u);
    EXPECT_EQ(skipped.warnings[0].rfind("skipping " + broken + ": system.reg: ", 0), 0u) << skipped.warnings[0];

    const Text nothing = folder_.Path("nothing");
    const Found none = Find({home_, nothing});
    EXPECT_TRUE(none.found.empty());
    ASSERT_EQ(none.warnings.size(), 1u);
    EXPECT_TRUE(Contains(none.warnings[0], nothing + " is not a Wine prefix")) << none.warnings[0];
    EXPECT_EQ(none.places, std::vector<Text>{nothing});
}

// Each layout that Steam and the launchers write, in a home of its own
// (`home`) beside folders elsewhere (`away`: libraries, mounts, prefixes a
// launcher's file names). Exactly one installation is to be found.
struct Layout {
    const char* what;
    std::function<void(const Text& home, const Text& away)> make;
    Text archive;  // under `away` ("~/" for under `home`)
    Text source;   // likewise; a Steam library's games are found as "Steam library <folder>"
    std::function<SearchEnvironment(const Text& home, const Text& away)> environment = nullptr;
    bool byTheLookBelow = false;  // found where no launcher's place held it
};

// A prefix whose record names C:\Games\Racer, with the game's archive there.
void MakeRacerPrefix(const Text& prefix) {
    MakePrefix(prefix, Wow64Record(R"(C:\\Games\\Racer)"));
    test::MakeFile(prefix + "/drive_c/Games/Racer/Data/common.pak", DemoArchive());
}

std::vector<Layout> Layouts() {
    const auto compat = [](const Text& library) { return library + "/steamapps/compatdata/7/pfx"; };
    const Text archiveIn = "/drive_c/Games/Racer/Data/common.pak";
    return {
        {"Steam's library list as it was before mid-2021",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.local/share/Steam/steamapps/libraryfolders.vdf",
                            "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1589876543\"\n"
                            "\t\"1\"\t\t\"" + away + "/Library\"\n}\n");
             MakeRacerPrefix(compat(away + "/Library"));
         },
         compat("/Library") + archiveIn, compat("/Library")},
        {"SteamApps, as old Steam versions wrote it",
         [=](const Text& home, const Text&) {
             MakeRacerPrefix(home + "/.local/share/Steam/SteamApps/compatdata/7/pfx");
         },
         "~/.local/share/Steam/SteamApps/compatdata/7/pfx" + archiveIn,
         "~/.local/share/Steam/SteamApps/compatdata/7/pfx"},
        {"a mount point renamed in letter case only",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.local/share/Steam/steamapps/libraryfolders.vdf",
                            LibraryList({away + "/Games/SteamLibrary"}));
             MakeRacerPrefix(compat(away + "/games/SteamLibrary"));
         },
         compat("/games/SteamLibrary") + archiveIn, compat("/games/SteamLibrary")},
        {"Lutris's store game, its prefix one folder down",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/Games/racer/pfx"); },
         "~/Games/racer/pfx" + archiveIn, "~/Games/racer/pfx"},
        {"Heroic's Proton prefix, one folder down",
         [=](const Text& home, const Text&) {
             MakeRacerPrefix(home + "/Games/Heroic/Prefixes/default/Racer/pfx");
         },
         "~/Games/Heroic/Prefixes/default/Racer/pfx" + archiveIn,
         "~/Games/Heroic/Prefixes/default/Racer/pfx"},
        {"umu-launcher's default prefix",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/Games/umu/umu-1234"); },
         "~/Games/umu/umu-1234" + archiveIn, "~/Games/umu/umu-1234"},
        {"PlayOnLinux",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/.PlayOnLinux/wineprefix/Racer"); },
         "~/.PlayOnLinux/wineprefix/Racer" + archiveIn, "~/.PlayOnLinux/wineprefix/Racer"},
        {"Steam under XDG_DATA_HOME",
         [=](const Text&, const Text& away) { MakeRacerPrefix(compat(away + "/data/Steam")); },
         compat("/data/Steam") + archiveIn, compat("/data/Steam"),
         [](const Text& home, const Text& away) { return SearchEnvironment{home, "", "", away + "/data"}; }},
        {"Bottles under XDG_DATA_HOME",
         [=](const Text&, const Text& away) { MakeRacerPrefix(away + "/data/bottles/bottles/Gaming"); },
         "/data/bottles/bottles/Gaming" + archiveIn, "/data/bottles/bottles/Gaming",
         [](const Text& home, const Text& away) { return SearchEnvironment{home, "", "", away + "/data"}; }},
        {"~/.steam/root where ~/.steam/steam is missing",
         [=](const Text& home, const Text& away) {
             test::MakeLink(home + "/.steam/root", away + "/SteamRoot");
             MakeRacerPrefix(compat(away + "/SteamRoot"));
         },
         compat("/SteamRoot") + archiveIn, compat("~/.steam/root")},
        {"Debian's ~/.steam/debian-installation",
         [=](const Text& home, const Text& away) {
             test::MakeLink(home + "/.steam/debian-installation", away + "/SteamDeb");
             MakeRacerPrefix(compat(away + "/SteamDeb"));
         },
         compat("/SteamDeb") + archiveIn, compat("~/.steam/debian-installation")},
        {"a prefix that Lutris's game file names",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.config/lutris/games/racer-1700000000.yml",
                            "game:\n  exe: /x/Racer.exe\n  prefix: '" + away + "/lutris/racer'\nname: Racer\n");
             MakeRacerPrefix(away + "/lutris/racer");
         },
         "/lutris/racer" + archiveIn, "/lutris/racer"},
        {"a prefix that Heroic's game settings name",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.config/heroic/GamesConfig/Racer123.json",
                            "{\n  \"Racer123\": {\n    \"winePrefix\": \"" + away +
                                "\\/heroic\\/racer\",\n    \"wineVersion\": {}\n  }\n}\n");
             MakeRacerPrefix(away + "/heroic/racer");
         },
         "/heroic/racer" + archiveIn, "/heroic/racer"},
        {"inside a Steam launch, STEAM_COMPAT_DATA_PATH alone",
         [=](const Text& home, const Text& away) {
             MakeRacerPrefix(away + "/compat/7/pfx");
             MakeRacerPrefix(home + "/.wine");  // not looked at
         },
         "/compat/7/pfx" + archiveIn, "/compat/7/pfx",
         [](const Text& home, const Text& away) { return SearchEnvironment{home, "", away + "/compat/7"}; }},
        {"inside a Steam launch, the game's folder Steam names, before its prefix exists",
         [=](const Text&, const Text& away) { test::MakeFile(away + "/common/Racer/Data/common.pak", DemoArchive()); },
         "/common/Racer/Data/common.pak", "=the game's folder in a Steam launch",
         [](const Text& home, const Text& away) {
             return SearchEnvironment{home, "", away + "/compat/7", "", away + "/common/Racer"};
         }},
        {"inside a Steam launch, the prefix's record where the folder holds no vehicle list",
         [=](const Text&, const Text& away) {
             MakeRacerPrefix(away + "/compat/7/pfx");
             test::MakeFile(away + "/common/Other/Data/common.pak", "no list");
         },
         "/compat/7/pfx" + archiveIn, "/compat/7/pfx",
         [](const Text& home, const Text& away) {
             return SearchEnvironment{home, "", away + "/compat/7", "", away + "/common/Other"};
         }},
        {"Flatpak Steam's record of a folder inside its sandbox, beside the game in its library",
         [=](const Text& home, const Text&) {
             const Text steam = home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam";
             MakePrefix(steam + "/steamapps/compatdata/7/pfx", Wow64Record(R"(C:\\Sandbox\\Racer)"));
             test::MakeFile(steam + "/steamapps/common/Racer/Data/common.pak", DemoArchive());
         },
         "~/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/common/Racer/Data/common.pak",
         "Steam library ~/.var/app/com.valvesoftware.Steam/.local/share/Steam"},
        {"a library whose folder name holds a backslash and quotes",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.local/share/Steam/steamapps/libraryfolders.vdf",
                            LibraryList({away + "/Games\\\\Steam \\\"Lib\\\""}));
             MakeRacerPrefix(compat(away + "/Games\\Steam \"Lib\""));
         },
         compat("/Games\\Steam \"Lib\"") + archiveIn, compat("/Games\\Steam \"Lib\"")},
        {"a game folder without a record, found by its archive",
         [=](const Text& home, const Text&) {
             test::MakeFile(home + "/.local/share/Steam/steamapps/common/Racer/DATA/Common.pak", DemoArchive());
             test::MakeFile(home + "/.local/share/Steam/steamapps/common/Other/Data/common.pak", "no list");
         },
         "~/.local/share/Steam/steamapps/common/Racer/DATA/Common.pak",
         "Steam library ~/.local/share/Steam"},
        {"the same archive by a record and by its folder, once",
         [=](const Text& home, const Text& away) {
             const Text game = away + "/Library/steamapps/common/Racer";
             test::MakeFile(game + "/Data/common.pak", DemoArchive());
             test::MakeFile(home + "/.local/share/Steam/steamapps/libraryfolders.vdf",
                            LibraryList({away + "/Library"}));
             const Text prefix = compat(away + "/Library");
             MakePrefix(prefix, Wow64Record("Z:" + Text(std::regex_replace(std::string(game), std::regex("/"), "\\\\\\\\"))));
             test::MakeLink(prefix + "/dosdevices/z:", "/");
         },
         "/Library/steamapps/common/Racer/Data/common.pak", compat("/Library")},
        {"Lutris 0.5.15's game file in the data folder",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.local/share/lutris/games/r.yml", "game:\n  prefix: " + away + "/l/racer\n");
             MakeRacerPrefix(away + "/l/racer");
         },
         "/l/racer" + archiveIn, "/l/racer"},
        {"Lutris's game file under XDG_CONFIG_HOME",
         [=](const Text&, const Text& away) {
             test::MakeFile(away + "/config/lutris/games/r.yml", "game:\n  prefix: " + away + "/l/racer\n");
             MakeRacerPrefix(away + "/l/racer");
         },
         "/l/racer" + archiveIn, "/l/racer",
         [](const Text& home, const Text& away) {
             SearchEnvironment environment{home};
             environment.xdgConfigHome = away + "/config";
             return environment;
         }},
        {"Flatpak Lutris, the prefix path folded onto a second line",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.var/app/net.lutris.Lutris/data/lutris/games/r.yml",
                            "game:\n  prefix: " + away + "/Long Folder\n    Name/racer\nsystem: {}\n");
             MakeRacerPrefix(away + "/Long Folder Name/racer");
         },
         "/Long Folder Name/racer" + archiveIn, "/Long Folder Name/racer"},
        {"Lutris's game file, a non-ASCII path in \\u escapes",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.config/lutris/games/r.yml", "game:\n  prefix: \"" + away + "/R\\u00E9cer\"\n");
             MakeRacerPrefix(away + "/R\xC3\xA9" "cer");
         },
         "/R\xC3\xA9" "cer" + archiveIn, "/R\xC3\xA9" "cer"},
        {"Lutris's game file, the prefix under ~ too deep to be come upon",
         [=](const Text& home, const Text&) {
             test::MakeFile(home + "/.config/lutris/games/r.yml", "game:\n  prefix: ~/1/2/3/4/5/racer\n");
             MakeRacerPrefix(home + "/1/2/3/4/5/racer");
         },
         "~/1/2/3/4/5/racer" + archiveIn, "~/1/2/3/4/5/racer"},
        {"Lutris's game file without a prefix: the one above its exe",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.config/lutris/games/r.yml",
                            "game:\n  exe: " + away + "/w/racer/drive_c/Games/Racer/Racer.exe\n");
             MakeRacerPrefix(away + "/w/racer");
         },
         "/w/racer" + archiveIn, "/w/racer"},
        {"Flatpak Heroic's game settings, the prefix under ~",
         [=](const Text& home, const Text&) {
             test::MakeFile(home + "/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig/R.json",
                            "{\"R\": {\"winePrefix\": \"~/1/2/3/4/5/racer\"}}");
             MakeRacerPrefix(home + "/1/2/3/4/5/racer");
         },
         "~/1/2/3/4/5/racer" + archiveIn, "~/1/2/3/4/5/racer"},
        {"Heroic's GOG game without a record, by its listed folder",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.config/heroic/gog_store/installed.json",
                            "{\"installed\": [{\"appName\": \"1\", \"install_path\": \"" + away + "/GOG/Racer\"}]}");
             test::MakeFile(away + "/GOG/Racer/Data/common.pak", DemoArchive());
         },
         "/GOG/Racer/Data/common.pak", "listed in ~/.config/heroic/gog_store/installed.json"},
        {"winetricks's prefixes in WINE_PREFIXES",
         [=](const Text&, const Text& away) { MakeRacerPrefix(away + "/wp/racer"); },
         "/wp/racer" + archiveIn, "/wp/racer",
         [](const Text& home, const Text& away) {
             SearchEnvironment environment{home};
             environment.winePrefixes = away + "/wp";
             return environment;
         }},
        {"a CrossOver bottle",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/.cxoffice/Racer"); },
         "~/.cxoffice/Racer" + archiveIn, "~/.cxoffice/Racer"},
        {"Flatpak PortProton",
         [=](const Text& home, const Text&) {
             MakeRacerPrefix(home + "/.var/app/ru.linux_gaming.PortProton/data/prefixes/DEFAULT");
         },
         "~/.var/app/ru.linux_gaming.PortProton/data/prefixes/DEFAULT" + archiveIn,
         "~/.var/app/ru.linux_gaming.PortProton/data/prefixes/DEFAULT"},
        {"PortProton in the folder its configuration names",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.config/PortProton.conf", away + "/PP\n");
             MakeRacerPrefix(away + "/PP/data/prefixes/DEFAULT");
         },
         "/PP/data/prefixes/DEFAULT" + archiveIn, "/PP/data/prefixes/DEFAULT"},
        {"a prefix Faugus Launcher's games list names",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.local/share/faugus-launcher/games.json",
                            "[{\"gameid\": \"racer\", \"prefix\": \"" + away + "/f/racer\"}]");
             MakeRacerPrefix(away + "/f/racer");
         },
         "/f/racer" + archiveIn, "/f/racer"},
        {"Minigalaxy's prefix in the game's folder, in the folder its settings name",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.config/minigalaxy/config.json", "{\"install_dir\": \"" + away + "/M\"}");
             MakeRacerPrefix(away + "/M/Racer/prefix");
         },
         "/M/Racer/prefix" + archiveIn, "/M/Racer/prefix"},
        {"Lutris's game file with a null prefix: the one above its exe",
         [=](const Text& home, const Text& away) {
             test::MakeFile(home + "/.config/lutris/games/r.yml",
                            "game:\n  prefix: ~\n  exe: " + away + "/w/racer/drive_c/Games/Racer/Racer.exe\n");
             MakeRacerPrefix(away + "/w/racer");
         },
         "/w/racer" + archiveIn, "/w/racer"},
        {"winetricks's default folder",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/.local/share/wineprefixes/racer"); },
         "~/.local/share/wineprefixes/racer" + archiveIn, "~/.local/share/wineprefixes/racer"},
        {"Faugus Launcher's folder",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/Faugus/racer"); },
         "~/Faugus/racer" + archiveIn, "~/Faugus/racer"},
        {"PortProton's folder",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/PortProton/data/prefixes/DEFAULT"); },
         "~/PortProton/data/prefixes/DEFAULT" + archiveIn, "~/PortProton/data/prefixes/DEFAULT"},
        {"Minigalaxy's default folder",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/GOG Games/Racer/prefix"); },
         "~/GOG Games/Racer/prefix" + archiveIn, "~/GOG Games/Racer/prefix"},
        {"no launcher's: five folders down the home",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/1/2/3/4/racer"); },
         "~/1/2/3/4/racer" + archiveIn, "~/1/2/3/4/racer", nullptr, true},
        {"no launcher's: a Proton-style pfx five folders down",
         [=](const Text& home, const Text&) { MakeRacerPrefix(home + "/1/2/3/4/racer/pfx"); },
         "~/1/2/3/4/racer/pfx" + archiveIn, "~/1/2/3/4/racer/pfx", nullptr, true},
        {"no launcher's: on a mounted drive",
         [=](const Text&, const Text& away) { MakeRacerPrefix(away + "/media/Drive/Wine/racer"); },
         "/media/Drive/Wine/racer" + archiveIn, "/media/Drive/Wine/racer",
         [](const Text& home, const Text& away) {
             SearchEnvironment environment{home};
             environment.driveFolders = {away + "/media"};
             return environment;
         },
         true},
        {"the same archive through two prefixes, once",
         [=](const Text& home, const Text& away) {
             MakeRacerPrefix(home + "/Games/first");
             test::MakeFile(home + "/Games/second/system.reg", Wow64Record(R"(C:\\Games\\Racer)"));
             test::MakeLink(home + "/Games/second/dosdevices/c:", home + "/Games/first/drive_c");
             (void)away;
         },
         "~/Games/first" + archiveIn, "~/Games/first"},
    };
}

TEST(Installations, EachLayoutOfSteamAndTheLaunchersIsFoundOnce) {
    for (const Layout& layout : Layouts()) {
        SCOPED_TRACE(layout.what);
        test::TempFolder folder;
        const Text home = folder.Path("home"), away = folder.Path("away");
        test::MakeFolder(home);
        layout.make(home, away);
        const auto place = [&](const Text& path) {
            return path.rfind("~/", 0) == 0 ? home + path.substr(1) : away + path;
        };
        const SearchEnvironment environment =
            layout.environment ? layout.environment(home, away) : SearchEnvironment{home};
        const auto before = Snapshot(folder.Path(""));
        const Found search = Find(environment);
        EXPECT_EQ(Snapshot(folder.Path("")), before) << "the search changed a file";
        EXPECT_EQ(search.warnings, std::vector<Text>{});
        // Where a launcher's place held it, the look below the home did not run.
        const bool lookedBelow = std::find(search.places.begin(), search.places.end(), home + "/...") !=
                                 search.places.end();
        EXPECT_EQ(lookedBelow, layout.byTheLookBelow);
        EXPECT_EQ(search.found.size(), 1u) << ::testing::PrintToString(search.found);
        if (search.found.size() != 1) continue;  // on to the next layout
        EXPECT_TRUE(fs::equivalent(search.found[0].archivePath.c_str(), place(layout.archive).c_str()))
            << search.found[0].archivePath;
        // "=" in front of a source that is no place.
        Text source = layout.source[0] == '=' ? layout.source.substr(1) : place(layout.source);
        for (const Text lead : {"Steam library ", "listed in "})
            if (layout.source.rfind(lead, 0) == 0) source = lead + place(layout.source.substr(lead.size()));
        EXPECT_EQ(search.found[0].source, source);
    }
}

TEST(Installations, ALaunchersFileThatNamesNoUsablePrefixIsSkippedWithAWarning) {
    test::TempFolder folder;
    const Text home = folder.Path("home");
    test::MakeFile(home + "/.config/lutris/games/a.yml", "game:\n  prefix: relative/pfx\n");
    test::MakeFile(home + "/.config/heroic/GamesConfig/b.json", "{\"b\": {\"winePrefix\": \"/x\\q\"}}");
    test::MakeFolder(home + "/.config/heroic/GamesConfig/c.json");
    test::MakeFile(home + "/.config/heroic/GamesConfig/deep.json", Text(1 << 18, '[') + Text(1 << 18, ']'));
    MakeRacerPrefix(folder.Path("x"));  // what a path cut at its zero would lead to
    test::MakeFile(home + "/.config/heroic/GamesConfig/d.json",
                   "{\"d\": {\"winePrefix\": \"" + folder.Path("x") + "\\u0000/y\"}}");
    // Nothing found: the look below the home runs, up to its cap.
    for (std::size_t i = 0; i < kMaxSweptFolders; ++i) test::MakeFolder(home + "/many/" + DecimalText(i));
    const Found search = Find({home});
    EXPECT_TRUE(search.found.empty());
    ASSERT_EQ(search.warnings.size(), 6u) << ::testing::PrintToString(search.warnings);
    EXPECT_TRUE(Contains(search.warnings[0], "a.yml: the prefix \"relative/pfx\" is not an absolute path"))
        << search.warnings[0];
    EXPECT_TRUE(Contains(search.warnings[1], "b.json: line 1: not well-formed JSON"))
        << search.warnings[1];
    EXPECT_TRUE(Contains(search.warnings[2], "c.json: Is a directory")) << search.warnings[2];
    EXPECT_TRUE(Contains(search.warnings[3], "d.json: the prefix \"")) << search.warnings[3];
    EXPECT_TRUE(Contains(search.warnings[3], "\" holds a zero character")) << search.warnings[3];
    EXPECT_TRUE(Contains(search.warnings[4], "deep.json: nested more than 64 levels deep")) << search.warnings[4];
    EXPECT_EQ(search.warnings[5], "reading " + home + ": the look for other Wine prefixes stopped after 20000 folders");
}

// The search as the user `user` runs it (root's tests run it as nobody, for
// whom permissions count): its warnings.
std::vector<Text> WarningsSearchingAs(uid_t user, const Text& home) {
    if (::geteuid() == user) return Find({home}).warnings;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {"no pipe"};
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(user) != 0 || ::setuid(user) != 0) ::_exit(1);
        Text joined;
        for (const Text& warning : Find({home}).warnings) joined += warning + "\n";
        ::_exit(::write(pipeEnds[1], joined.data(), joined.size()) == static_cast<ssize_t>(joined.size()) ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    Text joined;
    char chunk[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0;) joined.append(chunk, got);
    ::close(pipeEnds[0]);
    ::waitpid(child, nullptr, 0);
    std::vector<Text> warnings;
    for (std::size_t at = 0, end; (end = joined.find('\n', at)) != Text::npos; at = end + 1)
        warnings.push_back(joined.substr(at, end - at));
    return warnings;
}

// Files far larger than any a launcher writes, lines far longer, folders
// that cannot be looked into: each is skipped with a short warning, quickly,
// and the game is still found.
TEST(Installations, WhatCannotBeReadIsSkippedWithAShortWarningAndTheRestIsFound) {
    test::TempFolder folder;
    const Text home = folder.Path("home");
    MakePrefix(home + "/.wine", Wow64Record(R"(C:\\Games\\Racer)"));
    test::MakeFile(home + "/.wine/drive_c/Games/Racer/Data/common.pak", "");
    const auto sparse = [](const Text& path) {
        test::MakeFile(path, "WINE REGISTRY Version 2\n");
        fs::resize_file(path.c_str(), (64 << 20) + 1);
    };
    const std::pair<std::function<void()>, Text> unreadable[] = {
        {[&] { sparse(home + "/Games/huge/system.reg"); }, "skipping " + home + "/Games/huge: system.reg: larger than 64 MiB"},
        {[&] { sparse(home + "/.local/share/Steam/steamapps/libraryfolders.vdf"); },
         "/libraryfolders.vdf: larger than 64 MiB"},
        {[&] { test::MakeFile(home + "/Games/long/system.reg", Registry(Text(2 << 20, 'x'))); },
         "skipping " + home + "/Games/long: system.reg: a line is longer than 1 MiB"},
        {[&] { test::MakeFile(home + "/.config/lutris/games/long.yml", "game:\n prefix: " + Text(5000, 'r')); },
         "long.yml: the prefix \"" + Text(40, 'r') + "...\" is not an absolute path"},
        {[&] {
             test::MakeFolder(home + "/Games/locked");
             fs::permissions((home + "/Games/locked").c_str(), fs::perms::none);
         },
         "skipping " + home + "/Games/locked: Permission denied"},
    };
    for (const auto& [make, warning] : unreadable) make();
    fs::permissions((folder.Path("")).c_str(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);

    const Found search = Find({home});
    ASSERT_EQ(search.found.size(), 1u);
    const std::vector<Text> warnings = WarningsSearchingAs(::geteuid() == 0 ? 65534 : ::geteuid(), home);
    for (const auto& [make, warning] : unreadable) {
        const bool said = std::any_of(warnings.begin(), warnings.end(),
                                      [&](const Text& w) { return Contains(w, warning); });
        EXPECT_TRUE(said) << warning << "\n" << ::testing::PrintToString(warnings);
    }
    for (const Text& w : warnings) EXPECT_LT(w.size(), 300u) << w;
    fs::permissions((home + "/Games/locked").c_str(), fs::perms::owner_all);
}

TEST(Installations, WithoutHomeOrWinePrefixThereIsNowhereToLookAndThatIsSaid) {
    const Found search = Find({"", ""});
    EXPECT_TRUE(search.found.empty());
    EXPECT_TRUE(search.warnings.empty());
    EXPECT_TRUE(search.noHome);
    EXPECT_TRUE(search.places.empty());
}

TEST(Installations, WarningsStayOnOneLine) {
    test::TempFolder folder;
    const Text prefix = folder.Path("pfx");
    MakePrefix(prefix, Wow64Record(R"(\\\\x\nNew\tline)"));
    const Found search = Find({"", prefix});
    ASSERT_EQ(search.warnings.size(), 1u);
    EXPECT_EQ(search.warnings[0].find_first_of("\n\r\t"), Text::npos) << search.warnings[0];
}

}  // namespace
}  // namespace tolvaren
