// Which route folder (program folder) the program starts on: the one named on
// the command line, the executable's own folder when it is one, the folder
// the player chose last on the title screen, or the demo line installed with
// the program.
#pragma once

#include <filesystem>
#include <string_view>

namespace cabsim {

/// The file whose presence makes a folder a program folder.
inline constexpr std::string_view kProgramFolderMarkFile = "cabworks.dat";
/// The settings value that remembers the folder chosen on the title screen.
inline constexpr std::string_view kRouteFolderSetting = "RouteFolder";

/// Where the start-up folder came from.
enum class ProgramFolderSource { command_line, executable, remembered, bundled, none };

struct ProgramFolder {
  std::filesystem::path folder;
  ProgramFolderSource source = ProgramFolderSource::none;
};

/// True when `folder` holds cabworks.dat (found as the program finds any file
/// of a definition, without regard to case); never throws.
bool is_program_folder(const std::filesystem::path& folder);

/// The start-up folder: `data_option` when not empty (made absolute, checked
/// later by the title); else `executable_dir` when it is a program folder;
/// else `remembered` when it still is one; else `bundled` when it is one;
/// else `executable_dir`, so the title reports the folder as misplaced.
ProgramFolder choose_program_folder(const std::filesystem::path& data_option,
                                    const std::filesystem::path& executable_dir,
                                    const std::filesystem::path& remembered,
                                    const std::filesystem::path& bundled);

/// The folder of the running executable (the current folder when unknown).
std::filesystem::path executable_directory();

/// The demo line installed with the program: <prefix>/share/cabsim/demo,
/// found from the executable's folder <prefix>/bin, so an installed tree can
/// be moved as a whole.
std::filesystem::path bundled_demo_folder(const std::filesystem::path& executable_dir);

}  // namespace cabsim
