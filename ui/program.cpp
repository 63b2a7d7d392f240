// Process start-up: COM for the life of the process, the dialog, exit code 0.
// The command line and the show command are not used.
#include <objbase.h>
#include <windows.h>

#include <new>

#include "platform/file_system.h"
#include "registry/install_record.h"
#include "ui/main_dialog.h"
#include "ui/program.h"
#include "ui/program_name.h"

namespace tolvaren {

ProgramState& TheProgram() {
    static ProgramState program(PlatformFileSystem(), ProgramInstallFolder);
    return program;
}

}  // namespace tolvaren

namespace {

// Memory for a file's worth of bytes is asked for where a failure can be
// told as a result; anything else that cannot be had ends the program here,
// as a start-up that cannot have what it needs does.
void OutOfMemory() {
    MessageBoxA(nullptr, "There is not enough memory for Tolvaren to go on.", tolvaren::kProgramName,
                MB_OK | MB_ICONERROR);
    ExitProcess(255);
}

int MainRoutine() {
    tolvaren::ShowMainDialog(nullptr);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::set_new_handler(OutOfMemory);
    CoInitialize(nullptr);
    const int exitCode = MainRoutine();
    CoUninitialize();
    ExitProcess(static_cast<UINT>(exitCode));
}
