// Run records on disk: each run a pair of files in the user's data folder,
// a JSON summary (stops, events, counts) and a CSV of the samples, written
// whole or not at all, the oldest pairs removed beyond a fixed number.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "run/run_record.h"

namespace cabsim {

/// Version of the files written. Version 1 (no inputs, films or frames) is
/// still read; a file of any other version is not.
constexpr int kRunRecordVersion = 2;
constexpr int kRunRecordFirstVersion = 1;
/// Records kept in the folder; saving one more removes the oldest.
constexpr size_t kMaxSavedRuns = 30;
/// Largest summary or sample file read, bytes (a full six-hour run is well
/// below it).
constexpr uintmax_t kMaxRecordFileBytes = 64u * 1024u * 1024u;

/// The messages of a record that cannot be read.
inline constexpr const char* kRecordDamaged = "記録ファイルが壊れています";
inline constexpr const char* kRecordOtherVersion = "記録ファイルの版が違うため読めません";
inline constexpr const char* kRecordCannotSave = "走行記録を保存できません";

/// The folder of the run records: `runs` in the user's data folder.
std::filesystem::path run_record_folder();

/// Saves `record` as `<stem>.json` and `<stem>.csv` in `folder` (made when
/// missing), each written to a passing file and renamed into place, then
/// removes the oldest pairs beyond kMaxSavedRuns (of those named by
/// record_stem_now). Returns the summary's path,
/// or nothing (with kRecordCannotSave and the reason in `error`).
std::optional<std::filesystem::path> save_run_record(const RunRecordData& record,
                                                     const std::filesystem::path& folder,
                                                     const std::string& stem, std::string& error);

/// A record read back, with when it was saved.
struct SavedRunRecord {
  std::filesystem::path summary;
  std::string saved_at;  ///< ISO date and time
  RunRecordData data;
};

/// Reads the summary `summary` and the samples beside it. A file cut short,
/// not JSON, with values out of range or a sample file that does not match
/// gives kRecordDamaged; another version kRecordOtherVersion (in `error`).
std::optional<SavedRunRecord> load_run_record(const std::filesystem::path& summary,
                                              std::string& error);

/// The summaries in `folder` named as record_stem_now names them, newest
/// first (by name, which is the time saved). Damaged files are listed too;
/// reading them says so.
std::vector<std::filesystem::path> list_run_records(const std::filesystem::path& folder);

/// A file stem for a record saved now: date, time and milliseconds.
std::string record_stem_now();

}  // namespace cabsim
