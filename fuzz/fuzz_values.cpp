// libFuzzer target: comma fields and number conversion on any bytes, checked
// against their own invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/split_path.h"
#include "data/value_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  for (int n = 1; n <= 4; ++n) {
    std::string field = cabsim::CsvField(line, n);
    if (field != "Error" && field.size() > line.size()) std::abort();
    (void)cabsim::parse_integer(field);
    (void)cabsim::parse_real(field);
    (void)cabsim::parse_fixed(field);
  }
  auto integer = cabsim::parse_integer(line);
  if (integer && std::to_string(*integer).size() > line.size()) std::abort();
  std::string dir = cabsim::SplitPath(line, 0);
  std::string name = cabsim::SplitPath(line, 1);
  if (dir.size() > line.size() || name.size() > cabsim::kMaxNamePartBytes) std::abort();
  return 0;
}
