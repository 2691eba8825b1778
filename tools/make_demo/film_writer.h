// Encoding the demo films: H.264 in AVI, a key frame every second and no
// B-frames, so that any frame can be reached quickly in both directions;
// optionally with a sound track of plain 16-bit PCM.
#pragma once

#include <QImage>
#include <memory>
#include <string>
#include <vector>

namespace demo {

class FilmWriter {
 public:
  /// Opens `path` for a film of `width` x `height` at `fps`. Throws
  /// std::runtime_error when the encoder or the file cannot be opened.
  /// `fastest` trades file size for encoding speed (for plain test films).
  FilmWriter(const std::string& path, int width, int height, int fps, bool fastest = false);
  ~FilmWriter();
  FilmWriter(const FilmWriter&) = delete;
  FilmWriter& operator=(const FilmWriter&) = delete;

  /// Gives the film a sound track: `samples` (16-bit mono PCM at `rate`),
  /// interleaved with the pictures as they are added. Call before the first
  /// frame; the sound beyond the last frame is written when the film closes.
  void set_sound(std::vector<int16_t> samples, int rate);

  /// Appends one frame (any QImage format of the film's size).
  void add(const QImage& frame);
  /// Appends one frame of one grey shade (for test films).
  void add_plain(uint8_t shade);
  /// Flushes the encoder and finishes the file.
  void close();
  int frames() const { return frames_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int frames_ = 0;
};

}  // namespace demo
