#pragma once
// Starts the real program and drives it from outside, only through Win32,
// as a user's clicks and keys would.
#include <windows.h>

#include "core/text.h"
#include "platform/win32/unique_handle.h"

namespace tolvaren::test {

struct MessageBoxSeen {
    Text caption;
    Text text;
    bool hasIcon = false;
};

class ProgramDriver {
public:
    ProgramDriver() = default;
    ~ProgramDriver();  // ends a program still running
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    // Starts the program with `arguments` and waits for its dialog.
    bool Start(const Text& arguments = "");

    HWND Dialog() const { return dialog_; }
    HWND Checkbox() const;
    LRESULT CheckState() const;
    bool Running() const;
    DWORD ThreadId() const { return threadId_; }

    void Click() const;
    void PressKey(WPARAM key) const;  // down and up, posted to the checkbox

    // Waits for the program's message box, reads it and dismisses it with OK.
    bool ReadAndDismissMessageBox(MessageBoxSeen& seen, DWORD timeoutMs = 15000);
    // True when no message box appears within `ms`.
    bool NoMessageBoxFor(DWORD ms) const;
    // The focused window of the program's thread, once it settles on `expected`.
    HWND FocusSettlingOn(HWND expected, DWORD timeoutMs = 3000) const;

    // Closes through the system Close command; the exit code, or ~0 on timeout.
    DWORD CloseAndWait();

private:
    HWND FindProgramWindow(bool messageBox) const;

    UniqueHandle process_, thread_;
    DWORD processId_ = 0, threadId_ = 0;
    HWND dialog_ = nullptr;
};

}  // namespace tolvaren::test
