#include "ui/toggle_command.h"

#include "core/extra_vehicles.h"
#include "ui/resource_ids.h"

namespace tolvaren {
namespace {

// Runs inside a window procedure, where no exception may pass.
PatchOutcome SwitchArchive(const std::int32_t& requestedState) noexcept {
    try {
        return SetExtraVehicles(requestedState);
    } catch (...) {
        return PatchOutcome::NotWritable;  // the write is the last step: nothing was written
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
    const PatchOutcome outcome = SwitchArchive(requested);
    if (outcome == PatchOutcome::Written) {
        Tell(requested != 0 ? kEnabledMessage : kDisabledMessage, MB_OK);
        return;
    }
    // The archive did not change, so neither does the displayed state.
    SendMessageA(checkbox, BM_SETCHECK, requested != 0 ? BST_UNCHECKED : BST_CHECKED, 0);
    Tell(outcome == PatchOutcome::NoVehicleList ? kNoVehicleListMessage : kNotWritableMessage,
         MB_OK | MB_ICONERROR);
}

}  // namespace tolvaren
