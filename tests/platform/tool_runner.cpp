// cabsim-tool as a child process, its output read through a pipe.
#include "tool_runner.h"

#include <sys/wait.h>

#include <cstdio>

namespace cabsim::test {

namespace {
std::string quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}
}  // namespace

ToolResult run_tool(const std::vector<std::string>& args) {
  std::string command = quote(CABSIM_TOOL_PATH);
  for (const std::string& arg : args) command += " " + quote(arg);
  ToolResult result;
  // Standard error goes to a file of its own, read once the tool has ended.
  FILE* err = std::tmpfile();
  if (!err) return result;
  command += " 2>/dev/fd/" + std::to_string(fileno(err));
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    std::fclose(err);
    return result;
  }
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::rewind(err);
  while ((n = fread(buffer, 1, sizeof buffer, err)) > 0) result.err.append(buffer, n);
  std::fclose(err);
  return result;
}

}  // namespace cabsim::test
