// Frame-exact reading of one film file with FFmpeg: the table of its frames,
// seeking to the key frame before a frame, and decoding forward while counting
// frames. Decoded pictures are handed on as they are; a FramePictureConverter
// turns them into 32-bit bitmaps, on whichever thread owns it, except the
// 24-bit pictures of an uncompressed film, which are shown as they were read. An intra-only
// film may hand on its packets undecoded instead, so that several converters
// decode and convert them side by side. A reader is used by one thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "state/frame_bitmap.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVCodecParameters;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace cabsim {

/// A picture in the decoder's own format, not converted yet: a decoded
/// frame, or the packet of an intra-only film's frame, still to be decoded.
/// It holds a reference to its buffer, which stays valid whatever the reader
/// does next, so it may be converted on another thread.
class DecodedPicture {
 public:
  DecodedPicture() = default;
  /// Takes the picture out of `frame` (which is left empty).
  static DecodedPicture take(AVFrame* frame);
  /// Takes an undecoded intra-only picture out of `packet` (left empty).
  static DecodedPicture take_packet(AVPacket* packet);
  ~DecodedPicture();
  DecodedPicture(DecodedPicture&& other) noexcept : frame_(other.frame_), packet_(other.packet_) {
    other.frame_ = nullptr;
    other.packet_ = nullptr;
  }
  DecodedPicture& operator=(DecodedPicture&& other) noexcept;
  DecodedPicture(const DecodedPicture&) = delete;
  DecodedPicture& operator=(const DecodedPicture&) = delete;

  explicit operator bool() const { return frame_ != nullptr || packet_ != nullptr; }
  const AVFrame* frame() const { return frame_; }
  const AVPacket* packet() const { return packet_; }

  /// The picture as a BGR24 bitmap of `width` × `height` that shares the
  /// decoded buffer (for an uncompressed film, the packet read from the
  /// file), so nothing is converted or copied; this picture is left empty.
  /// Null, and the picture kept, when it is not a decoded BGR24 picture of
  /// that size lying wholly inside its buffer.
  std::shared_ptr<FrameBitmap> share_as_bgr24(int32_t width, int32_t height);

 private:
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
};

class FilmReaderFfmpeg;

/// Turns decoded pictures into RGB32 bitmaps. Used by one thread at a time.
class FramePictureConverter {
 public:
  FramePictureConverter() = default;
  ~FramePictureConverter();
  FramePictureConverter(const FramePictureConverter&) = delete;
  FramePictureConverter& operator=(const FramePictureConverter&) = delete;

  /// Gives the converter its own decoder for `reader`'s pictures, so that it
  /// can take undecoded packets. False when the decoder cannot be opened.
  bool attach_decoder(const FilmReaderFfmpeg& reader);

  /// Converts `picture` into `out`, scaled to out's size when its own size
  /// differs, decoding it first when it is a packet. False when the picture
  /// cannot be decoded or converted.
  bool convert(const DecodedPicture& picture, FrameBitmap& out);

 private:
  bool convert_frame(const AVFrame* frame, FrameBitmap& out);

  SwsContext* sws_ = nullptr;
  AVCodecContext* decoder_ = nullptr;
  AVFrame* decoded_ = nullptr;
};

/// Where decoded frames go. The reader asks before handing a frame on, so
/// frames nobody wants cost no conversion (and, for intra-only films, no
/// decoding either).
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  /// True when frame `number` should be delivered.
  virtual bool wanted(int32_t number) = 0;
  /// Frame `number`, decoded. The sink may keep it and convert it later.
  virtual void deliver(int32_t number, DecodedPicture picture) = 0;
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
  /// True when every frame decodes on its own (MJPEG, uncompressed).
  bool intra_only() const { return intra_only_; }
  /// True when decoded pictures are the file's packets themselves
  /// (uncompressed films): such a picture is best converted at once, while
  /// its packet is fresh in the cache and before the next one is read.
  bool pictures_are_packets() const { return pictures_are_packets_; }
  /// The key frame at or before frame `n` (0 when there is none).
  int32_t key_frame_before(int32_t n) const;
  /// An intra-only film that is not uncompressed hands its wanted pictures on
  /// as packets from now on, for converters with their own decoders.
  void deliver_packets(bool on) { deliver_packets_ = on && intra_only_ && !pictures_are_packets_; }
  bool delivers_packets() const { return deliver_packets_; }
  /// The video stream's codec parameters (valid while the reader is open).
  const AVCodecParameters* codec_parameters() const;
  /// The frame the decoder gives next without a seek; -1 when unknown.
  int32_t next_frame() const { return next_out_; }
  /// What reaching `target` costs, in frames decoded: the cheaper of going
  /// on from the current place and a seek (kSeekCostFrames and the frames
  /// from the key frame; nothing in an uncompressed film).
  int32_t cost_to_reach(int32_t target) const;
  /// What going on from the current place to `target` costs; -1 when the
  /// target is behind it or the place is unknown.
  int32_t onward_cost(int32_t target) const;

  static constexpr int32_t kSeekCostFrames = 8;
  /// Frame threads of a long-GOP decoder (the machine has two cores; the
  /// pictures are converted on another thread beside them).
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
  std::string scan_frame_table(int64_t file_size);
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
  bool intra_only_ = false;
  bool pictures_are_packets_ = false;
  bool deliver_packets_ = false;

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
