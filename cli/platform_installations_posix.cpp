#include <cstdlib>

#include "cli/installations.h"
#include "cli/platform_installations.h"

namespace tolvaren {
namespace {

Text Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

InstallationSearch FindPlatformInstallations() {
    InstallationSearch search = FindInstallations(Environment("HOME"), Environment("WINEPREFIX"));
    search.narrowing = "set WINEPREFIX to the prefix of the one to use";
    return search;
}

}  // namespace tolvaren
