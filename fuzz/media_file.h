// The media readers open files by name, as they do in a route folder: each
// fuzz input is written to a file of this process's own first.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace cabsim::fuzz {

/// `size` bytes of `data` in the process's input file (its name ends with
/// `extension`); the file's path.
inline std::filesystem::path write_input(const uint8_t* data, size_t size,
                                         const std::string& extension) {
  static const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                            ("cabsim-fuzz-" + std::to_string(getpid()) + extension);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) __builtin_trap();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) __builtin_trap();
  std::fclose(out);
  return path;
}

}  // namespace cabsim::fuzz
