// Names of the sounds and pictures of the demo line that the definition files
// name and the generators make, so both sides use one list.
#pragma once

#include <string>
#include <vector>

namespace demo {

/// What a synthesised sound stands for.
enum class SoundKind {
  running,  ///< rail noise and joint clicks of one 10 km/h band (param: km/h)
  motor,    ///< traction motor whine (param: base pitch Hz)
  engine,   ///< diesel engine rumble (param: firing Hz)
  brake_apply,
  brake_release,
  handle,
  emergency,
  ats_bell,
  ats_chime,
  cab_bell,
  horn,  ///< param: pitch Hz
  door_open,
  door_close,
  vigilance,
  squeal,
  compressor_start,
  compressor_run,
  compressor_stop,
  stop_warning,
  buzzer,  ///< param: pitch Hz
  departure_signal,
  ats_warning,
  switch_click,  ///< param: number of wheel-set clicks
  melody,        ///< param: tune number
  crossing_bell,
  passing_train,
  gear_change,
  retarder,
  air_release,
  ambient,
  speech,  ///< spoken phrase (text)
  title_music,
};

struct SoundSpec {
  std::string file;  ///< backslash path below the program directory
  SoundKind kind;
  double param = 0;
  std::string text;  ///< for speech: the Japanese phrase
};

/// The sounds the definition files name, in the order they were first named.
class SoundList {
 public:
  /// Records the sound `file` (once) and returns its name for the file.
  std::string add(std::string file, SoundKind kind, double param = 0, std::string text = {});
  const std::vector<SoundSpec>& all() const { return sounds_; }

 private:
  std::vector<SoundSpec> sounds_;
};

}  // namespace demo
