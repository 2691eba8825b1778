// Writing the demo program directory: definition files in Shift-JIS with
// CR LF line ends, and binary files, at the backslash paths the definition
// files name them by.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace demo {

/// A definition file being composed, one UTF-8 line at a time.
class TextFile {
 public:
  TextFile& line(std::string_view utf8);
  /// One line of comma-separated fields.
  template <typename... T>
  TextFile& row(const T&... fields) {
    std::string out;
    ((out += (out.empty() ? "" : ","), out += field(fields)), ...);
    return line(out);
  }
  /// The Shift-JIS bytes, every line ended by CR LF.
  std::string sjis() const;

  static std::string field(const std::string& s) { return s; }
  static std::string field(const char* s) { return s; }
  static std::string field(int v) { return std::to_string(v); }
  static std::string field(long v) { return std::to_string(v); }
  static std::string field(long long v) { return std::to_string(v); }
  static std::string field(double v);

 private:
  std::string utf8_;
};

/// The program directory being generated.
class Output {
 public:
  explicit Output(std::filesystem::path root) : root_(std::move(root)) {}

  /// Where the file named `name` (backslash path) lives.
  std::filesystem::path path(std::string_view name) const;
  void write(std::string_view name, std::string_view bytes);
  void write(std::string_view name, const TextFile& text) { write(name, text.sjis()); }
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

}  // namespace demo
