// The controller key map mascon.dat: the text codes a serial master controller
// sends, one line per handle action, and how a received message is matched.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace cabsim {

constexpr size_t kMasconLines = 26;  ///< lines read at most; 23 to 25 are not used
/// Characters of a received message compared with a code.
constexpr size_t kMasconCodeLength = 5;

/// The file's name in the program directory, and the message shown when it
/// cannot be read (the run is not assembled).
inline constexpr std::string_view kMasconFileName = "mascon.dat";
inline constexpr std::string_view kMasconFileError = "mascon.datを読み込めません";

/// Actions named by the line numbers of mascon.dat.
enum class MasconAction : int32_t {
  kPower1 = 0,    ///< lines 0 to 5: power notches 1 to 6, brake released
  kPowerOff = 6,  ///< power off, brake released
  kBrake1 = 7,    ///< lines 7 to 14: brake steps 1 to 8, power off
  kEmergency = 15,
  kForward = 16,
  kNeutral = 17,
  kBackward = 18,
  kKeySpace = 19,  ///< lines 19 to 22 post the keys " ", "3", "7", "1"
  kKey3 = 20,
  kKey7 = 21,
  kKey1 = 22,
};

/// Line k is the code of action k; lines from `count` on were not in the file
/// (it ended, or a line beginning with '#' ended the codes) and match nothing.
struct MasconMap {
  std::array<std::string, kMasconLines> codes{};
  int32_t count = 0;
};

/// Reads mascon.dat at `path`: lines in order until the end of the file or a
/// line whose first character is '#', at most kMasconLines. Raises
/// DefinitionError(kMasconFileError) when it cannot be opened or read.
MasconMap read_mascon_file(const std::filesystem::path& path);

/// The same, for the bytes of the file already in memory.
MasconMap read_mascon_bytes(std::string bytes);

/// True when the first five characters of `message` (all of it when shorter)
/// equal `code` as a whole, case-sensitively: a longer code never matches.
bool mascon_code_matches(std::string_view code, std::string_view message);

/// True when line `line` of `map` is a code (not blank) and matches `message`.
bool mascon_line_matches(const MasconMap& map, int32_t line, std::string_view message);

}  // namespace cabsim
