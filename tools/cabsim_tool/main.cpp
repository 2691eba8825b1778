// cabsim-tool: checks and dumps the definition files of a run for route
// authors, tests and benchmarks.
#include <iostream>
#include <string>
#include <vector>

#include "data/definition_error.h"
#include "json_out.h"
#include "options.h"
#include "run_files.h"

namespace {

constexpr const char* kUsage =
    "usage: cabsim-tool COMMAND [options]\n"
    "  check       --data DIR [--route FILE] [--train FILE] [--train-dir PREFIX]\n"
    "              read every file of a run; print the program's message on failure\n"
    "  dump-train  --data DIR [--train FILE] [--train-dir PREFIX]\n"
    "              the parsed train file as JSON\n";

int check(const cabsim::tool::Options& options) {
  cabsim::tool::load_train(options);
  return 0;
}

int dump_train(const cabsim::tool::Options& options) {
  cabsim::TrainParams train = cabsim::tool::load_train(options);
  std::cout << cabsim::tool::train_json(train).dump(2) << '\n';
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto options = cabsim::tool::parse_options(args, error);
  if (!options) {
    std::cerr << "cabsim-tool: " << error << "\n" << kUsage;
    return 2;
  }
  try {
    if (options->command == "check") return check(*options);
    if (options->command == "dump-train") return dump_train(*options);
  } catch (const cabsim::DefinitionError& e) {
    std::cout << e.what() << '\n';
    return 1;
  }
  std::cerr << "cabsim-tool: unknown command " << options->command << "\n" << kUsage;
  return 2;
}
