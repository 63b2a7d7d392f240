#pragma once
#include <windows.h>

#include "core/extra_vehicles.h"
#include "ui/program_name.h"

namespace tolvaren {

inline constexpr char kNoVehicleListMessage[] =
    "The game archive holds no vehicle list to change. Nothing was changed.";
inline constexpr char kNotWritableMessage[] =
    "The game archive could not be changed. Close the game and try again, "
    "or run this program as an administrator.";

// Switches the archive to the check mark the user has just set and says so;
// when nothing could be written, puts the check mark back and says why.
void OnExtraVehiclesClicked(HWND dialog);

}  // namespace tolvaren
