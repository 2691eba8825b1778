// The settings store kept in INI files through QSettings: organisation
// `Cabworks`, one file per application (`hanabira`, `padcontroller`).
#pragma once

#include <filesystem>

#include "state/settings_store.h"

namespace cabsim {

/// The two files the settings live in.
struct SettingsFiles {
  std::filesystem::path hanabira;
  std::filesystem::path padcontroller;

  /// The user's own files: <config dir>/Cabworks/hanabira.ini and
  /// <config dir>/Cabworks/padcontroller.ini.
  static SettingsFiles for_user();
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
