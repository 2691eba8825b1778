// Reading the program's command line.
#include "shell/command_line.h"

namespace cabsim {

std::optional<CommandLine> parse_command_line(const std::vector<std::string>& args,
                                              std::string& error) {
  CommandLine line;
  size_t i = 0;
  if (!args.empty() && args[0] == "1") {
    line.debug_mode = true;
    i = 1;
  }
  for (; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "-h") {
      line.help = true;
      continue;
    }
    std::string* target = option == "--data"        ? &line.data_dir
                          : option == "--route"     ? &line.route_file
                          : option == "--train"     ? &line.train_file
                          : option == "--train-dir" ? &line.train_dir_prefix
                                                    : nullptr;
    if (!target) {
      // Other words after the mode (as the desktop may pass) are ignored,
      // only unknown options are refused.
      if (option.rfind("--", 0) == 0) {
        error = "unknown option " + option + "\nusage: " + kUsage;
        return std::nullopt;
      }
      continue;
    }
    if (i + 1 >= args.size()) {
      error = option + " needs a value\nusage: " + kUsage;
      return std::nullopt;
    }
    *target = args[++i];
  }
  return line;
}

}  // namespace cabsim
