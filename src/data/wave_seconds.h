// The length of a wave sound in whole seconds, which times departure melodies
// and station announcements.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace cabsim {

/// The slowest sound a wave file may hold: 1000 bytes a second (8-bit mono at
/// 1000 samples a second, below every real recording format). A wave that
/// claims less is not usable: its length would be days.
constexpr uint32_t kMinWaveBytesPerSecond = 1000;

struct WaveSecondsResult {
  int32_t seconds = 0;
  /// Set when the file could not be opened or is not a usable wave file: the
  /// text to show the user (the run goes on with a length of 0).
  std::string error;
};

/// Length of the wave file at `path`: data bytes / the rate the data plays at
/// (sample rate x block size for plain samples, else the header's average
/// bytes per second; below kMinWaveBytesPerSecond the file is not usable),
/// truncated. The format and data chunks are found by walking the RIFF chunks,
/// so a LIST (or any other) chunk before the data is no trouble; a data chunk
/// that claims more bytes than the file holds counts only the bytes present.
WaveSecondsResult WaveSeconds(const std::filesystem::path& path);

/// The same for the bytes of a wave file in memory; `name` goes into messages.
WaveSecondsResult wave_seconds_of_bytes(std::string_view bytes, const std::string& name);

struct WaveMillisecondsResult {
  int64_t milliseconds = 0;
  std::string error;  ///< as for WaveSecondsResult
};

/// Length of the wave file at `path` in whole milliseconds (data bytes x 1000 /
/// average bytes per second, truncated), found by the same chunk walk.
WaveMillisecondsResult WaveMilliseconds(const std::filesystem::path& path);

/// A format chunk larger than this is no wave's (the largest real one, of a
/// compressed format, is some tens of bytes).
constexpr uint32_t kMaxWaveFormatBytes = 1024;

/// Where a wave file's samples lie, as the same chunk walk finds them: the
/// body of its format chunk, and the offset and size of the data present.
struct WaveLayout {
  std::string format;
  uint64_t data_offset = 0;
  uint64_t data_bytes = 0;
  std::string error;  ///< as for WaveSecondsResult
};
WaveLayout wave_layout(const std::filesystem::path& path);

}  // namespace cabsim
