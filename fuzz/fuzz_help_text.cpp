// Fuzzing the operation notes' reader: any bytes give a caption and at most
// the line limit, in UTF-8.
#include "data/help_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const cabsim::HelpText text =
      cabsim::parse_help_text({reinterpret_cast<const char*>(data), size});
  if (text.lines.size() >= cabsim::kMaxHelpLines) __builtin_trap();
  if (!text.caption && !text.lines.empty()) __builtin_trap();
  return 0;
}
