#include <new>

#include "cli/command_line.h"
#include "cli/platform_installations.h"

int main(int argc, char** argv) {
    tolvaren::FileOutput out(stdout), err(stderr);
    int exitCode = tolvaren::kExitNotChangeable;
    try {
        const std::vector<tolvaren::Text> args(argv + 1, argv + argc);
        exitCode = tolvaren::RunCommandLine(args, out, err, tolvaren::PlatformFileSystem(),
                                            tolvaren::FindPlatformInstallations);
    } catch (const std::bad_alloc&) {
        // Writing is the last step and allocates nothing: this came before it.
        err << "tolvaren-cli: not enough memory. Nothing was changed.\n";
    }
    err.Flush();
    return exitCode;
}
