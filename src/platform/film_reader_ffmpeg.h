// Frame-exact reading of one film file with FFmpeg: the table of its frames,
// seeking to the key frame before a frame, and decoding forward while counting
// frames. Used by one thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace cabsim {

/// A picture as the decoder gave it, in the film's own pixel format; it
/// shares the decoder's buffers, which stay untouched while it lives.
class DecodedPicture {
 public:
  /// Takes over `frame` (freed with the picture).
  explicit DecodedPicture(AVFrame* frame) : frame_(frame) {}
  ~DecodedPicture();
  DecodedPicture(const DecodedPicture&) = delete;
  DecodedPicture& operator=(const DecodedPicture&) = delete;
  const AVFrame* frame() const { return frame_; }

 private:
  AVFrame* frame_;
};

/// Where decoded frames go. The reader asks before keeping a frame, so an
/// intra-only film does not even decode the frames nobody wants.
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  /// True when frame `number` should be kept and delivered.
  virtual bool wanted(int32_t number) = 0;
  virtual void deliver(int32_t number, std::shared_ptr<const DecodedPicture> picture) = 0;
  /// Polled between frames: true ends the decoding at once.
  virtual bool cancelled() = 0;
};

class FilmReaderFfmpeg {
 public:
  /// The largest picture accepted, in either direction.
  static constexpr int32_t kMaxPictureSide = 4096;
  /// The most frames a film may have (about 37 hours at 30 frames a second).
  static constexpr int32_t kMaxFrames = 4'000'000;

  enum class Result { kDone, kFailed, kCancelled };

  FilmReaderFfmpeg();
  ~FilmReaderFfmpeg();
  FilmReaderFfmpeg(const FilmReaderFfmpeg&) = delete;
  FilmReaderFfmpeg& operator=(const FilmReaderFfmpeg&) = delete;

  /// Opens `file` and builds its frame table. Empty text on success.
  std::string open(const std::filesystem::path& file);

  int32_t frame_count() const { return static_cast<int32_t>(frames_.size()); }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  /// Memory one decoded picture takes, about.
  size_t picture_bytes() const { return picture_bytes_; }
  /// True when every frame decodes on its own (MJPEG, uncompressed).
  bool intra_only() const { return intra_only_; }
  /// The key frame at or before frame `n` (0 when there is none).
  int32_t key_frame_before(int32_t n) const;
  /// The frame the decoder gives next without a seek; -1 when unknown.
  int32_t next_frame() const { return next_out_; }
  /// How many frames decoding forward from the current place costs before
  /// `target` is reached, counting a seek as kSeekCostFrames.
  int32_t cost_to_reach(int32_t target) const;

  static constexpr int32_t kSeekCostFrames = 8;
  /// Frame threads of a long-GOP decoder (one per core of a small machine).
  static constexpr int kLongGopDecodeThreads = 2;
  /// Decoding gives up on a stretch of damaged pictures this long.
  static constexpr int kMaxDecodeErrorsInARow = 16;

  /// Decodes until frame `target` has come out, handing every wanted frame on
  /// the way (target included, when wanted) to `sink`. kFailed when the target
  /// cannot be decoded (damaged or missing data); later calls still work.
  Result decode_to(int32_t target, FrameSink& sink);

 private:
  struct FrameEntry {
    int64_t pos;
    int64_t timestamp;
    bool key;
  };

  std::string read_frame_table(int64_t file_size);
  std::string scan_frame_table();
  void finish_frame_table();
  bool seek_to(int32_t frame);
  /// Reads the next packet of the film's video stream; false at the end.
  bool read_video_packet();
  /// The frame number of the packet just read, or -1.
  int32_t identify_packet() const;
  void reset_position();

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  int stream_ = -1;
  int32_t width_ = 0;
  int32_t height_ = 0;
  size_t picture_bytes_ = 0;
  bool intra_only_ = false;

  std::vector<FrameEntry> frames_;
  std::vector<int32_t> key_frames_;
  /// (file position, frame) and (timestamp, frame), sorted, to name packets.
  std::vector<std::pair<int64_t, int32_t>> by_pos_;
  std::vector<std::pair<int64_t, int32_t>> by_timestamp_;

  int32_t next_out_ = -1;     ///< frame number of the decoder's next picture
  int32_t last_packet_ = -1;  ///< frame number of the last packet read
  bool landing_ = false;      ///< a seek was made; the next packet fixes the place
  bool draining_ = false;     ///< the end of the file was reached and signalled
};

}  // namespace cabsim
