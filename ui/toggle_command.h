#pragma once
#include <windows.h>

#include "ui/program_name.h"

namespace tolvaren {

// Switches the archive to the check mark the user has just set and says so;
// when nothing could be written, puts the check mark back and says why.
void OnExtraVehiclesClicked(HWND dialog);

}  // namespace tolvaren
