// Writing and reading replay files.
#include "replay_file.h"

#include <sstream>

namespace cabsim::tool {
namespace {

constexpr std::string_view kMagic = "#! cabsim-replay ";
constexpr std::string_view kHeader = "#! ";

/// The value of header line "#! KEY VALUE", or nothing.
std::optional<std::string> header_value(const std::string& line, std::string_view key) {
  const std::string prefix = std::string(kHeader) + std::string(key) + ' ';
  if (line.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  return line.substr(prefix.size());
}

std::optional<int64_t> count_of(const std::string& text) {
  if (text.empty() || text.size() > 15 || text.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return std::stoll(text);
}

}  // namespace

void write_replay(std::ostream& out, const Replay& replay) {
  out << kMagic << kReplayVersion << '\n';
  out << kHeader << "route " << replay.route << '\n';
  out << kHeader << "train " << replay.train << '\n';
  out << kHeader << "train-dir " << replay.train_dir << '\n';
  out << kHeader << "until-ms " << replay.until_ms << '\n';
  for (const ScriptCommand& c : replay.commands) out << c.text << '\n';
  out << kHeader << "end " << replay.commands.size() << '\n';
}

std::optional<Replay> read_replay(std::istream& in, std::string& error) {
  auto damaged = [&](const std::string& why) {
    error = std::string(kReplayDamaged) + " (" + why + ")";
    return std::nullopt;
  };
  std::string line;
  if (!std::getline(in, line) || line.compare(0, kMagic.size(), kMagic) != 0)
    return damaged("not a replay file");
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const auto version = count_of(line.substr(kMagic.size()));
  if (!version) return damaged("no version");
  if (*version != kReplayVersion) {
    error = kReplayOtherVersion;
    return std::nullopt;
  }
  Replay replay;
  std::optional<std::string> route, train, train_dir, until;
  std::optional<int64_t> end;
  std::ostringstream script;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (end) return damaged("lines after the end");
    if (line.compare(0, kHeader.size(), kHeader) == 0) {
      if (auto v = header_value(line, "route"))
        route = v;
      else if (auto t = header_value(line, "train"))
        train = t;
      else if (auto d = header_value(line, "train-dir"))
        train_dir = d;
      else if (auto u = header_value(line, "until-ms"))
        until = u;
      else if (auto e = header_value(line, "end")) {
        end = count_of(*e);
        if (!end) return damaged("a bad end line");
      } else if (line != "#! train-dir") {
        return damaged("unknown header " + line);
      } else {
        train_dir = "";
      }
      continue;
    }
    script << line << '\n';
  }
  if (!end) return damaged("cut short: no end line");
  if (!route || route->empty() || !train || !until) return damaged("the header is incomplete");
  const auto until_ms = count_of(*until);
  if (!until_ms) return damaged("a bad until-ms");
  std::istringstream script_in(script.str());
  std::string reason;
  auto commands = read_script(script_in, reason);
  if (!commands) return damaged(reason);
  if (commands->size() != static_cast<size_t>(*end) || commands->size() > kMaxReplayCommands)
    return damaged("the command count does not match its end line");
  replay.route = *route;
  replay.train = *train;
  replay.train_dir = train_dir.value_or("");
  replay.until_ms = *until_ms;
  replay.commands = std::move(*commands);
  return replay;
}

}  // namespace cabsim::tool
