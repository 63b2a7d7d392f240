#include "ui/toggle_command.h"

#include <shellapi.h>

#include "core/reason_texts.h"
#include "platform/win32/errors.h"
#include "ui/program.h"
#include "ui/resource_ids.h"

namespace tolvaren {
namespace {

// Runs inside a window procedure, where no exception may pass. The only one
// the program's code can meet is memory that cannot be had; the rewrite
// allocates all it needs before its first write, so nothing was written then.
Outcome SwitchWithoutThrowing(const std::int32_t& requestedState) noexcept {
    try {
        return TheProgram().SetExtraVehicles(requestedState);
    } catch (...) {
        return Reason::OutOfMemory;
    }
}

// What to tell for `outcome`; with no memory even for that, the least.
Text DialogTextWithoutThrowing(const Outcome& outcome) noexcept {
    try {
        return DialogText(outcome, TheProgram().Location().path);
    } catch (...) {
        return kProgramName;
    }
}

// The confirmation with a note, once, of the copy of the archive that
// Windows keeps for this user and the game may read instead; empty when
// there is nothing to note (or no memory to say it).
Text ConfirmationWithNote(const char* confirmation) noexcept {
    try {
        const Text copy = TheProgram().VirtualizedCopyToMention();
        if (copy.empty()) return Text();
        return confirmation + Text("\r\n\r\n") + DialogText(Reason::VirtualStoreCopy, copy);
    } catch (...) {
        return Text();
    }
}

int Tell(const char* text, UINT type) {
    Sleep(5);
    return MessageBoxA(nullptr, text, kProgramName, type);
}

// Starts this program again with administrator rights; Windows asks the
// user first.
Outcome RestartAsAdministrator() {
    char self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) return {Reason::PlatformError, WindowsErrorText(GetLastError())};
    SHELLEXECUTEINFOA restart = {};
    restart.cbSize = sizeof restart;
    restart.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    restart.lpVerb = "runas";
    restart.lpFile = self;
    restart.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&restart)) return Reason::Done;
    const DWORD error = GetLastError();
    if (error == ERROR_CANCELLED) return Reason::RestartDeclined;
    return {Reason::PlatformError, WindowsErrorText(error)};
}

// A standard user may not change the archive: offer the way out. When the
// program runs again as an administrator, this one closes as through its
// Close command.
void OfferRestartAsAdministrator(HWND dialog) {
    if (Tell(DialogTextWithoutThrowing(Reason::NotElevated).c_str(), MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    Outcome restarted;
    try {
        restarted = RestartAsAdministrator();
    } catch (...) {
        restarted = Reason::OutOfMemory;
    }
    if (restarted.Done()) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    Tell(DialogTextWithoutThrowing(restarted).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

void TellStartUpProblem() {
    Text text;
    try {
        text = DialogText(TheProgram().StartUpProblem(), TheProgram().Location().path) + "\r\n\r\n" +
               kStateNotReadNote;
    } catch (...) {
        text.clear();  // with no memory for the reason, the note alone
    }
    Tell(text.empty() ? kStateNotReadNote : text.c_str(), MB_OK | MB_ICONWARNING);
}

void OnExtraVehiclesClicked(HWND dialog) {
    const HWND checkbox = GetDlgItem(dialog, IDC_EXTRA_VEHICLES);
    const auto requested = static_cast<std::int32_t>(SendMessageA(checkbox, BM_GETCHECK, 0, 0));
    const Outcome outcome = SwitchWithoutThrowing(requested);
    if (outcome.Done()) {
        const char* confirmation = requested != 0 ? kEnabledMessage : kDisabledMessage;
        const Text withNote = ConfirmationWithNote(confirmation);
        Tell(withNote.empty() ? confirmation : withNote.c_str(), MB_OK);
        return;
    }
    // The switch did not happen, so the displayed state goes back; one that
    // was written in full keeps it, whatever another program did after.
    if (outcome.reason != Reason::OpenedDuringLastWrite)
        SendMessageA(checkbox, BM_SETCHECK, requested != 0 ? BST_UNCHECKED : BST_CHECKED, 0);
    if (outcome.reason == Reason::NotElevated) return OfferRestartAsAdministrator(dialog);
    Tell(DialogTextWithoutThrowing(outcome).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace tolvaren
