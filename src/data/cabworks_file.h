// Reading the path and message file cabworks.dat into its text record.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "data/cabworks_text.h"

namespace cabsim {

/// The one message of a cabworks.dat that cannot be read; it names no section.
inline constexpr std::string_view kCabworksFileError = "stringファイルに誤りがあります";

/// The file's name in the program directory.
inline constexpr std::string_view kCabworksFileName = "cabworks.dat";

/// Reads cabworks.dat at `path`. Raises DefinitionError(kCabworksFileError)
/// when the file is missing or malformed.
CabworksText read_cabworks_file(const std::filesystem::path& path);

/// The same, for the bytes of the file already in memory.
CabworksText read_cabworks_bytes(std::string bytes);

}  // namespace cabsim
