// Lines, values and the pass loop of the keyed-file reader.
#include "data/definition_reader.h"

#include <fstream>
#include <iterator>

#include "data/regular_file.h"
#include "data/value_parse.h"

namespace cabsim {

DefinitionReader::DefinitionReader(std::string bytes) : bytes_(std::move(bytes)) {}

DefinitionReader DefinitionReader::open(const std::filesystem::path& path) {
  // A folder, a named pipe or a device is not a definition file; asked before
  // opening, as opening a pipe would wait for a writer.
  if (!is_regular_file_path(path)) throw ReadFailure{};
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ReadFailure{};
  std::string bytes;
  char buffer[65536];
  while (in) {
    in.read(buffer, sizeof buffer);
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
    if (bytes.size() > kMaxDefinitionFileBytes) throw ReadFailure{};
  }
  if (in.bad()) throw ReadFailure{};
  return DefinitionReader(std::move(bytes));
}

const std::string& DefinitionReader::next_line() {
  if (at_end()) {
    current_.clear();
    return current_;
  }
  size_t eol = bytes_.find('\n', pos_);
  size_t end = eol == std::string::npos ? bytes_.size() : eol;
  size_t length = end - pos_;
  if (length > 0 && bytes_[end - 1] == '\r') --length;
  if (length > kMaxLineBytes) throw ReadFailure{};
  current_.assign(bytes_, pos_, length);
  pos_ = eol == std::string::npos ? bytes_.size() : eol + 1;
  return current_;
}

int32_t DefinitionReader::read_integer() {
  return to_integer(next_line());
}
long double DefinitionReader::read_real() {
  return to_real(next_line());
}
Fixed DefinitionReader::read_fixed() {
  return to_fixed(next_line());
}
std::string DefinitionReader::read_text() {
  return next_line();
}

bool DefinitionReader::next_list_entry(bool skip_remarks) {
  for (;;) {
    if (at_end()) throw ReadFailure{};
    next_line();
    if (!current_.empty() && current_[0] == '#') return false;
    if (skip_remarks && !current_.empty() && current_[0] == ';') continue;
    return true;
  }
}

int32_t to_integer(std::string_view text) {
  auto value = parse_integer(text);
  if (!value) throw ReadFailure{};
  return *value;
}

long double to_real(std::string_view text) {
  auto value = parse_real(text);
  if (!value) throw ReadFailure{};
  return *value;
}

Fixed to_fixed(std::string_view text) {
  auto value = parse_fixed(text);
  if (!value) throw ReadFailure{};
  return *value;
}

int32_t csv_integer(std::string_view line, int n) {
  return to_integer(CsvField(line, n));
}
long double csv_real(std::string_view line, int n) {
  return to_real(CsvField(line, n));
}

size_t read_keyed_file(DefinitionReader& reader, const std::vector<KeyEntry>& table,
                       std::string_view pass_label) {
  size_t matched = 0;
  while (!reader.at_end()) {
    reader.next_line();
    reader.label = pass_label;
    for (const KeyEntry& entry : table) {
      if (!entry.label.empty()) reader.label = entry.label;
      if (!reader.current_starts_with(entry.key)) continue;
      entry.read(reader);
      ++matched;
    }
  }
  return matched;
}

}  // namespace cabsim
