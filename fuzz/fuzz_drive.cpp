// Fuzzing a whole drive: a train file and a route file the readers accept,
// then a script of inputs (keys, the wheel, moves, saves and restores of
// running states, some of them damaged, serial controller messages whole and
// in pieces, joystick readings, the controller kind) run through the 33 ms cycle and the
// operation tick for up to a few simulated minutes. After every input the
// values the simulation relies on must hold: speed, position and pressures
// finite and within their ranges, indices inside their tables. The input is
// the train file, a NUL byte, the route file, a NUL byte, then the script.
// A refused file raises DefinitionError; an overflow a stranger's numbers
// cause is reported by the program's error handler (here: passed over);
// anything else going wrong is a fault.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "data/definition_error.h"
#include "data/route_file.h"
#include "data/route_tables.h"
#include "data/train_file.h"
#include "run/controllers.h"
#include "run/keyboard.h"
#include "run/motion_cycle.h"
#include "run/operation_tick.h"
#include "run/run_assembly.h"
#include "run/scheduler.h"
#include "run/start_pause.h"
#include "run/station_move.h"
#include "sound/sound_channels_silent.h"
#include "state/joystick.h"
#include "state/run.h"
#include "state/settings_store.h"
#include "state/virtual_clock.h"

namespace {

using namespace cabsim;

/// Characters a driver types: the handles, the reverser, the doors, calls,
/// announcements, the protection's keys, and a few nobody uses.
constexpr std::string_view kKeys = "8250zaqZA,.fnb1c-  rkdhjyuiopsx9 34 67wte\r";

/// Simulated time the script may cover, ms.
constexpr int64_t kLongestDrive = 240000;

#define check(holds)                                          \
  do {                                                        \
    if (!(holds)) {                                           \
      std::fprintf(stderr, "invariant broken: %s\n", #holds); \
      __builtin_trap();                                       \
    }                                                         \
  } while (false)

/// The values the rest of the simulation relies on.
void check_invariants(const Run& run) {
  const RunState& s = run.state;
  check(std::isfinite(static_cast<double>(s.speed)));
  check(std::isfinite(static_cast<double>(s.position)));
  check(std::isfinite(static_cast<double>(s.distance_to_stop)));
  check(std::isfinite(static_cast<double>(s.equalising_reservoir)));
  check(s.trailer_brake_cylinder.count() >= 0 && s.motor_brake_cylinder.count() >= 0);
  check(s.brake_pipe.count() >= 0 && s.straight_air_pipe.count() >= 0);
  check(s.main_reservoir.count() >= 0);
  check(s.power_handle >= 0 && s.power_handle <= std::max(run.train.Power, int32_t{0}) + 1);
  check(s.brake_handle <= 0 && s.brake_handle >= -std::max(run.train.Brake, int32_t{0}) - 1);
  check(s.next_station >= 0 && s.next_station <= run.route->Station_count + 1);
  for (int32_t slot : s.crossing_queue) check(slot >= -1 && slot < run.route->Cross_count);
}

/// The codes a serial master controller sends, one per key map line.
constexpr std::string_view kSerialCodes[] = {"P1", "P2", "P3", "P4", "P5", "P6", "N",  "B1",
                                             "B2", "B3", "B4", "B5", "B6", "B7", "B8", "EB",
                                             "F",  "C",  "R",  "S",  "K3", "K7", "K1"};

/// A joystick whose reading the script sets.
class FuzzJoystick final : public Joystick {
 public:
  JoystickReading poll() override { return reading; }
  JoystickReading reading;
};

/// A controller input from two script bytes: a serial message (a code, a
/// piece of one, or a stray byte), a joystick reading or the controller kind.
void controller_input(Run& run, FuzzJoystick& pad, uint8_t op, uint8_t arg) {
  switch (arg % 4) {
    case 1: {
      std::string text(kSerialCodes[(arg >> 2) % std::size(kSerialCodes)]);
      if (op & 0x40) text = text.substr(0, 1);  // the rest comes later, or never
      if (op & 0x20) text += static_cast<char>(op);
      if (!(op & 0x40)) text += '\r';
      RxChar(run, text);
      deliver_posted_keys(run);
      break;
    }
    case 2:
      pad.reading.connected = (op & 0x80) != 0;
      pad.reading.x = ((arg >> 2) - 32) * 1024;
      pad.reading.y = (static_cast<int32_t>(op) - 128) * 256;
      pad.reading.buttons = static_cast<uint16_t>(op * 257u);
      break;
    case 3:
      controller_kind_click(run, (arg >> 2) % 5);
      break;
  }
}

/// One saved value, now and then damaged, from the script's bytes.
std::string saved_value(const Run& run, uint8_t a, uint8_t b) {
  SavedState state = saved_state_of(run);
  state.station = a % 8 - 1;
  state.frame = b * 37 - 100;
  state.speed = (a & 0x40) ? 45 : 0;
  state.position = b * 1000.0L;
  std::string value = saved_state_text(state);
  if (a & 0x80) value.resize(b % (value.size() + 1));  // cut anywhere
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t first = input.find('\0');
  if (first == std::string_view::npos) return 0;
  const size_t second = input.find('\0', first + 1);
  if (second == std::string_view::npos) return 0;
  const std::string_view script = input.substr(second + 1);

  VirtualClock clock;
  SilentSoundChannels sounds;
  std::unique_ptr<Run> run;
  Scheduler scheduler(
      clock,
      [&run] {
        try {
          MMTimer1Timer(*run);
        } catch (const std::overflow_error&) {
        }
      },
      [&run] {
        try {
          Timer1Timer(*run);
        } catch (const std::overflow_error&) {
        }
      },
      [&sounds](int64_t ms) { sounds.advance(ms); });
  run = std::make_unique<Run>(sounds, clock, scheduler);
  try {
    run->train = read_train_bytes(std::string(input.substr(0, first)), "");
    run->route = read_route_bytes(std::string(input.substr(first + 1, second - first - 1)), {});
    run->selection.route_file = "line_up_fuzz.dat";
    run->state.current_frame = run->route->StartPos;
    set_up_run_state(*run);
  } catch (const DefinitionError&) {
    return 0;
  } catch (const std::overflow_error&) {
    return 0;  // a start clock beyond the day: the assembly's message
  }
  MemorySettingsStore store;
  FuzzJoystick pad;
  run->joystick = &pad;
  for (const std::string_view code : kSerialCodes)
    run->mascon.codes[static_cast<size_t>(run->mascon.count++)] = code;
  for (size_t i = 0; i < run->pad_codes.codes.size(); ++i)
    run->pad_codes.codes[i] = static_cast<int32_t>(i * 3);
  start1Click(*run);
  int64_t now = 0;
  for (size_t i = 0; i + 1 < script.size() && now < kLongestDrive; i += 2) {
    const auto op = static_cast<uint8_t>(script[i]);
    const auto arg = static_cast<uint8_t>(script[i + 1]);
    try {
      switch (op % 8) {
        case 0:
        case 1:
        case 2:
          AsciiDown(*run, kKeys[arg % kKeys.size()]);
          break;
        case 3:
          keydowns(*run, static_cast<VirtualKey>(arg % (static_cast<int>(VirtualKey::kRight) + 1)),
                   (arg & 0x80) != 0);
          break;
        case 4:
          mouse_wheel(*run, (arg & 1) != 0);
          break;
        case 5:
          StationClick(*run, arg % 8 - 1);
          break;
        case 6:
          if (arg & 1)
            S2Click(*run, store, arg % 4);
          else
            (void)restore_running_state(*run, saved_value(*run, arg, op));
          break;
        case 7:
          if (arg == 0)
            start1Click(*run);  // pause or resume
          else
            controller_input(*run, pad, op, arg);
          break;
      }
    } catch (const std::overflow_error&) {
    }
    now += (op >> 3) * 97 + 33;
    scheduler.run_through(now);
    check_invariants(*run);
  }
  return 0;
}
