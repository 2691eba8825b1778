// Backslash, case and encoding tolerant path resolution.
#include "platform/file_paths.h"

#include <optional>
#include <string>
#include <vector>

#include "data/shift_jis.h"

namespace cabsim {
namespace fs = std::filesystem;
namespace {

/// Splits at '/' and at backslashes that are not the trail byte of a
/// double-byte character. `sjis` says whether lead bytes are to be honoured.
std::vector<std::string> components(std::string_view name, bool sjis) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (sjis && is_sjis_lead_byte(c) && i + 1 < name.size()) {
      parts.back() += name[i];
      parts.back() += name[++i];
      continue;
    }
    if (c == '\\' || c == '/') {
      parts.emplace_back();
      continue;
    }
    parts.back() += name[i];
  }
  return parts;
}

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

/// The entry of `dir` called `part`, as written or else without regard to case.
std::optional<fs::path> find_entry(const fs::path& dir, const std::string& part) {
  std::error_code ec;
  fs::path exact = dir / part;
  if (fs::exists(fs::symlink_status(exact, ec))) return exact;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (equal_ignoring_ascii_case(entry, part)) return it->path();
  }
  return std::nullopt;
}

/// Walks `parts` from `start`; the resolved path when every component exists.
std::optional<fs::path> walk(fs::path start, const std::vector<std::string>& parts) {
  fs::path at = std::move(start);
  for (const std::string& part : parts) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      at = at.parent_path();
      continue;
    }
    auto found = find_entry(at, part);
    if (!found) return std::nullopt;
    at = *found;
  }
  return at;
}

fs::path as_written(const fs::path& base, const std::vector<std::string>& parts, bool absolute) {
  fs::path at = absolute ? fs::path("/") : base;
  for (const std::string& part : parts)
    if (!part.empty()) at /= part;
  return at;
}

}  // namespace

fs::path resolve_file(const fs::path& base, std::string_view name) {
  bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\');
  std::vector<std::string> sjis_parts = components(name, true);
  std::vector<std::string> utf8_parts;
  for (const std::string& part : sjis_parts) utf8_parts.push_back(sjis_to_utf8(part));
  std::vector<std::string> plain_parts = components(name, false);

  fs::path start = absolute ? fs::path("/") : base;
  for (const auto* parts : {&sjis_parts, &utf8_parts, &plain_parts}) {
    if (auto found = walk(start, *parts)) return *found;
  }
  return as_written(base, plain_parts, absolute);
}

fs::path program_directory(const fs::path& data_option) {
  std::error_code ec;
  if (!data_option.empty()) return fs::absolute(data_option, ec);
  fs::path executable = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && executable.has_parent_path()) return executable.parent_path();
  return fs::current_path(ec);
}

}  // namespace cabsim
