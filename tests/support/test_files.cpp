// Test folders and Shift-JIS test files.
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

#include "data/shift_jis.h"

namespace cabsim::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> serial{0};
  const char* root = std::getenv("CABSIM_TEST_TMP");
  fs::path base = root && *root ? fs::path(root) : fs::temp_directory_path() / "cabsim-tests";
  std::string name = "t";
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
    name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  path_ = base / (name + "-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string sjis_file_text(std::string_view utf8_text) {
  std::string crlf;
  for (char c : utf8_text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return utf8_to_sjis(crlf);
}

fs::path TempDir::write_sjis(std::string_view name, std::string_view utf8_text) const {
  return write_bytes(name, sjis_file_text(utf8_text));
}

fs::path TempDir::write_bytes(std::string_view name, std::string_view bytes) const {
  fs::path file = path_ / name;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
  return file;
}

namespace {

std::string le32(uint32_t v) {
  return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
std::string le16(uint16_t v) {
  return {char(v), char(v >> 8)};
}

}  // namespace

std::string wave_file_bytes(uint32_t rate, uint32_t data_bytes) {
  std::string fmt = le16(1) + le16(1) + le32(rate) + le32(rate * 2) + le16(2) + le16(16);
  std::string list = "LIST" + le32(4) + "INFO";
  std::string body = "WAVE" + std::string("fmt ") + le32(16) + fmt + list + "data" +
                     le32(data_bytes) + std::string(data_bytes, '\0');
  return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

}  // namespace cabsim::test
