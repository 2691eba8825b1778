// Putting the train somewhere else on its route: the move to a station of
// the Move menu, and the three saved running states with their save and
// restore. Both rebuild the run's state through one reset, so every
// subsystem's run-time state is put back in one place.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/run.h"
#include "state/settings_store.h"

namespace cabsim {

/// Saved running states.
constexpr int kSaveSlots = 3;

/// "運転状態を保存しました": the state has been saved.
inline constexpr const char* kStateSaved = "運転状態を保存しました";
/// "運転状態を保存できませんでした": the settings file could not be written.
inline constexpr const char* kStateNotWritten = "運転状態を保存できませんでした";
/// "運転状態が保存されていません": the slot holds no usable state.
inline constexpr const char* kNoStateSaved = "運転状態が保存されていません";
/// "運転状態を保存したダイヤではありません": the state is of another route.
inline constexpr const char* kOtherRouteState = "運転状態を保存したダイヤではありません";
/// Caption of a slot without a title.
inline constexpr const char* kNoData = "No Data";

/// The station of a Move menu item: the number after "Sta"; nothing for any
/// other name.
std::optional<int32_t> move_item_station(std::string_view item_name);

/// The move to station `j` (a station of the table where trains stop; a
/// pass station or any other index does nothing): the train stands at its stop position, braked,
/// with the clock set so that the arrival sound and the melody end at the departure time. Returns
/// whether it moved.
bool StationClick(Run& run, int32_t j);

/// One saved running state: the seven fields of the saved value.
struct SavedState {
  std::string route_file;  ///< as the title screen named it
  int32_t station = 0;
  long double speed = 0;  ///< km/h, whole
  int32_t frame = 0;
  int32_t clock = 0;
  long double position = 0;  ///< cm, whole
  int32_t pre_train_frame = 0;
};

/// The state of the run as saved (speed and position rounded).
SavedState saved_state_of(const Run& run);
/// The value written to the settings: the seven fields joined by ",".
std::string saved_state_text(const SavedState& state);
/// The seven fields of a saved value; nothing when it is empty, lacks a field
/// or a field is no number.
std::optional<SavedState> parse_saved_state(std::string_view text);

/// The slot's title: `[LineName2]` + "（" + the station behind + "～" + the
/// station ahead + "）", UTF-8; empty before the first stop position.
std::string saved_state_title(const Run& run);

/// What the Save menu shows when it opens: the captions of `Save1`..`Save3`
/// and `Load1`..`Load3` (UTF-8) and whether each Load item can be chosen.
struct SaveMenu {
  std::array<std::string, kSaveSlots> save_captions;
  std::array<std::string, kSaveSlots> load_captions;
  std::array<bool, kSaveSlots> load_enabled{};
};
SaveMenu Saveloadclick(SettingsStore& store);

/// Saves the run into `slot` (1 .. 3) with its title. Returns the message
/// to show: kStateSaved, or kStateNotWritten when the settings could not be
/// written.
std::string S2Click(Run& run, SettingsStore& store, int slot);

/// Restores the state of `slot` (1 .. 3). Returns the message to show, empty
/// when the train stands where the state was saved.
std::string L1Click(Run& run, SettingsStore& store, int slot);

/// Restores `text` (a saved value) into the run; the message, or empty.
std::string restore_running_state(Run& run, std::string_view text);

}  // namespace cabsim
