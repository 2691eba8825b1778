// Walks the RIFF chunks of a wave file for its byte rate and data size,
// reading only the chunk headers.
#include "data/wave_seconds.h"
#include "data/regular_file.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace cabsim {
namespace {

uint32_t le32(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint32_t le16(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8;
}

/// Format tags whose samples are stored as they play (PCM, IEEE float, and
/// the extensible form that carries either).
bool plain_samples(uint32_t format_tag) {
  return format_tag == 1 || format_tag == 3 || format_tag == 0xFFFE;
}

/// The rate a wave's data plays at. Plain samples play at sample rate x block
/// size whatever the header's byte rate claims (a melody whose header says 1
/// byte a second would otherwise last for days); other formats have only the
/// header's figure.
uint32_t playing_rate(const unsigned char* format) {
  const uint64_t played = uint64_t{le32(format + 4)} * le16(format + 12);
  if (plain_samples(le16(format)) && played > 0 && played <= UINT32_MAX)
    return static_cast<uint32_t>(played);
  return le32(format + 8);
}

/// Reads `n` bytes at `at`; false when the stream holds fewer.
bool read_at(std::istream& in, uint64_t at, unsigned char* out, size_t n) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(at));
  in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(n));
  return in.gcount() == static_cast<std::streamsize>(n);
}

/// Data bytes present, where they start, the format chunk's body and the
/// average byte rate of a wave file, or the error.
struct WaveLength {
  uint64_t data_bytes = 0;
  uint64_t data_offset = 0;
  std::string format;
  uint32_t bytes_per_second = 0;
  std::string error;
};

WaveLength walk_chunks(std::istream& in, uint64_t file_size, const std::string& name) {
  WaveLength bad;
  bad.error = name + " は正しいWAVEファイルではありません";
  unsigned char head[12];
  if (!read_at(in, 0, head, 12) || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0)
    return bad;

  uint32_t bytes_per_second = 0;
  std::string format;
  bool have_format = false;
  uint64_t at = 12;
  while (at + 8 <= file_size) {
    unsigned char chunk[8];
    if (!read_at(in, at, chunk, 8)) break;
    uint64_t size = le32(chunk + 4);
    uint64_t body = at + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 16 || size > kMaxWaveFormatBytes) return bad;
      format.resize(size);
      if (!read_at(in, body, reinterpret_cast<unsigned char*>(format.data()), size)) return bad;
      bytes_per_second = playing_rate(reinterpret_cast<const unsigned char*>(format.data()));
      have_format = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!have_format || bytes_per_second < kMinWaveBytesPerSecond) return bad;
      uint64_t present = file_size - body;
      uint64_t data_size = size < present ? size : present;
      WaveLength ok;
      ok.data_bytes = data_size;
      ok.data_offset = body;
      ok.format = std::move(format);
      ok.bytes_per_second = bytes_per_second;
      return ok;
    }
    at = body + size + (size & 1);  // chunks are padded to an even size
  }
  return bad;
}

WaveLength wave_length_of_file(const std::filesystem::path& path) {
  if (!is_regular_file_path(path)) {
    WaveLength failed;
    failed.error = path.string() + " が見つかりません";
    return failed;
  }
  std::ifstream in(path, std::ios::binary);
  std::error_code ec;
  uintmax_t size = in ? std::filesystem::file_size(path, ec) : 0;
  if (!in || ec) {
    WaveLength failed;
    failed.error = path.string() + " を読み込めません";
    return failed;
  }
  return walk_chunks(in, size, path.string());
}

WaveSecondsResult in_seconds(const WaveLength& length) {
  WaveSecondsResult result;
  result.error = length.error;
  if (length.error.empty())
    result.seconds = static_cast<int32_t>(length.data_bytes / length.bytes_per_second);
  return result;
}

}  // namespace

WaveSecondsResult wave_seconds_of_bytes(std::string_view bytes, const std::string& name) {
  std::istringstream in{std::string(bytes)};
  return in_seconds(walk_chunks(in, bytes.size(), name));
}

WaveSecondsResult WaveSeconds(const std::filesystem::path& path) {
  return in_seconds(wave_length_of_file(path));
}

WaveLayout wave_layout(const std::filesystem::path& path) {
  WaveLength length = wave_length_of_file(path);
  WaveLayout layout;
  layout.error = std::move(length.error);
  if (!layout.error.empty()) return layout;
  layout.format = std::move(length.format);
  layout.data_offset = length.data_offset;
  layout.data_bytes = length.data_bytes;
  return layout;
}

WaveMillisecondsResult WaveMilliseconds(const std::filesystem::path& path) {
  WaveLength length = wave_length_of_file(path);
  WaveMillisecondsResult result;
  result.error = length.error;
  // Data sizes are below 2^32, so the product stays far inside 64 bits.
  if (length.error.empty())
    result.milliseconds = static_cast<int64_t>(length.data_bytes * 1000 / length.bytes_per_second);
  return result;
}

}  // namespace cabsim
