// The operation notes (operation.dat): a plain Shift-JIS text whose first
// line is the help window's caption and the rest its text.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cabsim {

/// Lines of the notes kept at most; a longer text is cut there.
constexpr size_t kMaxHelpLines = 10000;
/// Bytes of the notes read at most: far more than any notes hold, little
/// enough that a damaged or hostile file cannot fill the memory.
constexpr size_t kMaxHelpBytes = 4 * 1024 * 1024;

struct HelpText {
  std::optional<std::string> caption;  ///< the first line (UTF-8); none for an empty text
  std::vector<std::string> lines;      ///< the others (UTF-8), line ends taken off
};

/// The notes in `bytes`: lines ended by CR LF or LF, at most kMaxHelpLines,
/// only the first kMaxHelpBytes bytes.
HelpText parse_help_text(std::string_view bytes);

/// The notes in `file`. A missing file, one that is not a regular file (a
/// folder, a named pipe) or cannot be read gives no notes.
HelpText read_help_text(const std::filesystem::path& file);

}  // namespace cabsim
