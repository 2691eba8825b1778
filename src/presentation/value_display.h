// The value display: the run's internal quantities as the texts of the value
// form, its three pressure bars and the sound grid, computed only when the
// form is on show.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "state/run.h"

namespace cabsim {

/// The value rows in the form's order, each a caption and its value.
enum class ValueRow : uint8_t {
  kSpeed,
  kAcceleration,
  kSlope,
  kPower,
  kResistance,
  kCurrent,
  kRpm,
  kGear,
  kFriction,
  kSap,
  kEr,
  kMr,
  kBrakeM,
  kBrakeT,
  kBrakeE,
  kFrame,
  kProjected,
  kFrameSub,
  kDrawing,
  kMovie,
  kFps,
  kRemain,
  kTotal,
  kNextStation,
  kNotch,
  kSign,
  kSound,
  kAhead,
  kAtsp,
  kLimit,
  kCheck,
};
constexpr size_t kValueRows = static_cast<size_t>(ValueRow::kCheck) + 1;

/// The captions, as the form shows them.
constexpr std::array<std::string_view, kValueRows> kValueCaptions = {"Speed",
                                                                     "Accelaration",
                                                                     "Slope",
                                                                     "Power",
                                                                     "Resistance",
                                                                     "Current",
                                                                     "rpm",
                                                                     "Gear",
                                                                     "Friction",
                                                                     "SAP ",
                                                                     "ER ",
                                                                     "MR ",
                                                                     "Brake(M)",
                                                                     "Brake(T)",
                                                                     "Brake(E)",
                                                                     "Frame",
                                                                     "Projected",
                                                                     "Frame_sub",
                                                                     "Drawing",
                                                                     "Movie",
                                                                     "FPS",
                                                                     "Remain",
                                                                     "Total",
                                                                     "Next sta",
                                                                     "Notch",
                                                                     "Sign",
                                                                     "Sound",
                                                                     "Ahead",
                                                                     "ATSP Dist/Limit/Pattern",
                                                                     "Limit Dist/Limit/Pattern",
                                                                     "Check Dist/Limit/Pattern"};

/// Signals the display follows ahead of the train.
constexpr size_t kSignalsAhead = 5;

/// What the display pass knows and the run does not.
struct DisplayFigures {
  int32_t drawn_frame = -1;  ///< the film frame last fetched
  int32_t fps = 0;           ///< display passes in the last second
};

struct ValueDisplay {
  std::array<std::string, kValueRows> values;            ///< UTF-8
  std::string signal;                                    ///< "Signal now:… now2:… lim_now:…"
  std::string ahead_between;                             ///< "(station～next)" of the train ahead
  std::array<std::string, kSignalsAhead> signals_ahead;  ///< "aspect display" of each
  /// Bars of the two brake cylinders (kPa) and the electric brake (A).
  int32_t bar_motor = 0, bar_trailer = 0, bar_electric = 0;
};

/// The texts of the value display for the run as it stands.
ValueDisplay value_display(const Run& run, const DisplayFigures& figures);

/// A serial line as the value display's caption (UTF-8): the line's bytes
/// read as Shift-JIS, control characters and bytes that are no character
/// shown as U+FFFD.
std::string serial_line_caption(std::string_view line);

/// The sound grid: channels 0 .. 99, ten to a row.
constexpr int kGridChannels = 100;

}  // namespace cabsim
