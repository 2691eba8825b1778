// Parsing of cabsim-tool's command line.
#include "options.h"

namespace cabsim::tool {

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
  if (args.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  Options options;
  options.command = args[0];
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string text;
    if (arg == "--data") {
      if (!value(text)) return std::nullopt;
      options.data_dir = text;
    } else if (arg == "--route") {
      if (!value(text)) return std::nullopt;
      options.route = text;
    } else if (arg == "--train") {
      if (!value(options.train)) return std::nullopt;
    } else if (arg == "--train-dir") {
      if (!value(options.train_dir)) return std::nullopt;
    } else {
      error = "unknown option " + arg;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace cabsim::tool
