// Reading mascon.dat and matching controller messages against its codes.
#include "data/mascon_file.h"

#include "data/definition_error.h"
#include "data/definition_reader.h"

namespace cabsim {
namespace {

MasconMap read_mascon(DefinitionReader& reader) {
  MasconMap map;
  while (!reader.at_end() && static_cast<size_t>(map.count) < kMasconLines) {
    const std::string& line = reader.next_line();
    if (!line.empty() && line[0] == '#') break;
    map.codes[static_cast<size_t>(map.count++)] = line;
  }
  return map;
}

}  // namespace

MasconMap read_mascon_bytes(std::string bytes) {
  DefinitionReader reader(std::move(bytes));
  try {
    return read_mascon(reader);
  } catch (const ReadFailure&) {
    throw DefinitionError(std::string(kMasconFileError));
  }
}

MasconMap read_mascon_file(const std::filesystem::path& path) {
  try {
    DefinitionReader reader = DefinitionReader::open(path);
    return read_mascon(reader);
  } catch (const ReadFailure&) {
    throw DefinitionError(std::string(kMasconFileError));
  }
}

bool mascon_code_matches(std::string_view code, std::string_view message) {
  return message.substr(0, kMasconCodeLength) == code;
}

bool mascon_line_matches(const MasconMap& map, int32_t line, std::string_view message) {
  if (line < 0 || line >= map.count) return false;
  // A blank line of the file names no code: an empty message (a carriage
  // return alone) must not act on it.
  const std::string& code = map.codes[static_cast<size_t>(line)];
  return !code.empty() && mascon_code_matches(code, message);
}

}  // namespace cabsim
