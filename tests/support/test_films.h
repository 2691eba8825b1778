// Films made for tests and benchmarks by the ffmpeg command: every frame
// carries its own number as a row of black and white blocks, so a reader of
// the film can tell which frame it got from the pixels alone.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "state/frame_bitmap.h"

namespace cabsim::test {

/// Bits of the frame number drawn in the band at the bottom of each frame.
inline constexpr int kFrameNumberBits = 16;
inline constexpr int kNumberBandRows = 32;

/// Makes `out` with `frames` frames of `width` × `height` at 30 frames a
/// second, encoded with the ffmpeg output options `codec_options` (for example
/// "-c:v mjpeg -q:v 3"). Above the number band the picture is a scrolling,
/// noisy texture, as busy as a film from a moving cab. Returns an empty text
/// or what went wrong.
inline std::string make_numbered_film(const std::filesystem::path& out, int width, int height,
                                      int frames, const std::string& codec_options) {
  const std::string command = "ffmpeg -v error -y -f rawvideo -pix_fmt rgb24 -s " +
                              std::to_string(width) + "x" + std::to_string(height) +
                              " -r 30 -i - " + codec_options + " '" + out.string() + "'";
  FILE* pipe = ::popen(command.c_str(), "w");
  if (!pipe) return "cannot run: " + command;
  const int texture_width = width + 4 * frames;
  std::vector<uint8_t> texture(static_cast<size_t>(texture_width) * height);
  uint32_t seed = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < texture_width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const double wave = 60.0 * std::sin(x * 0.05) * std::cos(y * 0.07);
      texture[static_cast<size_t>(y) * texture_width + x] =
          static_cast<uint8_t>(std::lround(128 + wave) + static_cast<int>(seed >> 27) - 16);
    }
  std::vector<uint8_t> picture(static_cast<size_t>(width) * height * 3);
  const int band_top = height - kNumberBandRows;
  for (int n = 0; n < frames; ++n) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        uint8_t* p = &picture[(static_cast<size_t>(y) * width + x) * 3];
        if (y < band_top) {
          const uint8_t v = texture[static_cast<size_t>(y) * texture_width + x + 4 * n];
          p[0] = v;
          p[1] = static_cast<uint8_t>(255 - v);
          p[2] = static_cast<uint8_t>(v / 2 + 64);
        } else {
          const int bit = x * kFrameNumberBits / width;
          const bool set = (n >> (kFrameNumberBits - 1 - bit)) & 1;
          p[0] = p[1] = p[2] = set ? 235 : 16;
        }
      }
    if (std::fwrite(picture.data(), 1, picture.size(), pipe) != picture.size()) break;
  }
  const int status = ::pclose(pipe);
  return status == 0 ? std::string() : "ffmpeg failed (" + std::to_string(status) + "): " + command;
}

/// Rewrites an uncompressed 24-bit AVI film made by make_numbered_film (the
/// ffmpeg command stores such pictures top row first) as most programs
/// store them: bottom row first, with a positive picture height. The film
/// shows the same pictures as before. Returns an empty text or what went
/// wrong.
inline std::string turn_avi_bottom_up(const std::filesystem::path& film) {
  std::vector<uint8_t> bytes;
  {
    FILE* in = std::fopen(film.string().c_str(), "rb");
    if (!in) return "cannot read " + film.string();
    uint8_t block[65536];
    for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;)
      bytes.insert(bytes.end(), block, block + got);
    std::fclose(in);
  }
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
  };
  auto id_is = [&](size_t at, const char* id) { return std::memcmp(&bytes[at], id, 4) == 0; };
  if (bytes.size() < 12 || !id_is(0, "RIFF") || !id_is(8, "AVI ")) return "not an AVI file";
  int32_t width = 0, height = 0;
  size_t row_bytes = 0;
  int flipped = 0;
  // Chunks in [begin, end), lists entered; the stream format comes before
  // the pictures in every AVI file.
  std::string failure;
  auto walk = [&](auto&& self, size_t begin, size_t end) -> void {
    for (size_t at = begin; at + 8 <= end && failure.empty();) {
      const size_t size = u32(at + 4);
      if (at + 8 + size > end) return;
      if (id_is(at, "LIST") && size >= 4) {
        self(self, at + 12, at + 8 + size);
      } else if (id_is(at, "strf") && size >= 40 && width == 0) {
        width = static_cast<int32_t>(u32(at + 12));
        height = static_cast<int32_t>(u32(at + 16));
        if (height >= 0 || u32(at + 20) >> 16 != 24) {  // biHeight, biBitCount
          failure = "the film is not stored top row first in 24 bits";
          return;
        }
        height = -height;
        const uint32_t positive = static_cast<uint32_t>(height);
        for (int i = 0; i < 4; ++i) bytes[at + 16 + i] = static_cast<uint8_t>(positive >> (8 * i));
        row_bytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
      } else if (row_bytes > 0 && size == row_bytes * static_cast<size_t>(height) &&
                 (bytes[at + 2] == 'd' && (bytes[at + 3] == 'b' || bytes[at + 3] == 'c'))) {
        uint8_t* rows = &bytes[at + 8];
        for (int32_t y = 0; y < height / 2; ++y)
          std::swap_ranges(rows + y * row_bytes, rows + (y + 1) * row_bytes,
                           rows + (height - 1 - y) * row_bytes);
        ++flipped;
      }
      at += 8 + size + (size & 1);
    }
  };
  walk(walk, 12, bytes.size());
  if (!failure.empty()) return failure;
  if (flipped == 0) return "no pictures found";
  FILE* out = std::fopen(film.string().c_str(), "wb");
  if (!out) return "cannot write " + film.string();
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written ? std::string() : "cannot write " + film.string();
}

/// The number a picture of such a film shows, or -1 when its band is not a
/// clean row of black and white blocks.
inline int read_frame_number(const FrameBitmap& picture) {
  const int width = picture.width();
  const int band_top = picture.height() - kNumberBandRows;
  if (band_top < 0) return -1;
  int number = 0;
  for (int bit = 0; bit < kFrameNumberBits; ++bit) {
    const int left = bit * width / kFrameNumberBits;
    const int right = (bit + 1) * width / kFrameNumberBits;
    long sum = 0;
    int count = 0;
    for (int y = band_top + 8; y < picture.height() - 8; ++y)
      for (int x = left + 4; x < right - 4; ++x) {
        const uint32_t p = picture.pixel(x, y);
        sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
        ++count;
      }
    if (count == 0) return -1;
    const long mean = sum / (3 * count);
    if (mean > 90 && mean < 160) return -1;
    number = number * 2 + (mean >= 160 ? 1 : 0);
  }
  return number;
}

}  // namespace cabsim::test
