// Writing the files of the demo program directory.
#include "demo_output.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "data/shift_jis.h"

namespace demo {

TextFile& TextFile::line(std::string_view utf8) {
  utf8_.append(utf8);
  utf8_ += '\n';
  return *this;
}

std::string TextFile::field(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s += '0';
  return s;
}

std::string TextFile::sjis() const {
  std::string out;
  size_t start = 0;
  while (start < utf8_.size()) {
    size_t end = utf8_.find('\n', start);
    std::string line = cabsim::utf8_to_sjis(std::string_view(utf8_).substr(start, end - start));
    out += line;
    out += "\r\n";
    start = end + 1;
  }
  return out;
}

std::filesystem::path Output::path(std::string_view name) const {
  std::string rel(name);
  for (char& c : rel)
    if (c == '\\') c = '/';
  return root_ / rel;
}

void Output::write(std::string_view name, std::string_view bytes) {
  std::filesystem::path p = path(name);
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + p.string());
}

}  // namespace demo
