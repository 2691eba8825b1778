// Encoding the demo films: H.264 in AVI, a key frame every second and no
// B-frames, so that any frame can be reached quickly in both directions.
#pragma once

#include <QImage>
#include <memory>
#include <string>

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
