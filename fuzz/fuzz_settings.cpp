// Fuzzing the read rules of the settings and the saved running states: the
// input is a settings file of "name=value" lines; every value goes through
// the integer rule, the two groups' rules and the saved-state reader.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "run/station_move.h"
#include "state/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::map<std::string, std::string, std::less<>> values;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos)
      values[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    start = end + 1;
  }
  const cabsim::IntegerLookup lookup = [&values](std::string_view name) {
    const auto found = values.find(name);
    return found == values.end() ? std::nullopt : cabsim::stored_integer(found->second);
  };
  (void)cabsim::read_switches_with(lookup);
  cabsim::PadCodes codes;
  if (cabsim::read_pad_codes_with(lookup, codes) > cabsim::PadCodes::kCount) __builtin_trap();
  for (const auto& [name, value] : values) {
    (void)cabsim::stored_integer(value);
    if (auto state = cabsim::parse_saved_state(value)) {
      // What was read is written back the same way it reads.
      const auto again = cabsim::parse_saved_state(cabsim::saved_state_text(*state));
      if (!again || again->station != state->station || again->frame != state->frame)
        __builtin_trap();
    }
  }
  return 0;
}
