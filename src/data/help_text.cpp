// Reading the operation notes.
#include "data/help_text.h"

#include <fstream>

#include "data/regular_file.h"
#include "data/shift_jis.h"

namespace cabsim {

HelpText parse_help_text(std::string_view bytes) {
  HelpText text;
  bytes = bytes.substr(0, kMaxHelpBytes);
  size_t at = 0;
  for (size_t n = 0; n < kMaxHelpLines && at < bytes.size(); ++n) {
    size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string utf8 = sjis_to_utf8(std::string(line));
    if (n == 0)
      text.caption = std::move(utf8);
    else
      text.lines.push_back(std::move(utf8));
    at = end + 1;
  }
  return text;
}

HelpText read_help_text(const std::filesystem::path& file) {
  if (!is_regular_file_path(file)) return {};
  std::ifstream in(file, std::ios::binary);
  std::string bytes(kMaxHelpBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return parse_help_text(bytes);
}

}  // namespace cabsim
