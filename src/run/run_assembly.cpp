// Files, sounds, positions and the starting state of a run.
#include "run/run_assembly.h"

#include "data/cabworks_file.h"
#include "data/definition_error.h"
#include "data/route_file.h"
#include "data/route_lookup.h"
#include "data/route_setup.h"
#include "data/shift_jis.h"
#include "data/train_file.h"
#include "data/wave_seconds.h"
#include "input/masconupdate.h"
#include "operation/doors.h"
#include "operation/film_segments.h"
#include "sound/channel_layout.h"
#include "state/checked_math.h"
#include "state/panel_layout.h"

namespace cabsim {
namespace {

/// Clock units per second.
constexpr int64_t kClockPerSecond = 30;

int64_t sound_seconds(const RouteTables& route, int32_t k) {
  return is_environment_sound(route, k) ? route.SoundData_seconds[static_cast<size_t>(k)] : 0;
}

void load_sound(Run& run, int channel, const std::filesystem::path& file) {
  std::string error = run.sounds.load(channel, file);
  if (!error.empty()) throw DefinitionError(error);
}

/// Reads a sound the calls play in turn; an empty name is no sound.
void preload_sound(Run& run, const FileResolver& resolve, const std::string& name) {
  if (name.empty()) return;
  std::string error = run.sounds.preload(resolve(run.selection.program_dir, name));
  if (!error.empty()) throw DefinitionError(error);
}

/// The call sounds and the sounds of the other signs.
void preload_call_sounds(Run& run, const FileResolver& resolve) {
  const RouteTables& route = *run.route;
  for (const std::string& name : route.KankoSound1) preload_sound(run, resolve, name);
  for (const KankoData& record : table_rows(route.KankoSound2, route.KankoSound2_count))
    preload_sound(run, resolve, record.file);
  for (const OtherImageEntry& entry : table_rows(route.OtherImageList, route.OtherImageList_count))
    preload_sound(run, resolve, entry.sound);
}

/// The texts a run starts with.
void starting_texts(Run& run, const StationData& start) {
  RunView& v = run.view;
  const bool one_man = run.route->OneMan > 0;
  v.top_message.clear();
  v.gear_text = run.train.Engine_Type == 0 ? run.text.Gears[1] : std::string();
  v.selector_text = one_man ? run.text.Doors[0] : std::string();
  v.next_station_text = start.name;
  v.reverser_text = run.text.Forward;
  v.car_count_text = one_man ? std::string() : std::to_string(run.train.Cars) + run.text.Cars;
  v.start_caption = sjis_to_utf8(run.text.Start);  // the menu caption, UTF-8
}

}  // namespace

int32_t start_clock(const RouteTables& route, int32_t start_station) {
  const StationData* start = station_at(route, start_station);
  if (!start) return 0;
  int64_t clock = start->departure_time - kClockPerSecond * sound_seconds(route, start->melody);
  if (start_station > 0) clock -= kClockPerSecond * sound_seconds(route, start->arrival_sound);
  return checked_int32(clock);
}

int32_t arrival_clock(const RouteTables& route, int32_t station) {
  const StationData* st = station_at(route, station);
  if (!st) return 0;
  return checked_int32(int64_t{st->departure_time} -
                       kClockPerSecond * sound_seconds(route, st->melody) -
                       kClockPerSecond * sound_seconds(route, st->arrival_sound));
}

void read_run_files(Run& run, const FileResolver& resolve) {
  const RunSelection& sel = run.selection;
  const std::filesystem::path& dir = sel.program_dir;
  run.mascon = read_mascon_file(resolve(dir, kMasconFileName));
  run.train =
      read_train_file(resolve(dir, sel.train_dir_prefix + sel.train_file), sel.train_dir_prefix);
  RouteReadContext context;
  context.train_file_name = sel.train_file;
  context.train_dir_prefix = sel.train_dir_prefix;
  run.route = read_route_file(resolve(dir, sel.route_file), context);
  build_move_menu(*run.route);
  run.text = read_cabworks_file(resolve(dir, kCabworksFileName));
}

void bind_run_sounds(Run& run, const FileResolver& resolve,
                     const std::function<void(std::string_view)>& status) {
  auto say = [&status](std::string_view text) {
    if (status) status(text);
  };
  const TrainParams& train = run.train;
  RouteTables& route = *run.route;
  const std::filesystem::path& dir = run.selection.program_dir;
  const ChannelLayout layout = channel_layout(train, route);
  if (layout.bound_channels() > run.sounds.channel_count())
    throw DefinitionError(std::string(kTooManySounds));
  int channel = 0;
  say(kStatusRunningSounds);
  for (int32_t i = 0; i < train.DriveSound_count; ++i)
    load_sound(run, channel++, resolve(dir, train.DriveSound[static_cast<size_t>(i)]));
  say(kStatusEnvironmentSounds);
  for (int32_t k = 0; k < route.SoundData_count; ++k) {
    auto file = resolve(dir, route.SoundData[static_cast<size_t>(k)]);
    load_sound(run, channel++, file);
    route.SoundData_seconds[static_cast<size_t>(k)] = WaveSeconds(file).seconds;
  }
  say(kStatusCallSounds);
  preload_call_sounds(run, resolve);
  // An engine sound row without a file leaves its channel silent.
  for (int32_t i = 0; i < train.EngineSound1_count; ++i, ++channel) {
    const std::string& file = train.EngineSound1[static_cast<size_t>(i)].file;
    if (!file.empty()) load_sound(run, channel, resolve(dir, file));
  }
  for (int32_t i = 0; i < train.EngineSound3_count; ++i, ++channel) {
    const std::string& file = train.EngineSound3[static_cast<size_t>(i)].file;
    if (!file.empty()) load_sound(run, channel, resolve(dir, file));
  }
  say(kStatusBindingSounds);
  for (int c = 0; c < run.sounds.channel_count(); ++c) run.sounds.stop(c);
}

std::string open_first_film(Run& run) {
  if (!run.film) return {};
  run.film_file = main_film_file(run);
  ++run.films_opened;
  if (run.film->open(run.film_file).empty()) return {};
  return std::string(kFilmCannotOpen) + sjis_to_utf8(run.text.Path + run.route->DataName + ".avi");
}

void set_up_run_state(Run& run) {
  RouteTables& route = *run.route;
  const int32_t start = run.selection.start_station;
  reset_route_run_fields(route);
  set_up_route_positions(route, start);
  check_brake_steps(run.train);  // `[Brake]` is final from here on

  RunState& s = run.state;
  RunView& v = run.view;
  const int32_t frame = s.current_frame;
  const PanelState made = v.panel;  // the panel view has marked the sprites it made
  const uint32_t refresh = v.film_refresh;
  s = initial_run_state(run.train);
  v = RunView{};
  v.film_refresh = refresh + 1;  // a new start: the display fetches its picture again
  s.current_frame = frame;
  for (size_t i = 0; i < kPanelElementCount; ++i) {
    v.panel.sprites[i].present = made.sprites[i].present;
    v.panel.sprites[i].pattern_count = made.sprites[i].pattern_count;
  }
  s.debug_mode = run.selection.debug_mode ? 1 : 0;
  s.commentary_on = run.settings.Information == 1 ? 1 : 0;
  s.beginner_mode = run.settings.ATS == 1 ? 1 : 0;
  s.ats_on = run.settings.ATS == 1 ? 0 : 1;
  s.vigilance_enabled = run.train.EB != 0 ? 1 : 0;
  s.clock = start_clock(route, start);
  s.next_station = checked_add(start, 1);
  s.current_station = start;  // the station rules take this stop as the run's start
  s.departure_counter = start;
  static const StationData kNoStation;
  const StationData* station = station_at(route, start);
  if (!station) station = &kNoStation;
  const bool doors_open = station->kind == 0;
  if (doors_open) {
    // A run from a stop starts with its doors open; the station step plays
    // the start announcement, the melody, and closes them at departure.
    s.doors_open = 1;
    s.doors_not_closed = 1;
  }
  starting_texts(run, *station);
  masconupdate(run);
  panel_run_start(v.panel, s.ats_on != 0);
  set_door_closed_lamp(s, v.panel, !doors_open);
  s.position = start_position(route, start);
}

void assemble_run(Run& run, const RunSelection& selection, const RunSettings& settings,
                  const FileResolver& resolve, const AssemblySteps& steps) {
  auto say = [&steps](std::string_view text) {
    if (steps.status) steps.status(text);
  };
  run.selection = selection;
  run.settings = settings;
  const std::filesystem::path dir = selection.program_dir;
  run.find_file = [dir, resolve](std::string_view name) { return resolve(dir, name); };
  say(kStatusReadingFiles);
  read_run_files(run, resolve);
  const StationData* start = station_at(*run.route, selection.start_station);
  run.state.current_frame =
      selection.start_station > 0 && start ? start->frame : run.route->StartPos;
  if (steps.files_read) steps.files_read(run);
  if (std::string failure = open_first_film(run); !failure.empty() && steps.message)
    steps.message(failure);
  bind_run_sounds(run, resolve, steps.status);
  run.view.panel.show(PanelElement::kLampEB, false);  // the sounds are bound: the lamp goes out
  if (steps.sounds_bound) steps.sounds_bound(run);
  say(kStatusEnvironment);
  set_up_run_state(run);
  run.state.film_frame_count = run.film ? run.film->frame_count() : 0;
}

}  // namespace cabsim
