// Line-side signals: every tick each signal of the route gets an aspect from
// the block the train ahead occupies and from its control kind; the signal in
// view is turned into a picture of the signal image list and drawn into the
// sign column (or, on a cab-signal train, into the cab signal); passing its
// transponder and the signal itself sets the speed the train protection
// checks. The cab-signal brake holds the train to the cab signal's speed.
#pragma once

#include <cstdint>
#include <optional>

#include "data/route_tables.h"
#include "state/run.h"

namespace cabsim {

/// `[ATS_Type]` of a train whose signals are shown in the cab.
constexpr int32_t kCabSignalAts = 2;
/// `[MaxSpeed]` from which the fastest aspects of types 6, 7 and -1 show
/// their high-speed picture.
constexpr int32_t kHighSpeedPictureFrom = 131;
/// Signal types the block logic does not count: repeaters and the like.
constexpr bool is_counted_signal(int32_t type) {
  return type != 0 && type != -1;
}

/// Picture number (cell of the signal image list) of a signal of `type`
/// showing `aspect`; kNoPicture for a type no signal has or a negative
/// aspect. Aspects beyond 5 show the picture of aspect 5.
int32_t signal_picture_number(int32_t type, int32_t aspect, int32_t max_speed);

/// The aspect every signal shows when nothing restricts it.
int32_t default_aspect(const RouteTables& route);

/// Aspects of every signal for this tick, from the train ahead and the
/// signals' control kinds.
void signal_aspects(Run& run);

/// What the display of the signals asks of the cab panel: the cab signal
/// was drawn again with this picture number.
struct SignalDisplayResult {
  std::optional<int32_t> cab_signal_picture;
};

/// The signal in view, its pictures, the transponder and the passing of each
/// signal, and leaving the view.
SignalDisplayResult signal_display(Run& run);

/// The cab-signal brake of a cab-signal train: true when it applied or
/// released the brake (the handles' indications must follow).
bool cab_signal_brake_step(Run& run);

/// Puts the five signal pictures back home, empty, and forgets the signal in
/// view (for a move or a restore).
void reset_signal_display(RunState& s, RunView& v);

}  // namespace cabsim
