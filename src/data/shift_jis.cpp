// Shift-JIS <-> UTF-8 through iconv's CP932 table. glibc's SHIFT_JIS table maps
// '\' and '~' to yen and overline (breaking paths), so CP932 it must be.
#include "data/shift_jis.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace cabsim {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

/// Converts `in` with a fresh iconv descriptor. On an invalid or incomplete
/// sequence `skip` bytes of input are dropped and `replacement` is written.
std::string convert(const char* to, const char* from, std::string_view in, size_t skip,
                    std::string_view replacement) {
  iconv_t raw = iconv_open(to, from);
  if (raw == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::unique_ptr<void, IconvCloser> cd(raw);

  std::string out;
  out.reserve(in.size() * 3 / 2 + 4);
  char buffer[1024];
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  while (src_left > 0) {
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    size_t r = iconv(raw, &src, &src_left, &dst, &dst_left);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ (invalid sequence) or EINVAL (incomplete at the end).
    size_t n = skip < src_left ? skip : src_left;
    src += n;
    src_left -= n;
    out.append(replacement);
    iconv(raw, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

}  // namespace

std::string sjis_to_utf8(std::string_view sjis) {
  // Fast path: pure ASCII is the same in both.
  bool ascii = true;
  for (unsigned char c : sjis) {
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return std::string(sjis);
  return convert("UTF-8", "CP932", sjis, 1, kReplacementUtf8);
}

std::string utf8_to_sjis(std::string_view utf8) {
  bool ascii = true;
  for (unsigned char c : utf8) {
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return std::string(utf8);
  std::string out;
  // Convert character by character so an unmappable one costs one '?'.
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80           ? 1
                 : (c >> 5) == 0x6  ? 2
                 : (c >> 4) == 0xE  ? 3
                 : (c >> 3) == 0x1E ? 4
                                    : 1;
    if (i + len > utf8.size()) len = utf8.size() - i;
    std::string part = convert("CP932", "UTF-8", utf8.substr(i, len), len, "?");
    out += part;
    i += len;
  }
  return out;
}

}  // namespace cabsim
