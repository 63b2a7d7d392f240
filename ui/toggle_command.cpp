#include "ui/toggle_command.h"

#include <shellapi.h>

#include "core/confirmations.h"
#include "platform/file_system.h"
#include "platform/win32/errors.h"
#include "registry/install_record.h"
#include "ui/dialog_texts.h"
#include "ui/program.h"
#include "ui/resource_ids.h"

namespace tolvaren {
namespace {

Text DialogTextFor(const Outcome& outcome) { return DialogText(outcome, TheProgram().Location().path); }

// The confirmation with a note, once, of the copy of the archive that
// Windows keeps for this user and the game may read instead.
Text Confirmation(std::int32_t requested) {
    const Text confirmation = requested != 0 ? kEnabledMessage : kDisabledMessage;
    const Text copy = TheProgram().VirtualizedCopyToMention();
    if (copy.empty()) return confirmation;
    return confirmation + "\r\n\r\n" + DialogText(Reason::VirtualStoreCopy, copy);
}

int Tell(const Text& text, UINT type) {
    Sleep(5);
    return MessageBoxA(nullptr, text.c_str(), kProgramName, type);
}

// Starts this program again with administrator rights; Windows asks the
// user first, its prompt owned by the dialog so that it does not open
// minimised behind it. The program's own path is taken whole (UTF-16): in
// a code page that cannot spell it, the 8-bit one would name no file.
Outcome RestartAsAdministrator(HWND dialog) {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {Reason::RestartFailed, WindowsErrorText(GetLastError())};
    SHELLEXECUTEINFOW restart = {};
    restart.cbSize = sizeof restart;
    restart.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    restart.hwnd = dialog;
    restart.lpVerb = L"runas";
    restart.lpFile = self;
    restart.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&restart)) return Reason::Done;
    const DWORD error = GetLastError();
    if (error == ERROR_CANCELLED) return Reason::RestartDeclined;
    return {Reason::RestartFailed, WindowsErrorText(error)};
}

// A standard user's account restarts as an administrator's, which has
// its own registry and profile: what only the player's account knows is
// looked up first.
RestartSituation SituationOfRestart() {
    RestartSituation situation;
    const RestartAccount account = RestartAccountFor(ElevationTypeOfThisProcess(), UserAccountControlIsOn());
    situation.cannotElevate = account == RestartAccount::None;
    situation.otherAccount = account == RestartAccount::Other;
    if (situation.otherAccount) {
        situation.playersCopy = PlatformFileSystem().VirtualizedCopyOf(TheProgram().Location().path);
        situation.recordOnlyForPlayer = InstallRecordOnlyForThisUser();
    }
    return situation;
}

// A standard user may not change the archive: offer the way out, where
// there is one. When the program runs again as an administrator, this one
// closes as through its Close command.
void OfferRestartAsAdministrator(HWND dialog) {
    const RestartSituation situation = SituationOfRestart();
    const Text text = RestartText(situation, TheProgram().Location().path);
    if (!OffersRestart(situation)) {
        Tell(text, MB_OK | MB_ICONWARNING);
        return;
    }
    if (Tell(text, MB_YESNO | MB_ICONWARNING) != IDYES) return;
    const Outcome restarted = RestartAsAdministrator(dialog);
    if (restarted.Done()) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    Tell(DialogTextFor(restarted), MB_OK | MB_ICONERROR);
}

}  // namespace

void TellStartUpProblem() {
    Tell(DialogTextFor(TheProgram().StartUpProblem()) + "\r\n\r\n" + kStateNotReadNote, MB_OK | MB_ICONWARNING);
}

void OnExtraVehiclesClicked(HWND dialog) {
    const HWND checkbox = GetDlgItem(dialog, IDC_EXTRA_VEHICLES);
    const auto requested = static_cast<std::int32_t>(SendMessageA(checkbox, BM_GETCHECK, 0, 0));
    const Outcome outcome = TheProgram().SetExtraVehicles(requested);
    if (outcome.Done()) {
        Tell(Confirmation(requested), MB_OK);
        return;
    }
    // The switch did not happen, so the displayed state goes back; one that
    // was written in full keeps it, whatever another program did after.
    if (outcome.reason != Reason::OpenedDuringLastWrite)
        SendMessageA(checkbox, BM_SETCHECK, requested != 0 ? BST_UNCHECKED : BST_CHECKED, 0);
    if (outcome.reason == Reason::NotElevated) return OfferRestartAsAdministrator(dialog);
    Tell(DialogTextFor(outcome), MB_OK | MB_ICONERROR);
}

}  // namespace tolvaren
