// Parsing of cabsim-tool's command line.
#include "options.h"

namespace cabsim::tool {
namespace {

/// A whole number of milliseconds, at least `least`.
std::optional<int64_t> milliseconds(const std::string& text, int64_t least) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  for (char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  int64_t ms = std::stoll(text);
  if (ms < least) return std::nullopt;
  return ms;
}

std::vector<std::string> split_fields(const std::string& text) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

}  // namespace

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
      options.train_given = true;
    } else if (arg == "--train-dir") {
      if (!value(options.train_dir)) return std::nullopt;
    } else if (arg == "--script") {
      if (!value(text)) return std::nullopt;
      options.script = text;
    } else if (arg == "--until-ms" || arg == "--every-ms") {
      if (!value(text)) return std::nullopt;
      auto ms = milliseconds(text, arg == "--every-ms" ? 1 : 0);
      if (!ms) {
        error = arg + " needs a whole number of milliseconds" +
                (arg == "--every-ms" ? std::string(" above 0") : std::string());
        return std::nullopt;
      }
      if (arg == "--until-ms")
        options.until_ms = *ms;
      else
        options.every_ms = *ms;
    } else if (arg == "--fields") {
      if (!value(text)) return std::nullopt;
      options.fields = split_fields(text);
    } else if (arg == "--settings") {
      if (!value(text)) return std::nullopt;
      options.settings = text;
    } else if (arg == "--replay" || arg == "--record-inputs" || arg == "--run-record") {
      if (!value(text)) return std::nullopt;
      (arg == "--replay"          ? options.replay
       : arg == "--record-inputs" ? options.record_inputs
                                  : options.run_record) = text;
    } else if (arg == "--list-fields") {
      options.list_fields = true;
    } else {
      error = "unknown option " + arg;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace cabsim::tool
