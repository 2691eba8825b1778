// Reading a film or a sound file for the title screen's media player: video
// frames as pictures with their times, sound as 16-bit samples.
#pragma once

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace cabsim {

/// One picture of a film and the time it is due, in seconds from the start.
struct MediaFrame {
  QImage image;
  double seconds = 0;
};

/// Demuxes and decodes one file with FFmpeg. A damaged packet is skipped; a
/// file that cannot be read at all fails to open with a text saying why.
class MediaDecoder {
 public:
  MediaDecoder();
  ~MediaDecoder();
  MediaDecoder(const MediaDecoder&) = delete;
  MediaDecoder& operator=(const MediaDecoder&) = delete;

  /// Opens `file`; an empty text on success, else the reason.
  std::string open(const std::filesystem::path& file);

  bool has_video() const;
  bool has_audio() const;
  int video_width() const;
  int video_height() const;
  /// 1 or 2 (more channels are mixed down to two).
  int audio_channels() const;
  int audio_rate() const;

  /// Reads the next packet and appends what it decodes to: `frames` and
  /// `samples` (interleaved). False once the file is at its end.
  bool decode_some(std::vector<MediaFrame>& frames, std::vector<int16_t>& samples);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace cabsim
