// SplitPath, aware of Shift-JIS double-byte characters.
#include "data/split_path.h"

#include "data/shift_jis.h"

namespace cabsim {

std::string SplitPath(std::string_view path, int part) {
  size_t last_backslash = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (is_sjis_lead_byte(c) && i + 1 < path.size()) {
      ++i;  // the trail byte may be 0x5C, which is not a backslash here
      continue;
    }
    if (c == '\\') last_backslash = i;
  }
  if (part == 0) {
    if (last_backslash == std::string_view::npos) return {};
    return std::string(path.substr(0, last_backslash + 1));
  }
  std::string_view name =
      last_backslash == std::string_view::npos ? path : path.substr(last_backslash + 1);
  if (name.size() <= kMaxNamePartBytes) return std::string(name);
  // Cut at a character boundary.
  size_t cut = 0;
  for (size_t i = 0; i < name.size();) {
    size_t width =
        is_sjis_lead_byte(static_cast<unsigned char>(name[i])) && i + 1 < name.size() ? 2 : 1;
    if (i + width > kMaxNamePartBytes) break;
    i += width;
    cut = i;
  }
  return std::string(name.substr(0, cut));
}

}  // namespace cabsim
