// The quick demo line the tests share, generated once per build.
#include "shared_demo.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace cabsim::test {

namespace fs = std::filesystem;

void generate_demo(const fs::path& dir) {
  fs::path program = fs::path(CABSIM_TOOL_PATH).parent_path() / "make_demo";
  std::string command = "QT_QPA_PLATFORM=offscreen '" + program.string() + "' '" + dir.string() +
                        "' --quick > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

fs::path shared_demo() {
  const char* root = std::getenv("CABSIM_TEST_TMP");
  const fs::path base = root && *root ? fs::path(root) : fs::temp_directory_path() / "cabsim-tests";
  fs::create_directories(base);
  const fs::path dir = base / "shared-demo";
  const fs::path program = fs::path(CABSIM_TOOL_PATH).parent_path() / "make_demo";
  const std::string stamp =
      std::to_string(fs::file_size(program)) + " " +
      std::to_string(fs::last_write_time(program).time_since_epoch().count()) + "\n";
  const int lock = ::open((base / "shared-demo.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  EXPECT_GE(lock, 0);
  if (lock >= 0) ::flock(lock, LOCK_EX);
  std::string made;
  {
    std::ifstream in(base / "shared-demo.stamp");
    std::getline(in, made);
    made += "\n";
  }
  if (made != stamp) {
    fs::remove_all(dir);
    fs::remove(base / "shared-demo.stamp");
    fs::create_directories(dir);
    generate_demo(dir);
    if (!::testing::Test::HasFatalFailure()) std::ofstream(base / "shared-demo.stamp") << stamp;
  }
  if (lock >= 0) ::close(lock);
  return dir;
}

}  // namespace cabsim::test
