// Process start-up: COM for the life of the process, the dialog, exit code 0.
// The command line and the show command are not used.
#include <objbase.h>
#include <windows.h>

#include "platform/file_system.h"
#include "registry/install_record.h"
#include "ui/main_dialog.h"
#include "ui/program.h"

namespace tolvaren {

ProgramState& TheProgram() {
    static ProgramState program(PlatformFileSystem(), ProgramInstallFolder);
    return program;
}

}  // namespace tolvaren

namespace {

int MainRoutine() {
    tolvaren::ShowMainDialog(nullptr);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CoInitialize(nullptr);
    const int exitCode = MainRoutine();
    CoUninitialize();
    ExitProcess(static_cast<UINT>(exitCode));
}
