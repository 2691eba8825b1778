// Fuzzing the route file reader and the set-up that places what it read:
// a refused file raises DefinitionError, anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/definition_error.h"
#include "data/route_file.h"
#include "data/route_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    auto route = cabsim::read_route_bytes(std::move(bytes), {});
    cabsim::build_move_menu(*route);
    cabsim::reset_route_run_fields(*route);
    cabsim::store_sound_lengths(
        *route, [](std::string_view file) { return static_cast<int32_t>(file.size()); });
    // A run from the title screen, and one from a station the file names.
    cabsim::set_up_route_positions(*route, 0);
    cabsim::set_up_route_positions(*route, route->Station_count);
  } catch (const cabsim::DefinitionError&) {
  }
  return 0;
}
