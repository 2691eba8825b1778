// Runs cabsim-tool as a user would and collects what it prints.
#pragma once

#include <string>
#include <vector>

namespace cabsim::test {

struct ToolResult {
  int exit_code = -1;
  std::string out;  ///< standard output
  std::string err;  ///< standard error
};

/// Runs the built cabsim-tool with `args`.
ToolResult run_tool(const std::vector<std::string>& args);

}  // namespace cabsim::test
