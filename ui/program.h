#pragma once
#include "ui/program_state.h"

namespace tolvaren {

// The program's one state, made at first use and kept until the process ends.
ProgramState& TheProgram();

}  // namespace tolvaren
