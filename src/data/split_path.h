// Splitting a backslash path of a definition file into directory and name.
#pragma once

#include <string>
#include <string_view>

namespace cabsim {

/// Longest name part SplitPath returns, in bytes.
constexpr size_t kMaxNamePartBytes = 256;

/// part 0: the directory part, up to and including the last backslash (empty
/// when there is none); part 1: the name after it, at most kMaxNamePartBytes
/// (never cutting a double-byte character). The second byte of a double-byte
/// Shift-JIS character is never taken for a backslash (表, ソ, 能 end in 0x5C).
std::string SplitPath(std::string_view path, int part);

}  // namespace cabsim
