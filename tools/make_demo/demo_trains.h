// The trains of the demo line and the layout of their cab panels.
#pragma once

#include <string>
#include <vector>

#include "demo_assets.h"
#include "demo_output.h"

namespace demo {

/// What the picture generator draws for one train's cab panel.
struct PanelDesign {
  std::string dir;        ///< backslash folder of the panel pictures, with the trailing backslash
  std::string title;      ///< name plate on the panel
  int power_notches = 0;  ///< patterns of the power indicator: 0 up to this
  int brake_steps = 0;    ///< patterns of the brake indicator: release, steps, emergency
  bool one_lever = false;
  bool diesel = false;
  bool cab_signal = false;  ///< ATS-P train with the cab signal speed display
  unsigned colour = 0;      ///< panel body colour, 0xRRGGBB
  bool atc = false;         ///< signalled in the cab: the display of the six cab-signal aspects
};

/// Writes train_tz100.dat, train_kiha10.dat, train_tx300.dat and
/// train_tz100_atc.dat (the TZ100 signalled in the cab).
std::vector<PanelDesign> write_trains(Output& out, SoundList& sounds);

/// The file names of the trains, the default first.
const std::vector<std::string>& train_files();

/// The speeds of the cab-signal aspects 0 to 5 (`[Lamp_signal]` patterns), km/h.
inline constexpr int kAtcSpeeds[6] = {0, 25, 45, 75, 100, 110};

/// The cab panel is 684 x 320 pixels below the 684 x 384 cab view.
constexpr int kPanelTop = 384;
constexpr int kPanelWidth = 684;
constexpr int kPanelHeight = 320;

}  // namespace demo
