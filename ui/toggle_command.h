#pragma once
#include <windows.h>

#include "ui/program_name.h"

namespace tolvaren {

// Switches the archive to the check mark the user has just set and says so;
// when nothing could be written, puts the check mark back and says why.
void OnExtraVehiclesClicked(HWND dialog);

// Posted to the dialog as it appears when start-up could not read the
// vehicle list.
constexpr UINT kTellStartUpProblem = WM_APP + 1;

// Says why start-up could not read the vehicle list, and that the check
// mark does not show its state.
void TellStartUpProblem();

}  // namespace tolvaren
