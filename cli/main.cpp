#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "cli/command_line.h"
#include "platform/file_system.h"
#ifdef _WIN32
#include "cli/console_output.h"
#include "registry/install_record.h"
#else
#include "platform/posix/posix_file_system.h"
#include "search/installations.h"
#endif

namespace {

// Memory for a file's worth of bytes is asked for where a failure can be
// told as a result; anything else that cannot be had ends the tool here,
// with the same words and exit code. It cannot leave an archive partly
// switched: a switch asks for all it needs before its first write.
void OutOfMemory() {
    std::fputs("tolvaren-cli: not enough memory.\n", stderr);
    std::_Exit(tolvaren::kExitNotChangeable);
}

#ifdef _WIN32
tolvaren::InstallationSearch FindInstallations(tolvaren::FileSystem& files) {
    return tolvaren::FindRegistryInstallations(files);
}
#else
tolvaren::InstallationSearch FindInstallations(tolvaren::FileSystem& files) {
    return tolvaren::FindInstallationsFromEnvironment(files);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    std::set_new_handler(OutOfMemory);
#ifdef _WIN32
    tolvaren::FileSystem& files = tolvaren::PlatformFileSystem();
#else
    // A closed pipe is an output that cannot be written: say so and exit 5.
    std::signal(SIGPIPE, SIG_IGN);
    // A signal held during a switch acts only after the outcome is told.
    tolvaren::SignalHold signals(tolvaren::SignalHold::Release::WhenDone);
    tolvaren::PosixFileSystem files(signals);
#endif
    tolvaren::List<tolvaren::Text> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#ifdef _WIN32
    tolvaren::FileOutput outFile(stdout), errFile(stderr);
    tolvaren::ConsoleOutput outConsole(tolvaren::ConsoleOf(stdout), CP_ACP),
        errConsole(tolvaren::ConsoleOf(stderr), CP_ACP);
    tolvaren::Output& out = tolvaren::ConsoleOf(stdout) ? static_cast<tolvaren::Output&>(outConsole) : outFile;
    tolvaren::Output& err = tolvaren::ConsoleOf(stderr) ? static_cast<tolvaren::Output&>(errConsole) : errFile;
#else
    tolvaren::FileOutput out(stdout), err(stderr);
#endif
    const int exitCode = tolvaren::RunCommandLine(args, out, err, files, FindInstallations);
    err.Flush();
    return exitCode;
}
