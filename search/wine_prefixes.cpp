#include "search/wine_prefixes.h"

#include "core/reason_texts.h"
#include "platform/posix/files.h"
#include "search/steam_libraries.h"

namespace tolvaren {
namespace {

const Text kAnyFolder = "*";

// Under HOME, in search order.
const Text kDefaultWinePrefix = ".wine";
const Text kSteamRoots[] = {
    ".steam/steam",
    ".local/share/Steam",
    ".var/app/com.valvesoftware.Steam/.local/share/Steam",
    "snap/steam/common/.local/share/Steam",
};
// Folders whose every subfolder may be a prefix: Lutris, Bottles (native
// and Flatpak), Heroic.
const Text kPrefixFolders[] = {
    "Games",
    ".local/share/bottles/bottles",
    ".var/app/com.usebottles.bottles/data/bottles/bottles",
    "Games/Heroic/Prefixes",
    "Games/Heroic/Prefixes/default",
};

// In a Steam library.
const Text kLibraryList = "steamapps/libraryfolders.vdf";
const Text kProtonPrefixes = "steamapps/compatdata";
const Text kProtonPrefixInApp = "pfx";

class Search {
public:
    explicit Search(const Text& home) : home_(home) {}

    void LookAtPrefix(const Text& folder) {
        candidates_.places.push_back(folder);
        ConsiderPrefix(folder);
    }

    // The one prefix the user named: when it is none, they hear why.
    void LookAtNamedPrefix(const Text& folder) {
        LookAtPrefix(folder);
        if (candidates_.prefixes.empty())
            candidates_.warnings.push_back(CommandLineText(Reason::NotAPrefix, folder));
    }

    void LookInSteamRoot(const Text& root) {
        if (!TakeLibrary(root)) return;
        const Text listPath = JoinPath(root, kLibraryList);
        const SteamLibraryList list = LibraryPathsInVdfFile(listPath);
        if (!list.outcome.Done())
            candidates_.warnings.push_back("reading " + CommandLineText(list.outcome, listPath));
        LookInSteamLibrary(root);
        for (const Text& library : list.paths)
            if (!library.empty() && library[0] == '/' && TakeLibrary(library))
                LookInSteamLibrary(library);
    }

    // Every subfolder of `folder` (or, with `inside`, its subfolder of that
    // name) that is a prefix.
    void LookInSubfolders(const Text& folder, const Text& inside = Text()) {
        const Text pattern = JoinPath(folder, kAnyFolder);
        candidates_.places.push_back(inside.empty() ? pattern : JoinPath(pattern, inside));
        for (const Text& name : SubfolderNames(folder)) {
            const Text candidate = JoinPath(folder, name);
            ConsiderPrefix(inside.empty() ? candidate : JoinPath(candidate, inside));
        }
    }

    Text InHome(const Text& path) const { return JoinPath(home_, path); }

    PrefixCandidates Result() { return std::move(candidates_); }

private:
    void LookInSteamLibrary(const Text& library) {
        LookInSubfolders(JoinPath(library, kProtonPrefixes), kProtonPrefixInApp);
    }

    bool TakeLibrary(const Text& library) {
        return TakeFirst(library, libraryIdentities_, libraryPaths_);
    }

    void ConsiderPrefix(const Text& folder) {
        if (!EntryExists(JoinPath(folder, kPrefixRegistryFile))) return;
        if (TakeFirst(folder, prefixIdentities_, prefixPaths_)) candidates_.prefixes.push_back(folder);
    }

    // True the first time: by identity when the path leads somewhere, else
    // by the path itself.
    static bool TakeFirst(const Text& path, std::vector<FileIdentity>& identities,
                          std::vector<Text>& paths) {
        if (const std::optional<FileIdentity> identity = IdentityOf(path)) {
            for (const FileIdentity& seen : identities)
                if (seen == *identity) return false;
            identities.push_back(*identity);
            return true;
        }
        for (const Text& seen : paths)
            if (seen == path) return false;
        paths.push_back(path);
        return true;
    }

    const Text home_;
    PrefixCandidates candidates_;
    std::vector<FileIdentity> libraryIdentities_, prefixIdentities_;
    std::vector<Text> libraryPaths_, prefixPaths_;
};

}  // namespace

PrefixCandidates WinePrefixesToSearch(const Text& home, const Text& winePrefix) {
    Search search(home);
    if (!winePrefix.empty()) {
        search.LookAtNamedPrefix(winePrefix);
        return search.Result();
    }
    if (home.empty()) return search.Result();
    search.LookAtPrefix(search.InHome(kDefaultWinePrefix));
    for (const Text& root : kSteamRoots) search.LookInSteamRoot(search.InHome(root));
    for (const Text& folder : kPrefixFolders) search.LookInSubfolders(search.InHome(folder));
    return search.Result();
}

}  // namespace tolvaren
