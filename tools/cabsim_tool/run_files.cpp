// The train file of a run, found and read as the run assembly does.
#include "run_files.h"

#include "data/shift_jis.h"
#include "data/train_file.h"
#include "platform/file_paths.h"

namespace cabsim::tool {

TrainParams load_train(const Options& options) {
  // Command-line text is UTF-8; definition-file text is Shift-JIS, and the
  // prefix is put before names read from the train file.
  std::string prefix = utf8_to_sjis(options.train_dir);
  std::string name = prefix + utf8_to_sjis(options.train);
  TrainParams train = read_train_file(resolve_file(options.data_dir, name), prefix);
  check_brake_steps(train);
  return train;
}

}  // namespace cabsim::tool
