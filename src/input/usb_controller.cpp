// The tables of the three USB controller kinds.
#include "input/usb_controller.h"

#include <algorithm>
#include <array>
#include <climits>

#include "input/controller_handles.h"
#include "input/handle_model.h"

namespace cabsim {
namespace {

/// Bit of the button code E for buttons 0 .. 15 (0: the button is part of M).
constexpr std::array<int32_t, JoystickReading::kButtonCount> kButtonCode = {
    1, 2, 4, 8, 0, 0, 0, 0, 16, 32, 64, 128, 256, 512, 1024, 2048};
constexpr int kFirstFourButton = 4;  // buttons 4 .. 7 make M
constexpr int32_t kAxisLowest = -32768;
constexpr int32_t kAxisHighest = 32767;

/// A band of an axis: readings strictly between `low` and `high` choose `value`.
struct Band {
  int32_t low;
  int32_t high;
  int32_t value;
};

constexpr int32_t kBelow = INT32_MIN;
constexpr int32_t kAbove = INT32_MAX;

/// Power notch by Y (the handle pulled towards the driver reads negative).
/// Y = 0 counts as notch 0: its band runs from -1 up.
constexpr Band kWindowsPower[] = {
    {-1, kAbove, 0},     {-5000, 0, 1},       {-12000, -5000, 2},
    {-20000, -12000, 3}, {-30000, -20000, 4}, {kBelow, -30000, 5},
};
/// Brake step by X; X = 0 is released (its band runs up from below).
constexpr Band kWindowsBrake[] = {
    {kBelow, 1, 0},    {0, 1000, 1},
    {1000, 4000, 2},   {4000, 6000, 3},
    {6000, 8000, 4},   {8000, 9500, 5},
    {9500, 11000, 6},  {11000, 12000, 7},
    {12000, 13000, 8}, {13000, kAbove, kControllerEmergency},
};

template <size_t N>
std::optional<int32_t> band_of(const Band (&bands)[N], int32_t reading) {
  for (const Band& b : bands)
    if (reading > b.low && reading < b.high) return b.value;
  return std::nullopt;  // exactly on a limit
}

/// A pattern of the one handle: M and E, and the position it means.
struct HandlePattern {
  int32_t m;
  int32_t e;
  int32_t position;
};

constexpr HandlePattern kOhcPower[] = {
    {4, 16, 0}, {4, 48, 1}, {12, 0, 2}, {12, 32, 3}, {12, 16, 4}, {12, 48, 5},
};
constexpr HandlePattern kOhcBrake[] = {
    {4, 16, 0}, {4, 32, 1}, {4, 0, 2},  {8, 48, 3}, {8, 16, 4},
    {8, 32, 5}, {8, 0, 6},  {0, 48, 7}, {0, 16, 8}, {0, 32, kControllerEmergency},
};

template <size_t N>
std::optional<int32_t> pattern_of(const HandlePattern (&patterns)[N], const PadState& pad) {
  for (const HandlePattern& p : patterns)
    if (p.m == pad.m && p.e == pad.e) return p.position;
  return std::nullopt;
}

/// A button and the character it posts.
struct ButtonKey {
  int button;
  char key;
};

template <size_t N>
void post_buttons(const ButtonKey (&keys)[N], const PadState& pad, std::string& posted) {
  for (const ButtonKey& k : keys)
    if ((pad.buttons >> k.button) & 1u) posted += k.key;
}

}  // namespace

PadState pad_state(const JoystickReading& reading) {
  // A reading outside the axis range (none the dead zone lets through) is
  // held to it, so the state sum cannot overflow.
  PadState pad{std::clamp(reading.x, kAxisLowest, kAxisHighest),
               std::clamp(reading.y, kAxisLowest, kAxisHighest), 0, 0, reading.buttons};
  for (int b = 0; b < JoystickReading::kButtonCount; ++b) {
    if (!reading.pressed(b)) continue;
    if (b >= kFirstFourButton && b < kFirstFourButton + 4)
      pad.m += 1 << (b - kFirstFourButton);
    else
      pad.e += kButtonCode[static_cast<size_t>(b)];
  }
  return pad;
}

PadDecision windows_pad(const PadState& pad) {
  PadDecision d;
  d.power_notch = band_of(kWindowsPower, pad.y);
  d.brake_step = band_of(kWindowsBrake, pad.x);
  static constexpr ButtonKey kKeys[] = {{0, '9'}, {1, '1'},          {2, '3'},
                                        {3, '7'}, {4, kPostedEnter}, {5, 's'}};
  post_buttons(kKeys, pad, d.posted);
  return d;
}

PadDecision playstation_pad(const PadState& pad, const PadCodes& codes) {
  PadDecision d;
  // Worked in 64 bits: the codes are whatever the settings hold.
  const int64_t power_code = int64_t{pad.x} + pad.e + pad.y;
  for (int32_t n = 0; n <= 5 && !d.power_notch; ++n)
    if (codes.codes[static_cast<size_t>(n)] == power_code) d.power_notch = n;
  for (int32_t n = 0; n <= 9 && !d.brake_step; ++n)
    if (codes.codes[static_cast<size_t>(6 + n)] == pad.m)
      d.brake_step = n == 9 ? kControllerEmergency : n;
  static constexpr ButtonKey kKeys[] = {{9, '1'}, {1, '3'}, {2, '7'}, {3, '9'}, {8, 'r'}};
  post_buttons(kKeys, pad, d.posted);
  return d;
}

PadDecision ohc_pc01(const PadState& pad) {
  PadDecision d;
  d.power_notch = pattern_of(kOhcPower, pad);
  d.brake_step = pattern_of(kOhcBrake, pad);
  static constexpr ButtonKey kKeys[] = {{0, '3'}, {2, '7'}};
  post_buttons(kKeys, pad, d.posted);
  d.posted += pad.y < 0 ? 'f' : pad.y == 0 ? 'n' : 'b';
  return d;
}

PadDecision pad_decision(int32_t kind, const PadState& pad, const PadCodes& codes) {
  switch (kind) {
    case kWindowsPad:
      return windows_pad(pad);
    case kPlayStationPad:
      return playstation_pad(pad, codes);
    case kOhcPc01:
      return ohc_pc01(pad);
    default:
      return {};
  }
}

bool apply_pad_decision(RunState& s, const TrainParams& train, const PadDecision& decision) {
  if (decision.power_notch) {
    set_controller_power(s, train, *decision.power_notch);
    s.power_change_pending = 1;
  }
  if (decision.brake_step) {
    set_controller_brake(s, train, *decision.brake_step);
    set_brake_pending(s);
  }
  return decision.power_notch || decision.brake_step;
}

}  // namespace cabsim
