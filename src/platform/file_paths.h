// Finding the files that definition files name. Route folders were written on
// a case-insensitive file system with backslash paths and Shift-JIS names; they
// must run unchanged here.
#pragma once

#include <filesystem>
#include <string_view>

namespace cabsim {

/// The file that `name` (a path from a definition file, in its own bytes)
/// means, relative to `base` unless it is absolute. Backslashes separate
/// components (never the second byte of a double-byte character); a component
/// not found as written is matched without regard to ASCII case; the name is
/// tried as written and converted from Shift-JIS to UTF-8. When nothing is
/// found the path as written is returned, so opening it fails as it should.
std::filesystem::path resolve_file(const std::filesystem::path& base, std::string_view name);

/// The program directory: `data_option` (the --data folder) when it is not
/// empty, else the folder of the running executable, else the current folder.
std::filesystem::path program_directory(const std::filesystem::path& data_option = {});

}  // namespace cabsim
