// The simulate command: assembly, scheduler, script and trace.
#include "simulate.h"

#include <malloc.h>
#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator counts what it holds (GCC ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "data/definition_error.h"
#include "data/shift_jis.h"
#include "input/joystick.h"
#include "platform/file_paths.h"
#include "platform/film_index_ffmpeg.h"
#include "platform/mono_sound_file.h"
#include "platform/run_pictures.h"
#include "platform/run_record_file.h"
#include "platform/settings_store_qt.h"
#include "replay_file.h"
#include "run/controllers.h"
#include "run/form_handlers.h"
#include "run/handler_guard.h"
#include "run/keyboard.h"
#include "run/motion_cycle.h"
#include "run/operation_tick.h"
#include "run/run_assembly.h"
#include "run/run_record.h"
#include "run/scheduler.h"
#include "run/start_pause.h"
#include "run/station_move.h"
#include "sim_script.h"
#include "sound/sound_channels_silent.h"
#include "state/run_fields.h"

namespace cabsim::tool {
namespace {

/// Fields written when --fields is not given.
const std::vector<std::string> kDefaultFields = {
    "speed",          "position",         "current_frame", "power_handle",           "brake_handle",
    "tractive_force", "resistance_force", "brake_force",   "trailer_brake_cylinder", "speed_text"};

/// The joystick a script sets: its readings pass the dead zone as the
/// device's do.
class ScriptedJoystick final : public Joystick {
 public:
  JoystickReading poll() override { return reading_; }
  void set(const ScriptCommand& cmd) {
    reading_ = JoystickReading{};
    if (!cmd.pad_connected) return;
    reading_.x = apply_joystick_dead_zone(cmd.pad_x);
    reading_.y = apply_joystick_dead_zone(cmd.pad_y);
    reading_.buttons = cmd.pad_buttons;
    reading_.connected = true;
  }

 private:
  JoystickReading reading_;
};

/// Everything a simulated run needs, in the order it must be built.
struct Simulation {
  VirtualClock clock;
  ScriptedJoystick pad;
  SilentSoundChannels sounds;
  FilmIndexFfmpeg film;  ///< the films' frames, no pictures
  std::unique_ptr<Run> run;
  std::unique_ptr<Scheduler> scheduler;
  /// Where saved states go: the settings file given, else kept for the run.
  std::unique_ptr<SettingsStore> settings = std::make_unique<MemorySettingsStore>();
  std::ostream* err = nullptr;
  /// A failure inside an event is reported the first time, as the program's
  /// error handler does, and the run goes on.
  HandlerGuard guard{[this](std::string_view handler, std::string_view what) {
    *err << "cabsim-tool: " << clock.milliseconds() << " ms: " << handler << ": " << what << '\n';
  }};

  /// A message box the run asks for is a line on the error output.
  void show_message() {
    std::string& text = run->view.message;
    if (text.empty()) return;
    *err << "cabsim-tool: " << clock.milliseconds() << " ms: " << text << '\n';
    text.clear();
  }

  explicit Simulation(std::ostream& error_out) : err(&error_out) {
    // Sounds are not heard, but a file the program's channels refuse is
    // refused here with the same words.
    sounds.check_file = [](const std::filesystem::path& file) {
      return check_mono_sound(file, kChannelSoundLimits);
    };
    scheduler = std::make_unique<Scheduler>(
        clock, [this] { guard.run("MMTimer1Timer", [this] { MMTimer1Timer(*run); }); },
        [this] {
          guard.run("Timer1Timer", [this] { Timer1Timer(*run); });
          // What the pad posted is handled after the tick, as typed.
          guard.run("posted keys", [this] { deliver_posted_keys(*run); });
          show_message();
        },
        [this](int64_t ms) { sounds.advance(ms); });
    run = std::make_unique<Run>(sounds, clock, *scheduler);
    run->film = &film;
    run->joystick = &pad;
  }
};

RunSelection selection_of(const Options& options) {
  RunSelection sel;
  sel.program_dir = options.data_dir;
  sel.route_file = utf8_to_sjis(options.route.value_or(""));
  sel.train_file = utf8_to_sjis(options.train);
  sel.train_dir_prefix = utf8_to_sjis(options.train_dir);
  return sel;
}

void execute(Simulation& sim, const ScriptCommand& cmd) {
  Run& run = *sim.run;
  switch (cmd.action) {
    case ScriptAction::kMove:
      if (!StationClick(run, cmd.number))
        run.view.message = "no stop " + std::to_string(cmd.number) + " to move to";
      break;
    case ScriptAction::kSave:
      run.view.message = S2Click(run, *sim.settings, cmd.number);
      break;
    case ScriptAction::kLoad:
      run.view.message = L1Click(run, *sim.settings, cmd.number);
      break;
    case ScriptAction::kSettings:
      switch (cmd.setting) {
        case TrainSetting::kAtsOn:
          jumpdlg_ats(run, true);
          break;
        case TrainSetting::kAtsOff:
          jumpdlg_ats(run, false);
          break;
        case TrainSetting::kEngineStart:
          jumpdlg_engine_start(run);
          break;
        case TrainSetting::kEngineStop:
          jumpdlg_engine_stop(run);
          break;
      }
      break;
    case ScriptAction::kStart:
      start1Click(run);
      break;
    case ScriptAction::kChar:
      AsciiDown(run, cmd.character);
      break;
    case ScriptAction::kKey:
      keydowns(run, cmd.key, cmd.shift);
      break;
    case ScriptAction::kSerial:
      RxChar(run, cmd.serial);
      deliver_posted_keys(run);
      break;
    case ScriptAction::kPad:
      sim.pad.set(cmd);
      break;
    case ScriptAction::kController:
      controller_kind_click(run, cmd.number);
      break;
    case ScriptAction::kWheel:
      mouse_wheel(run, cmd.wheel_up);
      break;
    case ScriptAction::kMenu:
      switch (cmd.menu_item) {
        case MenuItem::kD1:
          D1Click(run, cmd.checked);
          break;
        case MenuItem::kOFF1:
          OFF1Click(run, cmd.checked);
          break;
        case MenuItem::kOFF2:
          OFF2Click(run, cmd.checked);
          break;
        case MenuItem::kOFFV1:
          OFFV1Click(run, cmd.checked);
          break;
        case MenuItem::kDebug1:
          debug1Click(run, cmd.checked);
          break;
      }
      break;
  }
}

/// A CSV cell: quoted when it holds a comma, a quote or a line break.
std::string csv_cell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

/// Values the trace follows one numbered item at a time: run-time values of
/// a route table's rows ("aspect:3"), sound channels ("channel_volume:4"),
/// engine sound rows ("row_level:0").
struct IndexedField {
  std::string_view prefix;
  std::string_view missing;  ///< the message about an item the run lacks, before its number
  int32_t (*count)(const Run& run);
  std::string (*read)(const Run& run, size_t i);
};

/// A column of the trace: a field of the running state or of the view, or
/// one item of an indexed field.
struct TraceColumn {
  std::string name;
  const RunField* field = nullptr;
  const IndexedField* indexed = nullptr;
  int32_t item = 0;
  bool heap = false;  ///< the process's allocated bytes, not a field of the run
};

/// The column of the bytes the process holds allocated, for soaks that watch
/// memory grow.
constexpr const char* kHeapColumn = "heap_bytes";

/// Bytes allocated and not freed, as the allocator counts them.
size_t heap_bytes() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

std::string status_text(ChannelStatus status) {
  return std::to_string(static_cast<int32_t>(status));
}

int32_t channel_count(const Run& run) {
  return run.sounds.channel_count();
}

int32_t engine1_rows(const Run& run) {
  return run.train.EngineSound1_count;
}

int32_t engine3_rows(const Run& run) {
  return run.train.EngineSound3_count;
}

constexpr IndexedField kIndexedFields[] = {
    {"aspect", "the route has no signal", [](const Run& r) { return r.route->Signal_count; },
     [](const Run& r, size_t i) { return std::to_string(r.route->Signal[i].aspect); }},
    {"display_number", "the route has no signal",
     [](const Run& r) { return r.route->Signal_count; },
     [](const Run& r, size_t i) { return std::to_string(r.route->Signal[i].display_number); }},
    {"passed", "the route has no speed check of table 1",
     [](const Run& r) { return r.route->SpeedCheck1_count; },
     [](const Run& r, size_t i) { return std::to_string(r.route->SpeedCheck1[i].passed); }},
    {"traffic_phase", "the route has no road traffic signal",
     [](const Run& r) { return r.route->TrafficSignal_count; },
     [](const Run& r, size_t i) { return std::to_string(r.route->TrafficSignal[i].phase); }},
    {"traffic_phase_timer", "the route has no road traffic signal",
     [](const Run& r) { return r.route->TrafficSignal_count; },
     [](const Run& r, size_t i) { return std::to_string(r.route->TrafficSignal[i].phase_timer); }},
    {"channel_status", "the run has no sound channel", channel_count,
     [](const Run& r, size_t i) { return status_text(r.sounds.status(static_cast<int>(i))); }},
    {"channel_volume", "the run has no sound channel", channel_count,
     [](const Run& r, size_t i) { return std::to_string(r.sounds.volume(static_cast<int>(i))); }},
    {"channel_frequency", "the run has no sound channel", channel_count,
     [](const Run& r, size_t i) {
       return real_text(r.sounds.frequency_factor(static_cast<int>(i)));
     }},
    {"row_level", "the train has no [EngineSound1] row", engine1_rows,
     [](const Run& r, size_t i) { return real_text(r.state.row_level[i]); }},
    {"row_gate", "the train has no [EngineSound1] row", engine1_rows,
     [](const Run& r, size_t i) { return real_text(r.state.row_gate[i]); }},
    {"gear_sound_level", "the train has no [EngineSound3] row", engine3_rows,
     [](const Run& r, size_t i) { return real_text(r.state.gear_sound_level[i]); }},
    {"gear_sound_gate", "the train has no [EngineSound3] row", engine3_rows,
     [](const Run& r, size_t i) { return real_text(r.state.gear_sound_gate[i]); }},
};

/// The column called `name`, or nothing; the item of an indexed field is
/// checked once the run is assembled.
std::optional<TraceColumn> find_column(const std::string& name) {
  if (name == kHeapColumn) return TraceColumn{name, nullptr, nullptr, 0, true};
  if (const RunField* f = find_run_field(name)) return TraceColumn{name, f, nullptr, 0};
  const size_t colon = name.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const std::string_view prefix(name.data(), colon);
  const std::string digits = name.substr(colon + 1);
  if (digits.empty() || digits.size() > 6 ||
      digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  for (const IndexedField& f : kIndexedFields)
    if (f.prefix == prefix) return TraceColumn{name, nullptr, &f, std::stoi(digits)};
  return std::nullopt;
}

std::string column_text(const TraceColumn& c, const Run& run) {
  if (c.heap) return std::to_string(heap_bytes());
  if (c.field) return field_text(*c.field, run.state, run.view);
  return c.indexed->read(run, static_cast<size_t>(c.item));
}

void write_row(std::ostream& out, int64_t t, const Run& run,
               const std::vector<TraceColumn>& columns) {
  out << t;
  for (const TraceColumn& c : columns) out << ',' << csv_cell(column_text(c, run));
  out << '\n';
}

std::optional<std::vector<ScriptCommand>> load_script(const Options& options, std::ostream& err) {
  if (!options.script) return std::vector<ScriptCommand>{};
  std::ifstream in(*options.script);
  if (!in) {
    err << "cabsim-tool: cannot read the script " << options.script->string() << '\n';
    return std::nullopt;
  }
  std::string error;
  auto commands = read_script(in, error);
  if (!commands) err << "cabsim-tool: " << error << '\n';
  return commands;
}

/// Takes the route, train, end and inputs of the replay file `options.replay`
/// into `options` and `commands`; a route or train given on the command line
/// must be the replay's own. False with the message written to `err`.
bool take_replay(Options& options, std::vector<ScriptCommand>& commands, std::ostream& err) {
  std::ifstream in(*options.replay, std::ios::binary);
  std::string error;
  std::optional<Replay> replay;
  if (!in)
    error = kReplayCannotRead;
  else
    replay = read_replay(in, error);
  if (replay && options.route && *options.route != replay->route) error = kReplayOtherRoute;
  if (replay && options.train_given &&
      (options.train != replay->train || options.train_dir != replay->train_dir))
    error = kReplayOtherTrain;
  if (!error.empty()) {
    err << "cabsim-tool: " << options.replay->string() << ": " << error << '\n';
    return false;
  }
  options.route = replay->route;
  options.train = replay->train;
  options.train_dir = replay->train_dir;
  if (!options.until_ms) options.until_ms = replay->until_ms;
  commands = std::move(replay->commands);
  return true;
}

/// Writes the inputs run up to `until` as a replay file.
bool write_inputs(const Options& options, const std::vector<ScriptCommand>& commands,
                  std::ostream& err) {
  Replay replay;
  replay.route = options.route.value_or("");
  replay.train = options.train;
  replay.train_dir = options.train_dir;
  replay.until_ms = *options.until_ms;
  for (const ScriptCommand& c : commands)
    if (c.time_ms <= *options.until_ms) replay.commands.push_back(c);
  std::ofstream out(*options.record_inputs, std::ios::binary | std::ios::trunc);
  write_replay(out, replay);
  out.flush();
  if (!out) {
    err << "cabsim-tool: cannot write " << options.record_inputs->string() << '\n';
    return false;
  }
  return true;
}

/// Runs the scheduler to `until`, the script's inputs and the trace rows
/// merged by time.
void run_timeline(Simulation& sim, const std::vector<ScriptCommand>& commands, int64_t until,
                  int64_t every, const std::vector<TraceColumn>& fields, std::ostream& out) {
  size_t next_command = 0;
  int64_t next_row = 0;
  while (true) {
    int64_t t = next_row;
    if (next_command < commands.size()) t = std::min(t, commands[next_command].time_ms);
    if (t > until) break;
    sim.scheduler->advance_to(t);
    for (; next_command < commands.size() && commands[next_command].time_ms == t; ++next_command)
      sim.guard.run(commands[next_command].text, [&] { execute(sim, commands[next_command]); });
    sim.show_message();
    sim.scheduler->run_due();
    if (t == next_row) {
      write_row(out, t, *sim.run, fields);
      next_row += every;
    }
  }
}

}  // namespace

int list_fields(std::ostream& out) {
  for (const RunField& f : run_fields()) out << f.name << '\n';
  for (const IndexedField& f : kIndexedFields) out << f.prefix << ":N\n";
  out << kHeapColumn << '\n';
  return 0;
}

int simulate(const Options& given, std::ostream& out, std::ostream& err) {
  if (given.list_fields) return list_fields(out);
  Options options = given;
  std::vector<ScriptCommand> replayed;
  if (options.replay) {
    if (options.script) {
      err << "cabsim-tool: simulate takes --script or --replay, not both\n";
      return 2;
    }
    if (!take_replay(options, replayed, err)) return 2;
  }
  if (!options.route || !options.until_ms) {
    err << "cabsim-tool: simulate needs --route FILE and --until-ms N\n";
    return 2;
  }
  std::vector<TraceColumn> fields;
  for (const std::string& name : options.fields.empty() ? kDefaultFields : options.fields) {
    auto c = find_column(name);
    if (!c) {
      err << "cabsim-tool: unknown field " << name << " (--list-fields lists them)\n";
      return 2;
    }
    fields.push_back(*c);
  }
  auto commands = options.replay ? std::optional(std::move(replayed)) : load_script(options, err);
  if (!commands) return 2;

  Simulation sim(err);
  if (options.settings) {
    const std::filesystem::path& file = *options.settings;
    sim.settings = std::make_unique<QtSettingsStore>(
        SettingsFiles{file, file.parent_path() / "padcontroller.ini"});
  }
  try {
    // A film that cannot be opened is reported, and the run goes on without
    // it, as in the program.
    AssemblySteps steps;
    steps.message = [&err](std::string_view text) { err << "cabsim-tool: " << text << '\n'; };
    // The panel's pictures and the timetable card are loaded as the program
    // loads them (and refused with its words), though nothing shows them.
    steps.files_read = [](Run& run) {
      PictureList pictures;
      load_panel_pictures(pictures, run.train.panel, run.selection.program_dir, run.view.panel);
      load_timetable_card(run.route->Staf[0], run.find_file);
    };
    assemble_run(*sim.run, selection_of(options), RunSettings{}, resolve_file, steps);
    // The PlayStation pad's codes, from the settings given (else all 0).
    sim.settings->read_pad_codes(sim.run->pad_codes);
  } catch (const DefinitionError& e) {
    out << e.what() << '\n';
    return 1;
  }
  for (const TraceColumn& c : fields) {
    if (!c.indexed || c.item < c.indexed->count(*sim.run)) continue;
    err << "cabsim-tool: " << c.name << ": " << c.indexed->missing << ' ' << c.item << '\n';
    return 2;
  }
  out << "t_ms";
  for (const TraceColumn& c : fields) out << ',' << c.name;
  out << '\n';
  RunRecord record(*sim.run);
  sim.run->tick_listener = &record;
  sim.run->input_listener = &record;
  run_timeline(sim, *commands, *options.until_ms, options.every_ms, fields, out);
  sim.run->tick_listener = nullptr;
  sim.run->input_listener = nullptr;
  int status = 0;
  if (options.record_inputs && !write_inputs(options, *commands, err)) status = 2;
  if (options.run_record) {
    std::string error;
    const std::filesystem::path& file = *options.run_record;
    if (!save_run_record(record.data(), file.parent_path().empty() ? "." : file.parent_path(),
                         file.stem().string(), error)) {
      err << "cabsim-tool: " << error << '\n';
      status = 2;
    }
  }
  if (sim.guard.failures() > 1)
    err << "cabsim-tool: " << sim.guard.failures() << " failures in all, only the first shown\n";
  return status;
}

}  // namespace cabsim::tool
