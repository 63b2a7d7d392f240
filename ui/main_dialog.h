#pragma once
// The program's one window: a dialog with one checkbox, run modally by a
// polling loop of its own that only the window's destruction ends.
#include <windows.h>

namespace tolvaren {

using DialogCallback = int (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Builds the dialog under `owner`, sets the checkbox from the archive's
// state, runs it and returns its result once the window is gone.
int ShowMainDialog(HWND owner);

int RunModalDialog(HWND dialog, DialogCallback callback);

// Answers activation and the system Close command; passes the rest on.
INT_PTR CALLBACK DialogHostProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

void EndModalDialog(HWND dialog, int result);

// Keeps the focus across deactivation, runs the toggle command and tells
// what start-up could not read. Always 0.
int MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvaren
