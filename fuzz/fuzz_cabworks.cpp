// Fuzzing the cabworks.dat reader: a refused file raises DefinitionError,
// anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/cabworks_file.h"
#include "data/definition_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    cabsim::read_cabworks_bytes(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const cabsim::DefinitionError&) {
  }
  return 0;
}
