// The demo line: one description of the track (stations, signal_posts, limits,
// curves, gradient, tunnel, crossing) and the filming train's run over it in
// each direction, from which both the films and the route files are made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

/// Frames per second of every film of the demo line.
constexpr int kFps = 30;

/// A stretch of the line in metres along the direction of travel.
struct Stretch {
  double from = 0;
  double to = 0;
};

/// A curve: positive radius curves right, negative left (metres).
struct Curve {
  Stretch at;
  double radius = 0;
};

/// A gradient in per mille (positive uphill in the direction of travel).
struct Gradient {
  Stretch at;
  double permille = 0;
};

/// A speed limit for the direction of travel.
struct Limit {
  Stretch at;
  int kmh = 0;
};

/// A station as seen in one direction.
struct Station {
  std::string name;     ///< Japanese name (UTF-8)
  std::string reading;  ///< romanised name for the boards
  std::string kana;     ///< the name in kana, as it is announced
  double stop = 0;      ///< nominal stop position (front of the train), m
  Stretch platform;
  bool left_platform = true;  ///< platform on the left of the train
  bool filmed_stop = true;    ///< the filming train stops here
};

/// Kinds of line-side signal_posts of the demo line (the lamp arrangement).
enum class SignalRole { block, home, starting, repeater };

struct Signal {
  SignalRole role = SignalRole::block;
  double at = 0;         ///< m
  int number = 0;        ///< plate number
  int station = -1;      ///< station a starting signal belongs to
  double view_from = 0;  ///< m where the signal comes into view
};

/// A level crossing with a road at right angles.
struct Crossing {
  double at = 0;
  double road_width = 8;
};

/// Everything along one direction of the line, in metres from the start of the
/// film. Built from the one line description by `direction()`.
struct Direction {
  bool up = false;
  double length = 0;             ///< m of track the film covers
  double chainage_at_start = 0;  ///< km post value at film position 0, km
  int chainage_sign = 1;         ///< +1 when km posts grow along the film
  std::vector<Station> stations;
  std::vector<Signal> signal_posts;
  std::vector<Limit> limits;
  std::vector<Curve> curves;
  std::vector<Gradient> gradients;
  Stretch tunnel;
  Crossing crossing;
  double road_signal = 0;              ///< m, road traffic signal beside the crossing road
  std::vector<double> switches;        ///< m, points passed over
  std::vector<double> gradient_posts;  ///< m, where the gradient changes
  double passing_train = 0;            ///< m, where a train on the other track passes
  double time_check_sign = 0;          ///< m
  double km_post(double s) const { return chainage_at_start + chainage_sign * s / 1000.0; }
};

/// The direction of the line as it is filmed (up: towards 花見台).
Direction direction(bool up);

/// One row of the film's speed profile.
struct SpeedSegment {
  int from_frame = 0;
  int to_frame = 0;
  double from_kmh = 0;
  double to_kmh = 0;
};

/// The filming train's run and the frame / position conversion of the route.
class SpeedProfile {
 public:
  explicit SpeedProfile(std::vector<SpeedSegment> segments);

  const std::vector<SpeedSegment>& segments() const { return segments_; }
  int last_frame() const { return segments_.back().to_frame; }
  /// Film frames: 0 up to the last frame of the profile.
  int frame_count() const { return last_frame() + 1; }
  /// Position of frame `f` in centimetres, as the run set-up computes it.
  int64_t position_cm(int f) const;
  double position_m(int f) const { return position_cm(f) / 100.0; }
  /// Filmed speed at frame `f`, km/h.
  double speed_kmh(int f) const;
  /// First frame whose position is at or beyond `metres`.
  int frame_at(double metres) const;
  /// The first frame of the stand at the station stopping at `metres`.
  int stop_frame_near(double metres) const;

 private:
  std::vector<SpeedSegment> segments_;
  std::vector<int64_t> frame_cm_;  ///< position of every frame
};

/// Plans the filming train's run over `dir`: accelerating, running at the
/// limits, braking to a stop at every filmed stop, standing briefly.
SpeedProfile plan_run(const Direction& dir);

/// Round half to even, as the simulator rounds.
int64_t round_even(double value);

}  // namespace demo
