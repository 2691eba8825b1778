// libFuzzer target: any bytes as a train file. A DefinitionError is the
// expected answer to a bad file; anything else (a crash, a sanitizer report,
// another exception) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/definition_error.h"
#include "data/train_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    cabsim::TrainParams train =
        cabsim::read_train_bytes(std::string(reinterpret_cast<const char*>(data), size), "p\\");
    cabsim::check_brake_steps(train);
  } catch (const cabsim::DefinitionError&) {
  }
  return 0;
}
