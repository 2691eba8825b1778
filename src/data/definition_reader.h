// The keyed-file reader shared by every definition file: lines, keys matched by
// prefix in a fixed table order, the four value forms, and the error frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/fixed_point.h"

namespace cabsim {

/// Raised inside a file's error frame when a step of reading fails (a number
/// does not convert, a list is not closed, a table is full ...). It carries no
/// message: the frame turns it into the file's own message.
struct ReadFailure {};

/// Size limits for files that come from strangers.
constexpr size_t kMaxLineBytes = 1024 * 1024;                 ///< a longer line is an error
constexpr size_t kMaxDefinitionFileBytes = 64 * 1024 * 1024;  ///< a larger file is an error

/// One definition file being read: its lines, the current line and the current
/// section label. Text stays in the file's Shift-JIS bytes.
class DefinitionReader {
 public:
  /// A reader over the bytes of a file already in memory.
  explicit DefinitionReader(std::string bytes);

  /// Reads the whole file; a file that cannot be opened or read, or is larger
  /// than kMaxDefinitionFileBytes, raises ReadFailure.
  static DefinitionReader open(const std::filesystem::path& path);

  /// True when no line is left. Tested only before a new pass.
  bool at_end() const { return pos_ >= bytes_.size(); }

  /// Reads one line into the current line (CR LF or LF removed). Past the end
  /// of the file the line is empty. A line over kMaxLineBytes raises ReadFailure.
  const std::string& next_line();

  const std::string& current() const { return current_; }

  /// True when the current line begins with `key` exactly (case-sensitive).
  bool current_starts_with(std::string_view key) const {
    return current_.compare(0, key.size(), key) == 0;
  }

  // One value: the next line, converted. A failed conversion raises ReadFailure.
  int32_t read_integer();
  long double read_real();
  Fixed read_fixed();
  std::string read_text();

  /// Reads the next line as a list entry: false when it is the `#` line that
  /// ends the list (the line is consumed), true for an entry. With
  /// `skip_remarks`, lines beginning with ';' are passed over. A list still open
  /// at the end of the file raises ReadFailure.
  bool next_list_entry(bool skip_remarks = false);

  /// The current section label (UTF-8), named in error messages.
  std::string label;

 private:
  std::string bytes_;
  size_t pos_ = 0;
  std::string current_;
};

/// Conversions of a field taken from a line; a failure raises ReadFailure.
int32_t to_integer(std::string_view text);
long double to_real(std::string_view text);
Fixed to_fixed(std::string_view text);
/// The n-th comma field of `line` as an integer / real ("Error" fails).
int32_t csv_integer(std::string_view line, int n);
long double csv_real(std::string_view line, int n);

/// One key of a reader's key table. `label` (when not empty) becomes the
/// current section label before the key is tested, whether or not it matches.
struct KeyEntry {
  std::string_view key;
  std::string_view label;
  std::function<void(DefinitionReader&)> read;
};

/// Reads the file pass by pass: each pass reads one line, sets the pass label,
/// then tests every key of `table` in order against the current line (a key
/// that matched has read its values; the remaining keys are tested against the
/// last line it read). ReadFailure propagates to the caller's frame.
/// Returns how many times a key matched: none means the file is not of the
/// kind the table reads (empty, noise, another format under its name).
size_t read_keyed_file(DefinitionReader& reader, const std::vector<KeyEntry>& table,
                     std::string_view pass_label);

/// Stores `value` at `count` in a table of `capacity` entries, or raises
/// ReadFailure when the table is full.
template <typename Table, typename Value>
void append_entry(Table& table, int32_t& count, size_t capacity, Value&& value) {
  if (count < 0 || static_cast<size_t>(count) >= capacity) throw ReadFailure{};
  table[static_cast<size_t>(count)] = std::forward<Value>(value);
  ++count;
}

}  // namespace cabsim
