// The cab panel of a train: the records its panel keys fill (pictures, lamps,
// gauges, indicators, clock and extra pictures). The sprites are made from
// them when the driving form is set up.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace cabsim {

constexpr size_t kMaxOtherPictures = 11;    ///< `[Others]` entries
constexpr size_t kMaxCabSignalSpeeds = 10;  ///< `[Lamp_signal]` list entries, one per pattern

/// A lamp or a plain panel picture: image file and position.
struct Lamp {
  std::string file;
  int32_t x = 0;
  int32_t y = 0;
};

/// A round gauge needle, or one of the two linear bars. For a bar, `zero_angle`
/// holds its base y and `scale` its pixels per kPa; `y` and the reserved values
/// are unused.
struct Meter {
  std::string file;
  int32_t x = 0;
  int32_t y = 0;
  int32_t reserved1 = 0;            ///< read to keep the format line-compatible; unused
  int32_t reserved2 = 0;            ///< read to keep the format line-compatible; unused
  int32_t zero_angle = 0;           ///< degrees (base y for a bar)
  long double scale = 0;            ///< degrees per unit shown (pixels per kPa for a bar)
  long double low_speed_scale = 0;  ///< speedometer below 10 km/h; 0 = none
  int32_t mode = 0;                 ///< ammeter: 0 signed x reverser, 1 absolute, 2 fixed at zero
};

/// A strip or grid of equally sized patterns, one shown at a time.
struct IndicatorImage {
  int32_t x = 0;
  int32_t y = 0;
  int32_t pattern_width = 0;
  int32_t pattern_height = 0;
  std::string file;  ///< empty: no picture, no sprite
};

/// The analogue clock drawn into a 50 x 50 picture.
struct PanelClock {
  int32_t x = 0;  ///< no analogue clock when x or y is 0 or less
  int32_t y = 0;
  int32_t hand_length = 0;
};

/// Everything the panel keys of a train file describe. Field names are the
/// file's keys without brackets.
struct CabPanelDefinition {
  PanelClock Clock;
  Lamp Panel;
  Lamp Panel2;
  Lamp Lamp_Door, Lamp_Power, Lamp_EB, Lamp_Gen, Lamp_Air, Lamp_Fin, Lamp_Ele;
  Lamp Lamp_Ats1, Lamp_Ats2, Lamp_ATSP1, Lamp_ATSP2;
  Lamp Lamp_G, Lamp_YG, Lamp_Y, Lamp_YY, Lamp_R;  ///< stored; nothing uses them
  Lamp Lamp_Fwd, Lamp_Back, Lamp_Const, Lamp_Stop;
  Meter Needle_Speed, Needle_BC, Needle_BC_L, Needle_SAP, Needle_ER, Needle_BP, Needle_MR,
      Needle_MR_L, Needle_V, Needle_I;

  IndicatorImage Lamp_signal;
  /// Entry k is the signal speed (km/h) that pattern k of the cab signal shows.
  std::array<int32_t, kMaxCabSignalSpeeds> Lamp_signal_speeds{};
  int32_t Lamp_signal_count = 0;

  IndicatorImage NotchImageP, NotchImageB, NotchImageP2, NotchImageB2;
  IndicatorImage GearImageList, GearImageList2, Digi_Speed;

  std::array<Lamp, kMaxOtherPictures> Others{};
  int32_t Others_count = 0;
};

}  // namespace cabsim
