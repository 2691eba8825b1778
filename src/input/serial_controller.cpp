// Serial lines and the key map's actions.
#include "input/serial_controller.h"

#include <algorithm>
#include <cmath>

#include "input/controller_handles.h"
#include "input/handle_model.h"
#include "sound/sound_numbers.h"

namespace cabsim {
namespace {

/// Appends `text` to `to` as far as the line's bound allows.
void append_bounded(std::string& to, std::string_view text) {
  if (to.size() >= kMaxSerialLine) return;
  to.append(text.substr(0, kMaxSerialLine - to.size()));
}

constexpr int32_t kFirstPower = 0;  // entries 0 .. 5: notches 1 .. 6
constexpr int32_t kNeutral = 6;
constexpr int32_t kFirstBrake = 7;  // entries 7 .. 14: steps 1 .. 8
constexpr int32_t kEmergency = 15;
constexpr int32_t kForward = 16;
constexpr int32_t kBackward = 18;
constexpr char kPostedKeys[] = {' ', '3', '7', '1'};  // entries 19 .. 22

}  // namespace

size_t take_serial_line(std::string& pending, std::string_view received, std::string& line,
                        bool& complete) {
  complete = false;
  // The line feed of a CR LF line end, in this event or the next, is no part
  // of the next line.
  if (pending.empty() && !received.empty() && received.front() == kLineFeed) return 1;
  const size_t cr = received.find(kCarriageReturn);
  if (cr == std::string_view::npos) {
    append_bounded(pending, received);
    return received.size();
  }
  line = std::move(pending);
  pending.clear();
  if (line.size() > kMaxSerialLine) line.resize(kMaxSerialLine);
  append_bounded(line, received.substr(0, cr));
  complete = true;
  return cr + 1;
}

SerialEntryResult serial_entry_action(RunState& s, const TrainParams& train, SoundChannels& sounds,
                                      int32_t entry) {
  SerialEntryResult result;
  if (entry >= kFirstPower && entry <= kNeutral) {
    set_controller_brake(s, train, 0);
    set_controller_power(s, train, entry == kNeutral ? 0 : entry - kFirstPower + 1);
    set_all_pending(s);
    result.handles_moved = true;
  } else if (entry >= kFirstBrake && entry <= kEmergency) {
    set_controller_power(s, train, 0);
    set_controller_brake(s, train,
                         entry == kEmergency ? kControllerEmergency : entry - kFirstBrake + 1);
    if (entry == kEmergency) restart_once(sounds, train.Sound_EB);
    set_all_pending(s);
    result.handles_moved = true;
  } else if (entry >= kForward && entry <= kBackward) {
    // The reverser moves only while the train stands.
    if (std::fabs(s.speed) <= kReverserMaxSpeed) {
      s.reverser = entry == kForward ? 1 : entry == kBackward ? -1 : 0;
      result.handles_moved = true;
    }
  } else if (entry >= kBackward + 1 && entry < kSerialEntries) {
    result.posted = kPostedKeys[static_cast<size_t>(entry - kBackward - 1)];
  }
  return result;
}

}  // namespace cabsim
