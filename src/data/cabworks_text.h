// The path and message texts of cabworks.dat: the film folder, the words for
// reverser, handle, station kinds, doors and gears, the information lines and
// the captions of the driving form's main menu. Texts stay Shift-JIS bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace cabsim {

constexpr size_t kMaxInfoLabels = 100;  ///< `[InfoLabel]` lines

/// Fields are named after the file's keys without brackets; multi-line keys
/// are arrays (line n at index n - 1).
struct CabworksText {
  std::string Path;                       ///< film folder prefix: film = Path + DataName + ".avi"
  std::string Forward, Neutral, Reverse;  ///< reverser texts
  std::string Stop, Pass, Stop2;          ///< station kind texts
  std::string Neut, Neut2, Apply, Maintain, Hold, Hold2, EB, Const;  ///< handle texts
  std::string Cars;                    ///< written after the number of cars
  std::string TC;                      ///< road traffic signal notice
  std::array<std::string, 2> Stops{};  ///< put before the distance in the traffic signal notice
  std::array<std::string, 2> Doors{};  ///< door-side selector 0 and 1
  std::array<std::string, 6> Gears{};
  /// Information lines in file order; no count is kept, `InfoLabel_filled` is
  /// one past the highest line written.
  std::array<std::string, kMaxInfoLabels> InfoLabel{};
  int32_t InfoLabel_filled = 0;
  // Menu captions; an absent key keeps the design caption.
  std::string Start = "Start";
  std::string Move = "Move";
  std::string Display = "Display";
  std::string Control = "Controller(&C)";
  std::string Save = "Save(&S)";
};

}  // namespace cabsim
