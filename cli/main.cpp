#include <iostream>

#include "cli/command_line.h"
#include "cli/platform_installations.h"

int main(int argc, char** argv) {
    const std::vector<tolvaren::Text> args(argv + 1, argv + argc);
    return tolvaren::RunCommandLine(args, std::cout, std::cerr, tolvaren::PlatformFileSystem(),
                                    tolvaren::FindPlatformInstallations);
}
