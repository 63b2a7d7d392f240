#pragma once
// What a switch that was written says, in the program and the tool alike.
namespace tolvaren {

inline constexpr char kEnabledMessage[] = "Extra vehicles have been enabled.";
inline constexpr char kDisabledMessage[] = "Extra vehicles have been disabled.";

}  // namespace tolvaren
