// The film a run shows: opened by name, counted in frames, and asked for the
// picture of a frame number once per display pass.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "state/frame_bitmap.h"

namespace cabsim {

/// What the display gets when it asks for a frame.
struct FilmFrame {
  /// The picture, or null when no picture of the film is ready yet (or the
  /// frame number lies outside the film). The picture stays valid while the
  /// caller holds it, whatever the film source does meanwhile.
  std::shared_ptr<const FrameBitmap> picture;
  /// The frame number `picture` shows; -1 when there is no picture.
  int32_t number = -1;
  /// True when `number` is the frame that was asked for.
  bool exact = false;
};

/// A film file. Frames are numbered from 0 to frame_count() - 1 in the order
/// they are shown. Only one thread (the user-interface thread) calls these;
/// an implementation may decode on threads of its own.
class FilmSource {
 public:
  virtual ~FilmSource() = default;

  /// Opens the film at `file`, closing any film that was open. Returns an
  /// empty text on success, otherwise why the film cannot be shown (a missing,
  /// truncated or corrupt file fails here, never later with a crash).
  virtual std::string open(const std::filesystem::path& file) = 0;
  virtual void close() = 0;
  virtual bool is_open() const = 0;

  /// Number of frames of the open film (0 when none is open).
  virtual int32_t frame_count() const = 0;
  /// Picture size of the open film; every frame comes in this size.
  virtual int32_t width() const = 0;
  virtual int32_t height() const = 0;

  /// The display pass asks for frame `n`: returns it when it is decoded, or
  /// else waits at most `max_wait` for it; when it is still not ready, returns
  /// the ready frame nearest to `n` with `exact` false (the display may show it
  /// and ask again in its next pass). Asking also tells the film source where
  /// the display is and in which direction it moves, so it decodes ahead.
  /// Never blocks longer than `max_wait`. A frame that cannot be decoded (a
  /// damaged part of the file) ends the wait at once.
  virtual FilmFrame frame(int32_t n, std::chrono::microseconds max_wait) = 0;

  /// Asks the film source to decode frame `n` soon without the display moving
  /// there (for example the stop frames of stations a move can jump to).
  virtual void prefetch(int32_t n) = 0;
};

}  // namespace cabsim
