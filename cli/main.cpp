#include <csignal>
#include <new>

#include "cli/command_line.h"
#include "platform/file_system.h"
#ifdef _WIN32
#include "registry/install_record.h"
#else
#include "platform/posix/signals.h"
#include "search/installations.h"
#endif

namespace {

#ifdef _WIN32
const tolvaren::InstallationFinder kFindInstallations = tolvaren::FindRegistryInstallations;
#else
const tolvaren::InstallationFinder kFindInstallations = tolvaren::FindInstallationsFromEnvironment;
#endif

}  // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
    // A closed pipe is an output that cannot be written: say so and exit 5.
    std::signal(SIGPIPE, SIG_IGN);
    // A signal held during a switch acts only after the outcome is told.
    const tolvaren::InterruptionsWaitForTheOutcome toldFirst;
#endif
    tolvaren::FileOutput out(stdout), err(stderr);
    int exitCode = tolvaren::ExitCodeFor(tolvaren::Reason::OutOfMemory);
    try {
        const std::vector<tolvaren::Text> args(argv + 1, argv + argc);
        exitCode = tolvaren::RunCommandLine(args, out, err, tolvaren::PlatformFileSystem(),
                                            kFindInstallations);
    } catch (const std::bad_alloc&) {
        // Whatever was under way, perhaps after a write: only the reason is
        // sure. What failed was large; a few words usually still fit.
        try {
            err << tolvaren::kToolName << ": " << tolvaren::ReasonLabel(tolvaren::Reason::OutOfMemory)
                << ".\n";
        } catch (const std::bad_alloc&) {
        }
    }
    err.Flush();
    return exitCode;
}
