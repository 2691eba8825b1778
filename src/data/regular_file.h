// Only regular files are opened. A route folder comes from strangers: a named
// pipe or a device in place of a definition file, a wave or a picture would
// block the program in open() or give bytes without end.
#pragma once

#include <filesystem>
#include <system_error>

namespace cabsim {

/// True when `path` names a regular file (symbolic links followed). Asking
/// opens nothing, so a named pipe is refused without blocking.
inline bool is_regular_file_path(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace cabsim
