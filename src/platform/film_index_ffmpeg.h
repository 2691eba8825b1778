// A film opened for its frames only: the container is read, the frame table
// built and the first picture decoded, exactly as the display's film source
// accepts a film, but no picture is ever kept or converted. The command-line
// simulation runs on it: the film switching and the film ends need the frame
// counts, not the pictures.
#pragma once

#include <memory>

#include "state/film_source.h"

namespace cabsim {

class FilmReaderFfmpeg;

class FilmIndexFfmpeg final : public FilmSource {
 public:
  FilmIndexFfmpeg();
  ~FilmIndexFfmpeg() override;

  std::string open(const std::filesystem::path& file) override;
  void close() override;
  bool is_open() const override { return frame_count_ > 0; }
  int32_t frame_count() const override { return frame_count_; }
  int32_t width() const override { return width_; }
  int32_t height() const override { return height_; }
  /// Never a picture.
  FilmFrame frame(int32_t n, std::chrono::microseconds max_wait) override;
  void prefetch(int32_t) override {}

 private:
  int32_t frame_count_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

}  // namespace cabsim
