// Settings in QSettings INI files, with the program's read rules.
#include "platform/settings_store_qt.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <fstream>
#include <iostream>
#include <memory>
#include <system_error>

namespace cabsim {
namespace fs = std::filesystem;
namespace {

QString to_qstring(const fs::path& path) {
  return QString::fromStdString(path.string());
}

QString key(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

/// Makes sure the file and its folder exist, as the program creates its keys
/// when they are missing. Failure is not an error: reads then find nothing.
void create_when_missing(const fs::path& file) {
  std::error_code ec;
  if (fs::exists(file, ec)) return;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
  std::ofstream touch(file, std::ios::app);
}

/// The integer stored under `name`, or nullopt when it is absent or no integer.
std::optional<int32_t> read_integer(const QSettings& settings, std::string_view name) {
  QVariant value = settings.value(key(name));
  switch (value.typeId()) {
    case QMetaType::QString:  // as read from the file
      return stored_integer(value.toString().toStdString());
    case QMetaType::Int:  // as written earlier in this process
      return value.toInt();
    default:  // absent, a list, a byte array: not an integer
      return std::nullopt;
  }
}

IntegerLookup lookup_in(const QSettings& settings) {
  return [&settings](std::string_view name) { return read_integer(settings, name); };
}

/// A settings file is read and written only when it is a regular file (or not
/// there yet): QSettings would block for ever on a named pipe in its place.
bool usable(const fs::path& file) {
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  return status.type() == fs::file_type::not_found || status.type() == fs::file_type::regular;
}

/// A lookup that finds nothing: every value keeps its default.
std::optional<int32_t> nothing_stored(std::string_view) {
  return std::nullopt;
}

/// The largest settings file read, bytes: the switches, the controller codes
/// and three saved states take a few hundred. A larger file is not the
/// program's and would be read whole into memory.
constexpr std::uintmax_t kLargestSettingsFile = 1 << 20;

/// Where a settings file that cannot be read is kept: beside it, named
/// ".damaged" (with a number when that name is taken).
fs::path damaged_name(const fs::path& file) {
  fs::path kept = file;
  kept += ".damaged";
  std::error_code ec;
  for (int n = 2; fs::exists(kept, ec) && n < 1000; ++n) {
    kept = file;
    kept += ".damaged" + std::to_string(n);
  }
  return kept;
}

/// The settings of `file`. A file that cannot be parsed, or is too large to be
/// the program's, is set aside under
/// another name, with one line on standard error, and the defaults are used:
/// it is neither lost nor written over.
std::unique_ptr<QSettings> open_settings(const fs::path& file) {
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  std::unique_ptr<QSettings> settings;
  if (ec || size <= kLargestSettingsFile) {
    settings = std::make_unique<QSettings>(to_qstring(file), QSettings::IniFormat);
    settings->setAtomicSyncRequired(true);  // written to a new file, then renamed over
    if (settings->status() != QSettings::FormatError) return settings;
    settings.reset();
  }
  const fs::path kept = damaged_name(file);
  fs::rename(file, kept, ec);
  std::cerr << "cabsim: the settings file " << file.string() << " cannot be read; "
            << (ec ? "it is left as it is" : "it is kept as " + kept.string())
            << " and the defaults are used\n";
  return std::make_unique<QSettings>(to_qstring(file), QSettings::IniFormat);
}

bool finish(QSettings& settings) {
  settings.sync();
  return settings.status() == QSettings::NoError;
}

}  // namespace

SettingsFiles SettingsFiles::for_user() {
  const fs::path own =
      QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
  const fs::path config =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
  return adopting(own, config / "Cabworks");
}

SettingsFiles SettingsFiles::adopting(const fs::path& folder, const fs::path& earlier_folder) {
  SettingsFiles files = in_folder(folder);
  const SettingsFiles earlier = in_folder(earlier_folder);
  auto adopt = [](const fs::path& file, const fs::path& earlier_file) {
    std::error_code ec;
    if (fs::exists(file, ec) || ec) return;  // a folder that cannot be looked at is left alone
    if (!fs::is_regular_file(earlier_file, ec)) return;
    fs::create_directories(file.parent_path(), ec);
    // Copied under a passing name and renamed, so a copy cut short is never
    // taken for the settings.
    fs::path part = file;
    part += ".part";
    if (fs::copy_file(earlier_file, part, fs::copy_options::overwrite_existing, ec))
      fs::rename(part, file, ec);
    if (ec) {
      fs::remove(part, ec);
      std::cerr << "cabsim: the settings of " << earlier_file.string() << " cannot be copied to "
                << file.string() << "; the defaults are used\n";
    }
  };
  adopt(files.hanabira, earlier.hanabira);
  adopt(files.padcontroller, earlier.padcontroller);
  return files;
}

SettingsFiles SettingsFiles::in_folder(const fs::path& folder) {
  return {folder / "hanabira.ini", folder / "padcontroller.ini"};
}

QtSettingsStore::QtSettingsStore(SettingsFiles files) : files_(std::move(files)) {}

DrivingSwitches QtSettingsStore::read_switches() {
  if (!usable(files_.hanabira)) return read_switches_with(nothing_stored);
  create_when_missing(files_.hanabira);
  auto settings_ptr = open_settings(files_.hanabira);
  QSettings& settings = *settings_ptr;
  return read_switches_with(lookup_in(settings));
}

bool QtSettingsStore::write_switches(const DrivingSwitches& switches) {
  if (!usable(files_.hanabira)) return false;
  auto settings_ptr = open_settings(files_.hanabira);
  QSettings& settings = *settings_ptr;
  settings.setValue("Kanko", switches.Kanko);
  settings.setValue("Information", switches.Information);
  settings.setValue("ATS", switches.ATS);
  settings.setValue("Tunnel", switches.Tunnel);
  return finish(settings);
}

int QtSettingsStore::read_pad_codes(PadCodes& codes) {
  if (!usable(files_.padcontroller)) return read_pad_codes_with(nothing_stored, codes);
  create_when_missing(files_.padcontroller);
  auto settings_ptr = open_settings(files_.padcontroller);
  QSettings& settings = *settings_ptr;
  return read_pad_codes_with(lookup_in(settings), codes);
}

bool QtSettingsStore::write_pad_codes(const PadCodes& codes) {
  if (!usable(files_.padcontroller)) return false;
  auto settings_ptr = open_settings(files_.padcontroller);
  QSettings& settings = *settings_ptr;
  for (size_t i = 0; i < PadCodes::kNames.size(); ++i)
    settings.setValue(key(PadCodes::kNames[i]), codes.codes[i]);
  return finish(settings);
}

std::optional<std::string> QtSettingsStore::read_text(std::string_view name) {
  if (!usable(files_.hanabira)) return std::nullopt;
  auto settings_ptr = open_settings(files_.hanabira);
  QSettings& settings = *settings_ptr;
  QVariant value = settings.value(key(name));
  if (!value.isValid()) return std::nullopt;
  if (value.typeId() == QMetaType::QByteArray) return value.toByteArray().toStdString();
  // A value with commas comes back as a list of its parts.
  if (value.typeId() == QMetaType::QStringList)
    return value.toStringList().join(QLatin1Char(',')).toStdString();
  return value.toString().toStdString();
}

bool QtSettingsStore::write_text(std::string_view name, std::string_view bytes) {
  if (!usable(files_.hanabira)) return false;
  auto settings_ptr = open_settings(files_.hanabira);
  QSettings& settings = *settings_ptr;
  QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
  // Text that is UTF-8 stays readable in the file; other bytes (Shift-JIS
  // names from definition files) are kept exactly as a byte array.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(raw);
  if (utf8.hasError())
    settings.setValue(key(name), raw);
  else
    settings.setValue(key(name), text);
  return finish(settings);
}

}  // namespace cabsim
