// Runs cabsim-tool as a user would and collects what it prints.
#pragma once

#include <string>
#include <vector>

namespace cabsim::test {

struct ToolResult {
  int exit_code = -1;
  std::string out;  ///< standard output
};

/// Runs the built cabsim-tool with `args` (standard error is discarded).
ToolResult run_tool(const std::vector<std::string>& args);

}  // namespace cabsim::test
