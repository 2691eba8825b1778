// The key table of cabworks.dat: one text line per key, the fixed blocks of
// [Stops], [Doors] and [Gears], the [InfoLabel] list and the menu captions.
#include "data/cabworks_file.h"

#include <algorithm>
#include <vector>

#include "data/definition_error.h"
#include "data/definition_reader.h"

namespace cabsim {
namespace {

using R = DefinitionReader;

/// The next line as a text. Unlike the other files, a key of cabworks.dat
/// whose lines run past the end of the file is an error (a `[Gears]` block
/// cut short is refused, not filled with empty texts).
std::string read_line(R& r) {
  if (r.at_end()) throw ReadFailure{};
  return r.read_text();
}

std::vector<KeyEntry> cabworks_keys(CabworksText& t) {
  std::vector<KeyEntry> table;
  auto text = [&table](std::string_view key, std::string& field) {
    table.push_back({key, {}, [&field](R& r) { field = read_line(r); }});
  };
  auto block = [&table](std::string_view key, auto& fields) {
    table.push_back({key, {}, [&fields](R& r) {
                       for (auto& field : fields) field = read_line(r);
                     }});
  };
  text("[Path]", t.Path);
  text("[Forward]", t.Forward);
  text("[Neutral]", t.Neutral);
  text("[Reverse]", t.Reverse);
  text("[Stop]", t.Stop);
  text("[Pass]", t.Pass);
  text("[Stop2]", t.Stop2);
  text("[Neut]", t.Neut);
  text("[Neut2]", t.Neut2);
  text("[Apply]", t.Apply);
  text("[Maintain]", t.Maintain);
  text("[Hold]", t.Hold);
  text("[Hold2]", t.Hold2);
  text("[EB]", t.EB);
  text("[Const]", t.Const);
  text("[Cars]", t.Cars);
  text("[TC]", t.TC);
  block("[Stops]", t.Stops);
  block("[Doors]", t.Doors);
  block("[Gears]", t.Gears);
  table.push_back({"[InfoLabel]", {}, [&t](R& r) {
                     int32_t n = 0;
                     while (r.next_list_entry()) {
                       append_entry(t.InfoLabel, n, kMaxInfoLabels, r.current());
                       t.InfoLabel_filled = std::max(t.InfoLabel_filled, n);
                     }
                   }});
  text("[Start]", t.Start);
  text("[Move]", t.Move);
  text("[Display]", t.Display);
  text("[Control]", t.Control);
  text("[Save]", t.Save);
  return table;
}

CabworksText read_cabworks(DefinitionReader reader) {
  CabworksText text;
  std::vector<KeyEntry> table = cabworks_keys(text);
  try {
    // Not one key of the text file: not the text file at all.
    if (read_keyed_file(reader, table, {}) == 0) throw ReadFailure{};
  } catch (const ReadFailure&) {
    throw DefinitionError(std::string(kCabworksFileError));
  }
  return text;
}

}  // namespace

CabworksText read_cabworks_bytes(std::string bytes) {
  return read_cabworks(DefinitionReader(std::move(bytes)));
}

CabworksText read_cabworks_file(const std::filesystem::path& path) {
  try {
    return read_cabworks(DefinitionReader::open(path));
  } catch (const ReadFailure&) {
    throw DefinitionError(std::string(kCabworksFileError));
  }
}

}  // namespace cabsim
