// Fuzzing the mascon.dat reader and the matching of controller messages
// against its codes: a refused file raises DefinitionError, anything else is
// a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/definition_error.h"
#include "data/mascon_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    cabsim::MasconMap map = cabsim::read_mascon_bytes(bytes);
    // Each line of the file taken as a message received from a controller.
    for (int32_t line = -1; line <= static_cast<int32_t>(cabsim::kMasconLines); ++line)
      for (int32_t k = 0; k < map.count; ++k)
        (void)cabsim::mascon_line_matches(map, line, map.codes[static_cast<size_t>(k)]);
  } catch (const cabsim::DefinitionError&) {
  }
  return 0;
}
