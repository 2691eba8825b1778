// The per-user settings of the simulator: the four driving switches, the USB
// controller codes and the three saved running states with their titles.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace cabsim {

/// The four switches of the `hanabira` group. Each is 0 or 1 when written by
/// the program; a value read from the store is kept as it was read.
struct DrivingSwitches {
  int32_t Kanko = 0;        ///< 1: voice calls switched off
  int32_t Information = 1;  ///< 1: commentary shown
  int32_t ATS = 0;          ///< 1: beginner mode, train protection starts off
  int32_t Tunnel = 0;       ///< 1: visual effects off

  bool operator==(const DrivingSwitches&) const = default;
};

/// The controller codes of the `padcontroller` group, in their reading order:
/// `P0` .. `P5`, `B0` .. `B8`, `EB`.
struct PadCodes {
  static constexpr int kCount = 16;
  static constexpr std::array<std::string_view, kCount> kNames = {
      "P0", "P1", "P2", "P3", "P4", "P5", "B0", "B1",
      "B2", "B3", "B4", "B5", "B6", "B7", "B8", "EB"};

  std::array<int32_t, kCount> codes{};  ///< in the order of kNames

  bool operator==(const PadCodes&) const = default;
};

/// Where the settings live. Reads never fail loudly: what cannot be read takes
/// its default as the read rules say; writes report success, and the callers
/// ignore a failure as the program always has.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  /// The four switches, read as a group: when any one cannot be read (missing
  /// or not an integer), all four take their defaults (0, 1, 0, 0).
  virtual DrivingSwitches read_switches() = 0;
  virtual bool write_switches(const DrivingSwitches& switches) = 0;

  /// Reads the codes in order into `codes` until the first one that cannot be
  /// read; that one and all after it keep the value they had. Returns how
  /// many were read.
  virtual int read_pad_codes(PadCodes& codes) = 0;
  virtual bool write_pad_codes(const PadCodes& codes) = 0;

  /// A text value of the `hanabira` group (`Save1`, `Save1Title`, ...), as
  /// the byte string it was written with; nullopt when it is absent.
  virtual std::optional<std::string> read_text(std::string_view name) = 0;
  virtual bool write_text(std::string_view name, std::string_view bytes) = 0;
};

/// Looks up the integer stored under a name: nullopt when it is absent or
/// is not an integer.
using IntegerLookup = std::function<std::optional<int32_t>(std::string_view name)>;

/// The switch-group rule: all four switches as stored, or all four defaults
/// when any one cannot be read.
DrivingSwitches read_switches_with(const IntegerLookup& lookup);
/// The pad-code rule: codes in order into `codes` until the first that cannot
/// be read; returns how many were read.
int read_pad_codes_with(const IntegerLookup& lookup, PadCodes& codes);
/// A stored text as an integer: blanks around it allowed, then an optional
/// sign and decimal digits that fit in 32 bits.
std::optional<int32_t> stored_integer(std::string_view text);

/// A settings store that keeps its values in memory for as long as it lives,
/// with the same rules: for runs that must not touch the user's settings
/// (the command-line simulation) and for tests of the rules that use them.
class MemorySettingsStore final : public SettingsStore {
 public:
  /// The stored texts, by group ("hanabira", "padcontroller") and name.
  std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>> values;

  DrivingSwitches read_switches() override;
  bool write_switches(const DrivingSwitches& switches) override;
  int read_pad_codes(PadCodes& codes) override;
  bool write_pad_codes(const PadCodes& codes) override;
  std::optional<std::string> read_text(std::string_view name) override;
  bool write_text(std::string_view name, std::string_view bytes) override;

 private:
  IntegerLookup lookup_in(std::string_view group) const;
};

}  // namespace cabsim
