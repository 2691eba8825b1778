// cabsim-tool: checks and dumps the definition files of a run for route
// authors, tests and benchmarks.
#include <iostream>
#include <string>
#include <vector>

#include "data/cabworks_file.h"
#include "data/definition_error.h"
#include "data/mascon_file.h"
#include "json_out.h"
#include "options.h"
#include "platform/file_paths.h"
#include "run_files.h"
#include "simulate.h"

namespace {

constexpr const char* kUsage =
    "usage: cabsim-tool COMMAND [options]\n"
    "  check       --data DIR [--route FILE] [--train FILE] [--train-dir PREFIX]\n"
    "              read every file of a run; print the program's message on failure\n"
    "  dump-train  --data DIR [--train FILE] [--train-dir PREFIX]\n"
    "              the parsed train file as JSON\n"
    "  dump-route  --data DIR --route FILE [--train FILE] [--train-dir PREFIX]\n"
    "              the route tables of a run from the first station as JSON\n"
    "  dump-text   --data DIR     the texts of cabworks.dat as JSON\n"
    "  dump-keymap --data DIR     the codes of mascon.dat as JSON\n"
    "  simulate    --data DIR --route FILE [--train FILE] [--train-dir PREFIX]\n"
    "              [--script FILE] --until-ms N [--every-ms M] [--fields a,b,...]\n"
    "              [--settings FILE] [--record-inputs FILE] [--run-record FILE.json]\n"
    "              run without a window under simulated time; CSV on standard output;\n"
    "              the saved states of the script's save and load in FILE (INI)\n"
    "  simulate    --data DIR --replay FILE [--fields a,b,...] [--every-ms M]\n"
    "              drives a recorded run again (its route, train, inputs and end)\n"
    "  simulate --list-fields     every field simulate can write\n";

int check(const cabsim::tool::Options& options) {
  if (options.route)
    cabsim::tool::load_run(options);
  else
    cabsim::tool::load_train(options);
  return 0;
}

int dump_route(const cabsim::tool::Options& options) {
  if (!options.route) {
    std::cerr << "cabsim-tool: dump-route needs --route FILE\n" << kUsage;
    return 2;
  }
  cabsim::tool::RunFiles run = cabsim::tool::load_run(options);
  std::cout << cabsim::tool::route_json(*run.route).dump(2) << '\n';
  return 0;
}

int dump_text(const cabsim::tool::Options& options) {
  auto path = cabsim::resolve_file(options.data_dir, cabsim::kCabworksFileName);
  std::cout << cabsim::tool::cabworks_json(cabsim::read_cabworks_file(path)).dump(2) << '\n';
  return 0;
}

int dump_keymap(const cabsim::tool::Options& options) {
  auto path = cabsim::resolve_file(options.data_dir, cabsim::kMasconFileName);
  std::cout << cabsim::tool::mascon_json(cabsim::read_mascon_file(path)).dump(2) << '\n';
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
    if (options->command == "dump-route") return dump_route(*options);
    if (options->command == "dump-text") return dump_text(*options);
    if (options->command == "dump-keymap") return dump_keymap(*options);
    if (options->command == "simulate")
      return cabsim::tool::simulate(*options, std::cout, std::cerr);
  } catch (const cabsim::DefinitionError& e) {
    std::cout << e.what() << '\n';
    return 1;
  }
  std::cerr << "cabsim-tool: unknown command " << options->command << "\n" << kUsage;
  return 2;
}
