// The serial master controller: received characters assembled into lines at
// the carriage return, and the action of each entry of the key map
// mascon.dat that a line matches.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/cabworks_text.h"
#include "data/mascon_file.h"
#include "data/train_params.h"
#include "state/run_state.h"
#include "state/run_view.h"
#include "state/sound_channels.h"

namespace cabsim {

/// Entries of the key map a line is compared with: 0 .. 22.
constexpr int32_t kSerialEntries = 23;
constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';

/// Takes the next complete line out of `pending` + `received` and returns how
/// many characters of `received` it used: when `received` holds a carriage
/// return, `line` becomes `pending` and the characters before it, `pending`
/// is emptied and `complete` set; otherwise the characters are appended to
/// `pending`. A line feed at the start of a line (the second half of a CR LF
/// line end) is passed over. Text beyond kMaxSerialLine characters of a line
/// is dropped, so neither grows without bound.
size_t take_serial_line(std::string& pending, std::string_view received, std::string& line,
                        bool& complete);

/// What an entry's action did.
struct SerialEntryResult {
  bool handles_moved = false;  ///< masconupdate follows
  char posted = 0;             ///< a key character posted to the form, 0 none
};

/// The action of key map entry `entry` (0 .. 22): power notches 1 .. 6 and
/// neutral with the brake released, brake steps 1 .. 8 with power off, the
/// emergency (its `[Sound_EB]` restarted from the beginning), the reverser
/// at |speed| <= 1 km/h only, and the keys " ", "3", "7", "1". The handle
/// actions raise all four pending flags.
SerialEntryResult serial_entry_action(RunState& s, const TrainParams& train, SoundChannels& sounds,
                                      int32_t entry);

}  // namespace cabsim
