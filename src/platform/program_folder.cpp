// Choosing the program folder the program starts on.
#include "platform/program_folder.h"

#include <system_error>

#include "platform/file_paths.h"

#ifndef CABSIM_BUNDLED_DEMO_FROM_BINDIR
#define CABSIM_BUNDLED_DEMO_FROM_BINDIR "../share/cabsim/demo"
#endif

namespace cabsim {
namespace fs = std::filesystem;

bool is_program_folder(const fs::path& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return false;
  return fs::is_regular_file(resolve_file(folder, kProgramFolderMarkFile), ec);
}

ProgramFolder choose_program_folder(const fs::path& data_option, const fs::path& executable_dir,
                                    const fs::path& remembered, const fs::path& bundled) {
  std::error_code ec;
  if (!data_option.empty())
    return {fs::absolute(data_option, ec), ProgramFolderSource::command_line};
  if (is_program_folder(executable_dir)) return {executable_dir, ProgramFolderSource::executable};
  if (is_program_folder(remembered)) return {remembered, ProgramFolderSource::remembered};
  if (is_program_folder(bundled)) return {bundled, ProgramFolderSource::bundled};
  return {executable_dir, ProgramFolderSource::none};
}

fs::path executable_directory() {
  return program_directory();
}

fs::path bundled_demo_folder(const fs::path& executable_dir) {
  return (executable_dir / CABSIM_BUNDLED_DEMO_FROM_BINDIR).lexically_normal();
}

}  // namespace cabsim
