#include "ui/toggle_command.h"

#include "core/reason_texts.h"
#include "ui/program.h"
#include "ui/resource_ids.h"

namespace tolvaren {
namespace {

// Runs inside a window procedure, where no exception may pass. The only one
// the program's code can meet is memory that cannot be had; writing and
// putting back allocate nothing, so nothing was written then.
Outcome SwitchWithoutThrowing(const std::int32_t& requestedState) noexcept {
    try {
        return TheProgram().SetExtraVehicles(requestedState);
    } catch (...) {
        return Reason::OutOfMemory;
    }
}

void Tell(const char* text, UINT type) {
    Sleep(5);
    MessageBoxA(nullptr, text, kProgramName, type);
}

}  // namespace

void OnExtraVehiclesClicked(HWND dialog) {
    const HWND checkbox = GetDlgItem(dialog, IDC_EXTRA_VEHICLES);
    const auto requested = static_cast<std::int32_t>(SendMessageA(checkbox, BM_GETCHECK, 0, 0));
    const Outcome outcome = SwitchWithoutThrowing(requested);
    if (outcome.Done()) {
        Tell(requested != 0 ? kEnabledMessage : kDisabledMessage, MB_OK);
        return;
    }
    // The switch did not happen, so the displayed state goes back.
    SendMessageA(checkbox, BM_SETCHECK, requested != 0 ? BST_UNCHECKED : BST_CHECKED, 0);
    Text text;
    try {
        text = DialogText(outcome, TheProgram().Location().path);
    } catch (...) {  // no memory even for the message: say the least
        text = kProgramName;
    }
    Tell(text.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace tolvaren
