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

    // With a standard user's rights: under Wine every process is an
    // administrator, but the limited token linked to its own is not.
    enum class Rights { Invoker, StandardUser };

    // Starts the program with `arguments` and waits for its dialog.
    bool Start(const Text& arguments = "", Rights rights = Rights::Invoker);
    // Takes over another instance's dialog, once one other than process
    // `except`'s shows.
    bool AttachToOtherInstance(DWORD except, DWORD timeoutMs = 30000);
    DWORD ProcessId() const { return processId_; }

    HWND Dialog() const { return dialog_; }
    HWND Checkbox() const;
    LRESULT CheckState() const;
    bool Running() const;
    DWORD ThreadId() const { return threadId_; }

    void Click() const;
    void PressKey(WPARAM key) const;  // down and up, posted to the checkbox

    // Waits for the program's message box, reads it and answers it (OK, or
    // IDYES or IDNO for a question).
    bool ReadAndDismissMessageBox(MessageBoxSeen& seen, DWORD timeoutMs = 15000,
                                  WPARAM answer = IDOK);
    // True when no message box appears within `ms`.
    bool NoMessageBoxFor(DWORD ms) const;
    // The focused window of the program's thread, once it settles on `expected`.
    HWND FocusSettlingOn(HWND expected, DWORD timeoutMs = 3000) const;

    // Closes through the system Close command; the exit code, or ~0 on timeout.
    DWORD CloseAndWait();
    // The exit code once the program ended by itself, or ~0 on timeout.
    DWORD WaitForExit(DWORD timeoutMs = 15000);

private:
    HWND FindProgramWindow(bool messageBox) const;

    UniqueHandle process_, thread_;
    DWORD processId_ = 0, threadId_ = 0;
    HWND dialog_ = nullptr;
};

}  // namespace tolvaren::test
