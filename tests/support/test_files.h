// Helpers for tests that need real files: a fresh folder per test, and files
// written in the Shift-JIS encoding of definition files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace cabsim::test {

/// A new empty folder for the running test, below $CABSIM_TEST_TMP (or the
/// system's temporary folder); removed again when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  /// Writes `utf8_text` converted to Shift-JIS, lines ended by CR LF.
  std::filesystem::path write_sjis(std::string_view name, std::string_view utf8_text) const;
  /// Writes `bytes` as they are.
  std::filesystem::path write_bytes(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

/// `utf8_text` in Shift-JIS with every LF turned into CR LF.
std::string sjis_file_text(std::string_view utf8_text);

/// A PCM wave file of `data_bytes` bytes of silence at `rate` samples per
/// second, mono 16 bit, with a LIST chunk before the data.
std::string wave_file_bytes(uint32_t rate, uint32_t data_bytes);

}  // namespace cabsim::test
