// The settings store kept in INI files through QSettings: organisation
// `Cabworks`, one file per application (`hanabira`, `padcontroller`), in the
// program's own folder of the user's configuration.
#pragma once

#include <filesystem>

#include "state/settings_store.h"

namespace cabsim {

/// The two files the settings live in.
struct SettingsFiles {
  std::filesystem::path hanabira;
  std::filesystem::path padcontroller;

  /// The user's own files: hanabira.ini and padcontroller.ini in the
  /// application's configuration folder (~/.config/Cabworks/cabsim), taking
  /// over the files of earlier versions in ~/.config/Cabworks.
  static SettingsFiles for_user();
  /// hanabira.ini and padcontroller.ini in `folder`; a file missing there is
  /// first copied from `earlier_folder` when it exists there, so settings
  /// and saved states kept by an earlier version are read. The earlier file
  /// stays as it was.
  static SettingsFiles adopting(const std::filesystem::path& folder,
                                const std::filesystem::path& earlier_folder);
  /// hanabira.ini and padcontroller.ini in `folder` (a test's own folder).
  static SettingsFiles in_folder(const std::filesystem::path& folder);
};

class QtSettingsStore final : public SettingsStore {
 public:
  explicit QtSettingsStore(SettingsFiles files = SettingsFiles::for_user());

  DrivingSwitches read_switches() override;
  bool write_switches(const DrivingSwitches& switches) override;
  int read_pad_codes(PadCodes& codes) override;
  bool write_pad_codes(const PadCodes& codes) override;
  std::optional<std::string> read_text(std::string_view name) override;
  bool write_text(std::string_view name, std::string_view bytes) override;

  const SettingsFiles& files() const { return files_; }

 private:
  SettingsFiles files_;
};

}  // namespace cabsim
