#include <csignal>
#include <new>

#include "cli/command_line.h"
#include "cli/platform_installations.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A closed pipe is an output that cannot be written: say so and exit 5.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    tolvaren::FileOutput out(stdout), err(stderr);
    int exitCode = tolvaren::kExitNotChangeable;
    try {
        const std::vector<tolvaren::Text> args(argv + 1, argv + argc);
        exitCode = tolvaren::RunCommandLine(args, out, err, tolvaren::PlatformFileSystem(),
                                            tolvaren::FindPlatformInstallations);
    } catch (const std::bad_alloc&) {
        err << "tolvaren-cli: not enough memory.\n";
    }
    err.Flush();
    return exitCode;
}
