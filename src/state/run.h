// One run as the handlers work on it: the definitions read for it, its
// running state, and the services it uses (sound channels, millisecond clock,
// the two timers). The driving form and the command-line simulation own one
// each.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "data/cabworks_text.h"
#include "data/mascon_file.h"
#include "data/route_tables.h"
#include "data/train_params.h"
#include "state/clock.h"
#include "state/film_source.h"
#include "state/joystick.h"
#include "state/run_input.h"
#include "state/run_state.h"
#include "state/run_timers.h"
#include "state/run_view.h"
#include "state/settings_store.h"
#include "state/sound_channels.h"

namespace cabsim {

/// What the title screen hands to the driving form. Names are in the
/// definition files' own encoding (Shift-JIS).
struct RunSelection {
  std::filesystem::path program_dir;
  std::string route_file;
  std::string train_file = "train_tz100.dat";
  std::string train_dir_prefix;
  int32_t start_station = 0;  ///< 0: from `[StartPos]`; otherwise a station index
  bool debug_mode = false;    ///< first command-line argument "1"
};

/// The user settings a run starts from (`hanabira` values).
struct RunSettings {
  int32_t Kanko = 0;        ///< 1: calls off
  int32_t Information = 1;  ///< 1: commentary on
  int32_t ATS = 0;          ///< 1: beginner mode, ATS starts off
  int32_t Tunnel = 0;       ///< 1: visual effects off
};

/// Finds the file a definition file names (its own bytes), below the program
/// directory unless absolute.
using FileFinder = std::function<std::filesystem::path(std::string_view name)>;

struct Run;

/// Hears of every operation tick after its steps (the run record). It reads
/// the run and never changes it.
class TickListener {
 public:
  virtual ~TickListener() = default;
  virtual void after_tick(const Run& run) = 0;
};

struct Run {
  Run(SoundChannels& sound_channels, Clock& run_clock, RunTimers& run_timers)
      : sounds(sound_channels), clock(run_clock), timers(run_timers) {}

  RunSelection selection;
  RunSettings settings;
  MasconMap mascon;
  TrainParams train;
  std::unique_ptr<RouteTables> route = std::make_unique<RouteTables>();
  CabworksText text;
  RunState state;
  RunView view;  ///< what the rules decide for the view, beside the state
  /// Finds files named while driving (commentary sounds); set by the assembly.
  FileFinder find_file = [](std::string_view name) { return std::filesystem::path(name); };
  /// The run's film: the one on show in the driving form, the frames alone in
  /// the command-line simulation; null runs without a film.
  FilmSource* film = nullptr;
  /// Shows frame n of the film at once, before the next display pass (the
  /// first picture of a film insert); empty without a display.
  std::function<void(int32_t n)> show_film_frame;
  /// The game controller the tick polls while a pad kind is chosen; null
  /// polls as no controller present.
  Joystick* joystick = nullptr;
  /// The PlayStation pad's codes of each handle position (`padcontroller`).
  PadCodes pad_codes;
  /// Told of each operation tick once its steps have run; null none.
  TickListener* tick_listener = nullptr;
  /// Told of each input of the driver at the entry points of the run; null none.
  InputListener* input_listener = nullptr;
  /// The film last opened for the run (the main film or an insert), and how
  /// many films have been opened: the record notes which film each frame is of.
  std::filesystem::path film_file;
  int32_t films_opened = 0;

  SoundChannels& sounds;
  Clock& clock;
  RunTimers& timers;
};

/// Tells the run's input listener of `input`, when there is one.
inline void note_input(const Run& run, const RunInput& input) {
  if (run.input_listener) run.input_listener->on_input(run, input);
}

}  // namespace cabsim
