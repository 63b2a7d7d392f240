#include "search/installations.h"

#include <cstdlib>

#include "core/reason_texts.h"
#include "platform/posix/files.h"
#include "search/prefix_path.h"
#include "search/wine_prefixes.h"
#include "search/wine_registry_file.h"

namespace tolvaren {
namespace {

class PrefixReader {
public:
    explicit PrefixReader(InstallationSearch& search) : search_(search) {}

    void Read(const Text& prefix) {
        const RegistryStringLookup record = LookUpRegistryStringInFile(
            JoinPath(prefix, kPrefixRegistryFile), {kInstallKeyPath32, kInstallKeyPath},
            kInstallValueName);
        if (!record.outcome.Done()) return Skip(prefix, record.outcome, kPrefixRegistryFile);
        if (!record.value) return;
        const std::optional<Text> archive = UnixPathInPrefix(prefix, ArchivePathFor(*record.value));
        if (!archive) return Skip(prefix, {Reason::NotOnADrive, *record.value});
        search_.found.push_back({*archive, prefix});
    }

private:
    void Skip(const Text& prefix, const Outcome& why, const Text& file = Text()) {
        search_.warnings.push_back(Printable("skipping " + prefix + ": " + CommandLineText(why, file)));
    }

    InstallationSearch& search_;
};

}  // namespace

InstallationSearch FindInstallations(const Text& home, const Text& winePrefix) {
    PrefixCandidates candidates = WinePrefixesToSearch(home, winePrefix);
    InstallationSearch search;
    search.places = std::move(candidates.places);
    for (Text& warning : candidates.warnings) search.warnings.push_back(Printable(std::move(warning)));
    PrefixReader reader(search);
    for (const Text& prefix : candidates.prefixes) reader.Read(prefix);
    return search;
}

namespace {

Text Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

InstallationSearch FindInstallationsFromEnvironment() {
    InstallationSearch search = FindInstallations(Environment("HOME"), Environment("WINEPREFIX"));
    search.narrowing = "set WINEPREFIX to the prefix of the one to use";
    return search;
}

}  // namespace tolvaren
