// Only regular files are opened: a named pipe or a folder in place of a
// definition file or a wave is refused at once with the file's own failure,
// where opening it would wait for a writer for ever.
#include "data/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "data/definition_error.h"
#include "data/mascon_file.h"
#include "data/wave_seconds.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

TEST(RegularFiles, PipesAndFoldersAreRefusedWithoutWaiting) {
  test::TempDir dir;
  const auto pipe = dir / "mascon.dat";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(is_regular_file_path(pipe));
  EXPECT_FALSE(is_regular_file_path(dir.path()));
  EXPECT_FALSE(is_regular_file_path(dir / "missing.dat"));
  EXPECT_TRUE(is_regular_file_path(dir.write_bytes("plain.dat", "P1\r\n#\r\n")));

  try {
    read_mascon_file(pipe);
    FAIL() << "a named pipe was read as mascon.dat";
  } catch (const DefinitionError& e) {
    EXPECT_STREQ(e.what(), "mascon.datを読み込めません");
  }
  EXPECT_THROW(read_mascon_file(dir.path()), DefinitionError);

  const auto wave = dir / "melody.wav";
  ASSERT_EQ(::mkfifo(wave.c_str(), 0600), 0);
  const auto length = WaveSeconds(wave);
  EXPECT_EQ(length.seconds, 0);
  EXPECT_NE(length.error.find("melody.wav が見つかりません"), std::string::npos) << length.error;
}

}  // namespace
}  // namespace cabsim
