// The route files of the run catalogue, written from the line description and
// the filming train's speed profile of each direction.
#pragma once

#include <string>
#include <vector>

#include "demo_assets.h"
#include "demo_output.h"
#include "line_model.h"

namespace demo {

/// One catalogued run of the demo line.
struct RunSpec {
  std::string file;  ///< line_*.dat
  bool up = false;
  std::string train_number;  ///< e.g. "827M"; empty for a free run
  bool one_man = false;
  bool stops_at_pass_station = false;  ///< a local that stops at 緑町 too
  int first_departure = 0;             ///< clock at the first departure, s after midnight
  bool preceding_train = false;
  bool crew_change = false;
  bool cab_signal = false;  ///< signalled in the cab (ATC): every signal a cab-signal section
};

const std::vector<RunSpec>& run_catalogue();

/// The speed limit boards of the other-sign list, km/h (cell = index + 1).
const std::vector<int>& limit_boards();

/// Names of the shared pictures the route files list.
std::string signal_picture(int n);      ///< 0..42
std::string signal_sub_picture(int n);  ///< 0..3
std::string other_sign_picture(
    int cell);                    ///< 0 time check, then limit boards, then the release board
std::string sign_picture(int n);  ///< 0 uphill, 1 downhill (sign list cells 1 and 2)
std::string anim_picture(int n);  ///< 0..13, the crossing's warning lamps
std::string traffic_signal_picture(int n);  ///< 0..2 green, yellow, red; 3, 4 stop, proceed
std::string cross_picture(int n);           ///< 0 crossing ahead, 1 its indicator dark

/// The films of one direction the route files name (base names, no ".avi").
struct FilmNames {
  std::string main, camera_insert, station_insert;
};
FilmNames film_names(bool up);

/// Frames of the two inserts of the up direction.
struct InsertPlan {
  int camera_from = 0, camera_to = 0, camera_length = 0, camera_return = 0;
  int station_index = 0, station_stop_frame = 0, station_length = 0;
};
InsertPlan insert_plan(const Direction& dir, const SpeedProfile& profile);

/// A timetable card: the times of one timetabled run.
struct StafCard {
  std::string file;   ///< picture path
  std::string title;  ///< e.g. "827M 花見台ゆき"
  struct Row {
    std::string station;
    int arrival = 0, departure = 0;  ///< clock units (1/30 s)
    bool stops = true;
    bool crew_change = false;  ///< the crew changes here
  };
  std::vector<Row> rows;
};

/// Writes every route file of the catalogue; returns the cards they show.
std::vector<StafCard> write_routes(Output& out, SoundList& sounds);

}  // namespace demo
