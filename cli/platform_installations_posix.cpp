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
    return FindInstallations(Environment("HOME"), Environment("WINEPREFIX"));
}

}  // namespace tolvaren
