#pragma once
// The name the user sees on the dialog's caption and on every message box.

namespace tolvaren {

inline constexpr char kProgramName[] = "Tolvaren";

}  // namespace tolvaren
