// Frame-exact film reading with libavformat, libavcodec and libswscale.
//
// Frames are numbered by their place in the film's index (in AVI the index
// holds one entry per frame). After a seek the first video packet is looked
// up in the frame table by its file position, which names the key frame the
// decoder starts from; from there decoded pictures are counted, since films
// with B-frames in AVI carry no presentation time stamps (their decode time
// stamps run two frames ahead of the shown order).
#include "platform/film_reader_ffmpeg.h"

#include <algorithm>
#include <system_error>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace cabsim {
namespace {

/// Containers a film may come in; others (playlists, image sequences, network
/// descriptions) are refused, as a film name comes from a stranger's file.
constexpr const char* kFilmContainers =
    "avi,mov,mp4,m4a,3gp,3g2,mj2,matroska,webm,mpeg,mpegts,asf,flv,nut";

std::string av_error_text(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

int32_t lookup(const std::vector<std::pair<int64_t, int32_t>>& table, int64_t key) {
  auto it = std::lower_bound(table.begin(), table.end(), std::pair<int64_t, int32_t>{key, -1});
  return it != table.end() && it->first == key ? it->second : -1;
}

}  // namespace

FilmReaderFfmpeg::FilmReaderFfmpeg() = default;

DecodedPicture DecodedPicture::take(AVFrame* frame) {
  DecodedPicture picture;
  picture.frame_ = av_frame_alloc();
  if (picture.frame_) av_frame_move_ref(picture.frame_, frame);
  return picture;
}

DecodedPicture DecodedPicture::take_packet(AVPacket* packet) {
  DecodedPicture picture;
  picture.packet_ = av_packet_alloc();
  if (picture.packet_) av_packet_move_ref(picture.packet_, packet);
  return picture;
}

std::shared_ptr<FrameBitmap> DecodedPicture::share_as_bgr24(int32_t width, int32_t height) {
  const AVFrame* f = frame_;
  if (!f || f->format != AV_PIX_FMT_BGR24 || f->width != width || f->height != height ||
      width <= 0 || height <= 0 || !f->data[0] || !f->buf[0] || f->buf[1])
    return nullptr;
  // Every row, the first and the last, must lie inside the buffer.
  const int64_t stride = f->linesize[0];
  const int64_t row_bytes = int64_t{width} * 3;
  if (stride > -row_bytes && stride < row_bytes) return nullptr;
  const auto* start = f->buf[0]->data;
  const auto size = static_cast<int64_t>(f->buf[0]->size);
  const int64_t first = f->data[0] - start;
  const int64_t last = first + (height - 1) * stride;
  if (std::min(first, last) < 0 || std::max(first, last) + row_bytes > size) return nullptr;
  std::shared_ptr<AVFrame> owner(frame_, [](AVFrame* held) { av_frame_free(&held); });
  frame_ = nullptr;
  return std::make_shared<FrameBitmap>(width, height, owner->data[0], owner->linesize[0],
                                       std::move(owner));
}

DecodedPicture::~DecodedPicture() {
  av_frame_free(&frame_);
  av_packet_free(&packet_);
}

DecodedPicture& DecodedPicture::operator=(DecodedPicture&& other) noexcept {
  if (this != &other) {
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    frame_ = other.frame_;
    packet_ = other.packet_;
    other.frame_ = nullptr;
    other.packet_ = nullptr;
  }
  return *this;
}

FramePictureConverter::~FramePictureConverter() {
  sws_freeContext(sws_);
  av_frame_free(&decoded_);
  avcodec_free_context(&decoder_);
}

bool FramePictureConverter::attach_decoder(const FilmReaderFfmpeg& reader) {
  avcodec_free_context(&decoder_);
  const AVCodecParameters* par = reader.codec_parameters();
  const AVCodec* codec = par ? avcodec_find_decoder(par->codec_id) : nullptr;
  if (!codec || !(decoder_ = avcodec_alloc_context3(codec))) return false;
  if (!decoded_ && !(decoded_ = av_frame_alloc())) return false;
  decoder_->thread_count = 1;  // the converters themselves run side by side
  if (avcodec_parameters_to_context(decoder_, par) < 0 ||
      avcodec_open2(decoder_, codec, nullptr) < 0) {
    avcodec_free_context(&decoder_);
    return false;
  }
  return true;
}

bool FramePictureConverter::convert(const DecodedPicture& picture, FrameBitmap& out) {
  if (picture.frame()) return convert_frame(picture.frame(), out);
  if (!picture.packet() || !decoder_) return false;
  // One packet gives one picture: the decoder has no frame threads.
  if (avcodec_send_packet(decoder_, picture.packet()) < 0) {
    avcodec_flush_buffers(decoder_);
    return false;
  }
  const int rc = avcodec_receive_frame(decoder_, decoded_);
  if (rc < 0) {
    avcodec_flush_buffers(decoder_);
    return false;
  }
  const bool converted = convert_frame(decoded_, out);
  av_frame_unref(decoded_);
  return converted;
}

bool FramePictureConverter::convert_frame(const AVFrame* frame, FrameBitmap& out) {
  if (!frame || frame->width <= 0 || frame->height <= 0 || out.width() <= 0 || out.height() <= 0)
    return false;
  // Same-size conversions of the usual formats (yuv420p, yuvj420p, yuvj422p,
  // packed RGB) take swscale's unscaled routines, vectorised where FFmpeg has
  // them; the scaler flags matter only for a picture of another size.
  sws_ = sws_getCachedContext(sws_, frame->width, frame->height,
                              static_cast<AVPixelFormat>(frame->format), out.width(), out.height(),
                              AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!sws_) return false;
  uint8_t* planes[4] = {out.data(), nullptr, nullptr, nullptr};
  int strides[4] = {out.stride(), 0, 0, 0};
  return sws_scale(sws_, frame->data, frame->linesize, 0, frame->height, planes, strides) ==
         out.height();
}

FilmReaderFfmpeg::~FilmReaderFfmpeg() {
  av_packet_free(&packet_);
  av_frame_free(&frame_);
  avcodec_free_context(&codec_);
  avformat_close_input(&format_);
}

std::string FilmReaderFfmpeg::open(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return "the file does not exist";
  const int64_t file_size = static_cast<int64_t>(std::filesystem::file_size(file, ec));
  if (ec) return ec.message();
  if (av_log_get_level() > AV_LOG_FATAL) av_log_set_level(AV_LOG_FATAL);

  format_ = avformat_alloc_context();
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (!format_ || !frame_ || !packet_) return "out of memory";
  format_->format_whitelist = av_strdup(kFilmContainers);
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  const std::string url = "file:" + file.string();
  int rc = avformat_open_input(&format_, url.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (rc < 0) return "not a film file (" + av_error_text(rc) + ")";
  if ((rc = avformat_find_stream_info(format_, nullptr)) < 0)
    return "the film's streams cannot be read (" + av_error_text(rc) + ")";

  const AVCodec* decoder = nullptr;
  stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (stream_ < 0 || !decoder) return "the file has no video stream that can be decoded";
  for (unsigned i = 0; i < format_->nb_streams; ++i)
    if (static_cast<int>(i) != stream_) format_->streams[i]->discard = AVDISCARD_ALL;
  const AVCodecParameters* par = format_->streams[stream_]->codecpar;
  if (par->width <= 0 || par->height <= 0 || par->width > kMaxPictureSide ||
      par->height > kMaxPictureSide)
    return "the picture size " + std::to_string(par->width) + "x" + std::to_string(par->height) +
           " is not supported";
  width_ = par->width;
  height_ = par->height;
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(par->codec_id);
  intra_only_ = descriptor && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY);
  pictures_are_packets_ = par->codec_id == AV_CODEC_ID_RAWVIDEO;

  codec_ = avcodec_alloc_context3(decoder);
  if (!codec_ || avcodec_parameters_to_context(codec_, par) < 0) return "out of memory";
  // Intra-only pictures come out one per packet only without frame threads;
  // long-GOP films decode on two frame threads while this thread converts.
  codec_->thread_count = intra_only_ ? 1 : kLongGopDecodeThreads;
  codec_->thread_type = intra_only_ ? FF_THREAD_SLICE : FF_THREAD_FRAME;
  if ((rc = avcodec_open2(codec_, decoder, nullptr)) < 0)
    return "the video codec cannot be opened (" + av_error_text(rc) + ")";

  if (std::string failure = read_frame_table(file_size); !failure.empty()) return failure;
  return {};
}

std::string FilmReaderFfmpeg::read_frame_table(int64_t file_size) {
  AVStream* st = format_->streams[stream_];
  const int entries = avformat_index_get_entries_count(st);
  bool cut = false;
  for (int i = 0; i < entries && static_cast<int32_t>(frames_.size()) < kMaxFrames; ++i) {
    const AVIndexEntry* e = avformat_index_get_entry(st, i);
    if (!e || e->pos < 0) continue;
    // A truncated file keeps index entries for frames it no longer holds.
    if (e->pos + e->size > file_size) {
      cut = true;
      break;
    }
    frames_.push_back({e->pos, e->timestamp, (e->flags & AVINDEX_KEYFRAME) != 0});
  }
  // An index that does not cover the frames the header declares is a film
  // cut short or damaged (the index of a film cut before its end is lost, and
  // the demuxer keeps only the few packets it looked at): its frames are
  // counted by reading the file, so it plays every frame it still holds.
  const bool short_index = st->nb_frames > 0 && frames_.size() < static_cast<size_t>(st->nb_frames);
  if (frames_.empty() || cut || short_index) {
    // Read from the first frame, wherever looking at the index left the file.
    if (!frames_.empty() &&
        av_seek_frame(format_, stream_, frames_.front().timestamp, AVSEEK_FLAG_BACKWARD) < 0)
      return "the film cannot be read from its start";
    frames_.clear();
    if (std::string failure = scan_frame_table(file_size); !failure.empty()) return failure;
  }
  if (frames_.empty()) return "the film holds no frames";
  finish_frame_table();
  if (key_frames_.empty() || key_frames_.front() != 0)
    return "the film does not start with a key frame";
  return {};
}

/// For files without a whole index: reads every packet once, without
/// decoding. A packet the file's end cuts short is not a frame.
std::string FilmReaderFfmpeg::scan_frame_table(int64_t file_size) {
  while (static_cast<int32_t>(frames_.size()) < kMaxFrames) {
    int rc = av_read_frame(format_, packet_);
    if (rc < 0) break;
    if (packet_->stream_index == stream_ && packet_->pos >= 0 &&
        packet_->pos + packet_->size <= file_size && !(packet_->flags & AV_PKT_FLAG_CORRUPT))
      frames_.push_back({packet_->pos, packet_->dts, (packet_->flags & AV_PKT_FLAG_KEY) != 0});
    av_packet_unref(packet_);
  }
  AVStream* st = format_->streams[stream_];
  if (av_seek_frame(format_, stream_, st->start_time == AV_NOPTS_VALUE ? 0 : st->start_time,
                    AVSEEK_FLAG_BACKWARD) < 0 &&
      av_seek_frame(format_, stream_, frames_.empty() ? 0 : frames_.front().pos, AVSEEK_FLAG_BYTE) <
          0)
    return "the film cannot be read from its start again";
  reset_position();
  return {};
}

void FilmReaderFfmpeg::finish_frame_table() {
  for (int32_t i = 0; i < frame_count(); ++i) {
    if (frames_[i].key || intra_only_) key_frames_.push_back(i);
    by_pos_.push_back({frames_[i].pos, i});
    by_timestamp_.push_back({frames_[i].timestamp, i});
  }
  std::sort(by_pos_.begin(), by_pos_.end());
  std::sort(by_timestamp_.begin(), by_timestamp_.end());
  // Pictures are counted from the start of the file for the first request.
  next_out_ = 0;
  landing_ = true;
}

const AVCodecParameters* FilmReaderFfmpeg::codec_parameters() const {
  return format_ && stream_ >= 0 ? format_->streams[stream_]->codecpar : nullptr;
}

int32_t FilmReaderFfmpeg::key_frame_before(int32_t n) const {
  auto it = std::upper_bound(key_frames_.begin(), key_frames_.end(), n);
  return it == key_frames_.begin() ? 0 : *(it - 1);
}

int32_t FilmReaderFfmpeg::onward_cost(int32_t target) const {
  if (next_out_ < 0 || next_out_ > target) return -1;
  const int32_t gap = target - next_out_;
  // An uncompressed film's packet is read whole even when skipped; another
  // intra-only film skips packets without decoding them: cheap, not free.
  if (pictures_are_packets_) return gap;
  return intra_only_ ? gap / 4 : gap;
}

int32_t FilmReaderFfmpeg::cost_to_reach(int32_t target) const {
  // Seeking in an uncompressed film costs less than reading one picture.
  const int32_t by_seek =
      pictures_are_packets_
          ? 0
          : (intra_only_ ? 0 : target - key_frame_before(target)) + kSeekCostFrames;
  const int32_t onward = onward_cost(target);
  return onward < 0 ? by_seek : std::min(onward, by_seek);
}

void FilmReaderFfmpeg::reset_position() {
  avcodec_flush_buffers(codec_);
  next_out_ = -1;
  last_packet_ = -1;
  landing_ = true;
  draining_ = false;
}

bool FilmReaderFfmpeg::seek_to(int32_t frame) {
  const FrameEntry& e = frames_[frame];
  int rc = av_seek_frame(format_, stream_, e.timestamp, AVSEEK_FLAG_BACKWARD);
  if (rc < 0) rc = av_seek_frame(format_, stream_, e.pos, AVSEEK_FLAG_BYTE);
  reset_position();
  return rc >= 0;
}

bool FilmReaderFfmpeg::read_video_packet() {
  for (;;) {
    av_packet_unref(packet_);
    if (av_read_frame(format_, packet_) < 0) return false;
    if (packet_->stream_index == stream_) return true;
  }
}

int32_t FilmReaderFfmpeg::identify_packet() const {
  int32_t n = packet_->pos >= 0 ? lookup(by_pos_, packet_->pos) : -1;
  if (n < 0 && packet_->dts != AV_NOPTS_VALUE) n = lookup(by_timestamp_, packet_->dts);
  return n;
}

FilmReaderFfmpeg::Result FilmReaderFfmpeg::decode_to(int32_t target, FrameSink& sink) {
  if (target < 0 || target >= frame_count()) return Result::kFailed;
  const int32_t onward = onward_cost(target);
  if (onward < 0 || onward > cost_to_reach(target) || (landing_ && next_out_ != 0)) {
    if (!seek_to(key_frame_before(target))) return Result::kFailed;
  }
  int errors_in_a_row = 0;
  for (;;) {
    if (sink.cancelled()) return Result::kCancelled;
    int rc = avcodec_receive_frame(codec_, frame_);
    if (rc == 0) {
      errors_in_a_row = 0;
      const int32_t number = next_out_ < 0 ? -1 : next_out_++;
      if (number >= 0 && number < frame_count() && frame_->width > 0 && frame_->height > 0 &&
          sink.wanted(number)) {
        if (DecodedPicture picture = DecodedPicture::take(frame_))
          sink.deliver(number, std::move(picture));
      }
      av_frame_unref(frame_);
      if (number == target) return Result::kDone;
      if (number > target) return Result::kFailed;
      continue;
    }
    if (rc == AVERROR_EOF) {
      reset_position();
      return Result::kFailed;
    }
    if (rc != AVERROR(EAGAIN)) {
      // A damaged picture: its place is counted so the frames after it keep
      // their numbers.
      const int32_t lost = next_out_ < 0 ? -1 : next_out_++;
      if (lost >= target || ++errors_in_a_row > kMaxDecodeErrorsInARow)
        return reset_position(), Result::kFailed;
      continue;
    }
    if (!read_video_packet()) {
      draining_ = true;
      if (avcodec_send_packet(codec_, nullptr) < 0) {
        reset_position();
        return Result::kFailed;
      }
      continue;
    }
    const int32_t packet_frame = identify_packet();
    if (landing_) {
      // The first packet after a seek names the place; a long-GOP film must
      // start decoding at a key frame.
      if (packet_frame < 0 || packet_frame > target) return reset_position(), Result::kFailed;
      if (!intra_only_ && !frames_[packet_frame].key) continue;
      landing_ = false;
      next_out_ = packet_frame;
    }
    if (intra_only_) {
      last_packet_ = packet_frame >= 0 ? packet_frame : last_packet_ + 1;
      if (last_packet_ > target) return Result::kFailed;
      if (last_packet_ != target && !sink.wanted(last_packet_)) continue;
      next_out_ = last_packet_;
      if (deliver_packets_) {
        // Decoded by the converter that takes it; a packet that does not
        // decode fails there.
        next_out_ = last_packet_ + 1;
        if (last_packet_ != target || sink.wanted(target))
          sink.deliver(last_packet_, DecodedPicture::take_packet(packet_));
        if (last_packet_ == target) return Result::kDone;
        continue;
      }
    }
    rc = avcodec_send_packet(codec_, packet_);
    if (rc < 0 && intra_only_ && last_packet_ == target) return Result::kFailed;
  }
}

}  // namespace cabsim
