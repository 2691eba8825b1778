// The files of a run, found and read as the run assembly does.
#include "run_files.h"

#include "data/cabworks_file.h"
#include "data/route_file.h"
#include "data/route_setup.h"
#include "data/shift_jis.h"
#include "data/train_file.h"
#include "data/wave_seconds.h"
#include "platform/file_paths.h"

namespace cabsim::tool {
namespace {

/// A run chosen on the title screen starts at its first station.
constexpr int32_t kTitleStartStation = 0;

// Command-line text is UTF-8; definition-file text is Shift-JIS, and the
// prefix is put before names read from the train file.
std::string train_prefix(const Options& options) {
  return utf8_to_sjis(options.train_dir);
}

TrainParams read_train(const Options& options) {
  std::string prefix = train_prefix(options);
  std::string name = prefix + utf8_to_sjis(options.train);
  return read_train_file(resolve_file(options.data_dir, name), prefix);
}

}  // namespace

TrainParams load_train(const Options& options) {
  TrainParams train = read_train(options);
  check_brake_steps(train);
  return train;
}

RunFiles load_run(const Options& options) {
  RunFiles run;
  const std::filesystem::path& dir = options.data_dir;
  run.mascon = read_mascon_file(resolve_file(dir, kMasconFileName));
  run.train = read_train(options);
  RouteReadContext context;
  context.train_file_name = utf8_to_sjis(options.train);
  context.train_dir_prefix = train_prefix(options);
  run.route = read_route_file(resolve_file(dir, utf8_to_sjis(options.route.value_or(""))), context);
  build_move_menu(*run.route);
  run.text = read_cabworks_file(resolve_file(dir, kCabworksFileName));
  store_sound_lengths(*run.route, [&dir](std::string_view file) {
    return WaveSeconds(resolve_file(dir, file)).seconds;
  });
  reset_route_run_fields(*run.route);
  set_up_route_positions(*run.route, kTitleStartStation);
  check_brake_steps(run.train);
  return run;
}

}  // namespace cabsim::tool
