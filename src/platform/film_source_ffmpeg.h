// The film source on FFmpeg: a decoder thread that reads ahead of the display
// in its direction of travel, converter threads that turn its pictures into
// bitmaps meanwhile, and the recently decoded frames kept.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <vector>

#include "platform/film_frame_cache.h"
#include "platform/film_reader_ffmpeg.h"
#include "state/film_source.h"

namespace cabsim {

class FilmSourceFfmpeg final : public FilmSource {
 public:
  /// Frames decoded ahead of the display in its direction of travel: at four
  /// times the filmed speed this is 0.4 s of film, at the filmed speed 1.6 s.
  static constexpr int32_t kReadAheadFrames = 48;
  /// Frames kept behind the display, for a train that stops and backs a little.
  static constexpr int32_t kKeepBehindFrames = 8;
  /// A step of the display larger than this is a jump, not travel: it does
  /// not change the direction of travel.
  static constexpr int32_t kJumpFrames = 60;
  /// Frames that may be decoded ahead of a jump (station stop frames).
  static constexpr int32_t kMaxPrefetchFrames = 32;
  /// Decoded pictures waiting for the converter: two keep both threads busy;
  /// more would only hold more of the decoder's buffers (for uncompressed
  /// films, the file's packets) without converting any sooner.
  static constexpr size_t kConvertQueue = 2;
  /// Converters of an intra-only (not uncompressed) film, each decoding the
  /// packets it takes: the pictures decode side by side on both cores.
  static constexpr int kIntraConverters = 2;
  /// Readers of an uncompressed film, each on its own thread with its own
  /// view of the file: reading the pictures is all the work, and two reads
  /// side by side take little longer than one.
  static constexpr int kUncompressedReaders = 2;
  /// How much lower the film's threads run than the thread that opened it.
  static constexpr int kThreadNiceness = 4;

  FilmSourceFfmpeg();
  ~FilmSourceFfmpeg() override;

  std::string open(const std::filesystem::path& file) override;
  void close() override;
  bool is_open() const override { return reader_ != nullptr; }
  int32_t frame_count() const override { return frame_count_; }
  int32_t width() const override { return width_; }
  int32_t height() const override { return height_; }
  FilmFrame frame(int32_t n, std::chrono::microseconds max_wait) override;
  void prefetch(int32_t n) override;

  /// Whether frame `n` is decoded and kept now (for tests and benchmarks).
  bool ready(int32_t n) const;

 private:
  class Sink;
  struct Job {
    int32_t target = -1;
    /// Frames on the way to the target that are kept besides the window.
    int32_t keep_low = 0;
    int32_t keep_high = -1;
    /// The display's move count when the job was chosen.
    uint64_t moves = 0;
  };

  struct Decoded {
    int32_t number;
    DecodedPicture picture;
    /// The display's move count when the picture was decoded.
    uint64_t moves;
  };

  /// A reader thread: decodes the jobs it takes with `reader`; with
  /// `converter`, keeps the pictures itself instead of queueing them.
  void run(FilmReaderFfmpeg& reader, std::unique_ptr<FramePictureConverter> converter);
  void convert_run(std::unique_ptr<FramePictureConverter> converter);
  /// Converts `picture` and keeps it as frame `number`; called with `lock`
  /// held, which is let go while converting.
  void convert_and_keep(std::unique_lock<std::mutex>& lock, FramePictureConverter& converter,
                        Decoded decoded);
  /// Whether a decoded frame is still worth converting.
  bool still_wanted(
      int32_t n) const;  /// The next frame to decode, nearest need first; target -1 when none.
  Job next_job() const;
  bool in_window(int32_t n) const;
  bool on_stride(int32_t n) const;
  bool wanted(int32_t n, const Job& job) const;
  /// Whether frame `n` is the target of a reader's running job.
  bool claimed(int32_t n) const;
  int32_t read_ahead() const { return read_ahead_; }

  std::unique_ptr<FilmReaderFfmpeg> reader_;
  /// Further readers of the same file (uncompressed films).
  std::vector<std::unique_ptr<FilmReaderFfmpeg>> more_readers_;
  int32_t frame_count_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable work_;        ///< the decoder thread waits here
  std::condition_variable ready_;       ///< the display waits here for a frame
  std::condition_variable to_convert_;  ///< the converter thread waits here
  std::condition_variable converted_;   ///< the decoder waits here for room
  FilmFrameCache cache_;
  std::unordered_set<int32_t> failed_;
  /// Decoded, waiting for the converter (at most kConvertQueue).
  std::deque<Decoded> queue_;
  /// Frames queued or being converted: neither missing nor wanted again.
  std::unordered_set<int32_t> converting_;
  /// The targets of the readers' running jobs.
  std::vector<int32_t> claimed_;
  /// The stretch the decoder's current job keeps besides the window.
  int32_t keep_low_ = 0;
  int32_t keep_high_ = -1;
  std::vector<int32_t> prefetch_;
  // Written under the lock; read without it where a stale value does no harm.
  std::atomic<int32_t> display_ = 0;
  std::atomic<int32_t> direction_ = 1;
  /// Frames the display moved in its last step of travel (4 at four times
  /// the filmed speed): an intra-only film decodes only the frames that far
  /// apart, the others are never shown.
  std::atomic<int32_t> stride_ = 1;
  std::atomic<bool> stop_ = false;
  int32_t read_ahead_ = 1;  ///< fixed while a film is open
  /// Counts the display's moves; a decoded target that could not be kept
  /// (no room) is not decoded again before the display moves.
  uint64_t moves_ = 0;
  uint64_t stalled_at_ = ~uint64_t{0};
  std::vector<std::thread> reader_threads_;
  std::vector<std::thread> converter_threads_;
  /// Pictures are kept as they were read when the film is uncompressed.
  bool share_pictures_ = false;
};

}  // namespace cabsim
