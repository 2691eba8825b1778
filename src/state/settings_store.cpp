// The read rules of the settings, and the settings store kept in memory.
#include "state/settings_store.h"

#include "data/value_parse.h"

namespace cabsim {

std::optional<int32_t> stored_integer(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return parse_integer(text);
}

DrivingSwitches read_switches_with(const IntegerLookup& lookup) {
  auto kanko = lookup("Kanko");
  auto information = lookup("Information");
  auto ats = lookup("ATS");
  auto tunnel = lookup("Tunnel");
  if (!kanko || !information || !ats || !tunnel) return DrivingSwitches{};
  return DrivingSwitches{*kanko, *information, *ats, *tunnel};
}

int read_pad_codes_with(const IntegerLookup& lookup, PadCodes& codes) {
  int read = 0;
  for (; read < PadCodes::kCount; ++read) {
    auto code = lookup(PadCodes::kNames[static_cast<size_t>(read)]);
    if (!code) break;
    codes.codes[static_cast<size_t>(read)] = *code;
  }
  return read;
}

IntegerLookup MemorySettingsStore::lookup_in(std::string_view group) const {
  return [this, group](std::string_view name) -> std::optional<int32_t> {
    auto g = values.find(group);
    if (g == values.end()) return std::nullopt;
    auto v = g->second.find(name);
    if (v == g->second.end()) return std::nullopt;
    return stored_integer(v->second);
  };
}

DrivingSwitches MemorySettingsStore::read_switches() {
  return read_switches_with(lookup_in("hanabira"));
}

bool MemorySettingsStore::write_switches(const DrivingSwitches& switches) {
  auto& group = values["hanabira"];
  group["Kanko"] = std::to_string(switches.Kanko);
  group["Information"] = std::to_string(switches.Information);
  group["ATS"] = std::to_string(switches.ATS);
  group["Tunnel"] = std::to_string(switches.Tunnel);
  return true;
}

int MemorySettingsStore::read_pad_codes(PadCodes& codes) {
  return read_pad_codes_with(lookup_in("padcontroller"), codes);
}

bool MemorySettingsStore::write_pad_codes(const PadCodes& codes) {
  auto& group = values["padcontroller"];
  for (size_t i = 0; i < PadCodes::kNames.size(); ++i)
    group[std::string(PadCodes::kNames[i])] = std::to_string(codes.codes[i]);
  return true;
}

std::optional<std::string> MemorySettingsStore::read_text(std::string_view name) {
  auto g = values.find("hanabira");
  if (g == values.end()) return std::nullopt;
  auto v = g->second.find(name);
  if (v == g->second.end()) return std::nullopt;
  return v->second;
}

bool MemorySettingsStore::write_text(std::string_view name, std::string_view bytes) {
  values["hanabira"][std::string(name)] = std::string(bytes);
  return true;
}

}  // namespace cabsim
