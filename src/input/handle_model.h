// The driver's controls and how one step of input moves them: the reverser,
// the power and brake handles (one lever or two handles), hold, emergency,
// neutral, power modes, constant speed and the diesel gear lever.
#pragma once

#include <cstdint>

#include "data/cabworks_text.h"
#include "data/train_params.h"
#include "state/run_state.h"
#include "state/run_view.h"
#include "state/sound_channels.h"

namespace cabsim {

/// Fastest speed at which the reverser may be moved, km/h.
constexpr long double kReverserMaxSpeed = 1.0L;

/// Power mode (notch group) of power notch `notch`: the group number of its
/// notch row; notches without a row of their own belong to mode 0.
int32_t notch_group(const TrainParams& train, int32_t notch);

/// first(k): the first power notch of mode k (1 for mode 0), or 0 when the
/// train has no notch of that mode.
int32_t first_notch_of_mode(const TrainParams& train, int32_t mode);

/// Raises all four pending flags (power, brake, straight air, electric brake),
/// or the three brake flags only.
void set_all_pending(RunState& s);
void set_brake_pending(RunState& s);

// --- step operations (one key press each) ----------------------------------

/// Reverser forward (+1), neutral (0) or backward (-1); only at |speed| <= 1
/// km/h, then the handle display is refreshed. Returns whether it moved.
bool move_reverser(RunState& s, RunView& v, int32_t direction, const TrainParams& train,
                   const CabworksText& texts);

/// One-lever power up ("z" on a one-lever train, "8" on every train).
void one_lever_power_up(RunState& s, const TrainParams& train);
/// One-lever power down / brake ("a" on a one-lever train, "2" on every
/// train); `key_two` adds the "2" key's condition that the brake is released.
void one_lever_power_down(RunState& s, const TrainParams& train, bool key_two);

/// Two-handle power handle up / down ("z" / "a"): the power handle only.
void power_handle_up(RunState& s, const TrainParams& train);
void power_handle_down(RunState& s, const TrainParams& train);
/// Two-handle brake handle towards release (",") / towards emergency (".").
void brake_handle_up(RunState& s, const TrainParams& train);
void brake_handle_down(RunState& s, const TrainParams& train);

/// The three emergency keys.
enum class EmergencyKey {
  kBrakeHandleOnly,  ///< "/": brake handle to emergency, with the sound
  kWithPowerOff,     ///< "0": both handles, with the sound
  kSilentOneLever,   ///< "q": both handles, no sound
};
void emergency(RunState& s, const TrainParams& train, SoundChannels& sounds, EmergencyKey key);

/// Both handles to 0 ("5").
void neutral(RunState& s);

/// Next power mode ("9", "w"); only with the power handle at 0.
void next_power_mode(RunState& s, RunView& v, const TrainParams& train, const CabworksText& texts);

/// Constant speed on ("t"), for trains whose constant-speed notch is 1.
void constant_speed_on(RunState& s, RunView& v, const TrainParams& train,
                       const CabworksText& texts);

/// Diesel gear lever up ("s") / down ("x") with manual gears and no power.
void gear_lever(RunState& s, RunView& v, const TrainParams& train, const CabworksText& texts,
                int32_t step);

/// Scroll Lock: exchanges the meaning of "2" and "8" until pressed again.
inline void toggle_key_swap(RunState& s) {
  s.key_swap = s.key_swap ? 0 : 1;
}

}  // namespace cabsim
