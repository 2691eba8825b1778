// FFmpeg demuxing and decoding for the media player.
#include "platform/media_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>

#include "data/regular_file.h"

namespace cabsim {
namespace {

/// Larger pictures are refused: no title film comes near it, and a damaged
/// header must not make us allocate gigabytes.
constexpr int kMaxVideoSide = 8192;
/// A sample rate outside this range is treated as a damaged stream.
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;

struct FormatCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecCloser {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleFree {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

std::string error_text(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

/// Opens a decoder for stream `index`, or nothing when it has none.
std::unique_ptr<AVCodecContext, CodecCloser> open_decoder(AVFormatContext* format, int index) {
  if (index < 0) return nullptr;
  const AVCodecParameters* params = format->streams[index]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(params->codec_id);
  if (!codec) return nullptr;
  std::unique_ptr<AVCodecContext, CodecCloser> context(avcodec_alloc_context3(codec));
  if (!context || avcodec_parameters_to_context(context.get(), params) < 0) return nullptr;
  context->thread_count = 1;
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
  return context;
}

/// Sample `i` of channel `ch` of an audio frame as a 16-bit value.
int16_t sample_at(const AVFrame* f, int ch, int i, int channels) {
  auto fmt = static_cast<AVSampleFormat>(f->format);
  bool planar = av_sample_fmt_is_planar(fmt);
  int plane = planar ? ch : 0;
  int at = planar ? i : i * channels + ch;
  const uint8_t* data = f->extended_data[plane];
  switch (av_get_packed_sample_fmt(fmt)) {
    case AV_SAMPLE_FMT_U8:
      return static_cast<int16_t>((data[at] - 128) << 8);
    case AV_SAMPLE_FMT_S16:
      return reinterpret_cast<const int16_t*>(data)[at];
    case AV_SAMPLE_FMT_S32:
      return static_cast<int16_t>(reinterpret_cast<const int32_t*>(data)[at] >> 16);
    case AV_SAMPLE_FMT_FLT: {
      float v = reinterpret_cast<const float*>(data)[at];
      return static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    }
    case AV_SAMPLE_FMT_DBL: {
      double v = reinterpret_cast<const double*>(data)[at];
      return static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    }
    default:
      return 0;
  }
}

void release_picture(void* buffer) {
  av_free(buffer);
}

}  // namespace

struct MediaDecoder::State {
  std::unique_ptr<AVFormatContext, FormatCloser> format;
  std::unique_ptr<AVCodecContext, CodecCloser> video;
  std::unique_ptr<AVCodecContext, CodecCloser> audio;
  std::unique_ptr<AVFrame, FrameFree> frame{av_frame_alloc()};
  std::unique_ptr<AVPacket, PacketFree> packet{av_packet_alloc()};
  std::unique_ptr<SwsContext, ScaleFree> scaler;
  int video_index = -1;
  int audio_index = -1;
  int audio_channels = 0;
  int64_t video_frames_seen = 0;
  bool at_end = false;

  void take_video(std::vector<MediaFrame>& out);
  void take_audio(std::vector<int16_t>& out);
  void drain(AVCodecContext* c, std::vector<MediaFrame>& frames, std::vector<int16_t>& samples);
};

MediaDecoder::MediaDecoder() : state_(std::make_unique<State>()) {}
MediaDecoder::~MediaDecoder() = default;

std::string MediaDecoder::open(const std::filesystem::path& file) {
  state_ = std::make_unique<State>();
  // A named pipe or a device in the film's place would block the title
  // screen in open() for ever.
  if (!is_regular_file_path(file)) return "not a regular file";
  AVFormatContext* raw = nullptr;
  // Only local files: a file that is really a playlist must not reach out to
  // the network, and a name must never be taken for a protocol.
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  std::string url = "file:" + file.string();
  int rc = avformat_open_input(&raw, url.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (rc < 0) return error_text(rc);
  state_->format.reset(raw);
  rc = avformat_find_stream_info(raw, nullptr);
  if (rc < 0) return error_text(rc);

  int v = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const AVCodecParameters* vp = v >= 0 ? raw->streams[v]->codecpar : nullptr;
  if (vp && vp->width > 0 && vp->height > 0 && vp->width <= kMaxVideoSide &&
      vp->height <= kMaxVideoSide) {
    state_->video = open_decoder(raw, v);
    if (state_->video) state_->video_index = v;
  }
  int a = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  const AVCodecParameters* ap = a >= 0 ? raw->streams[a]->codecpar : nullptr;
  if (ap && ap->sample_rate >= kMinRate && ap->sample_rate <= kMaxRate &&
      ap->ch_layout.nb_channels > 0) {
    state_->audio = open_decoder(raw, a);
    if (state_->audio) {
      state_->audio_index = a;
      state_->audio_channels = std::min(2, ap->ch_layout.nb_channels);
    }
  }
  if (!state_->video && !state_->audio) return "no picture or sound that can be decoded";
  if (!state_->frame || !state_->packet) return "out of memory";
  return {};
}

bool MediaDecoder::has_video() const {
  return state_->video != nullptr;
}
bool MediaDecoder::has_audio() const {
  return state_->audio != nullptr;
}
int MediaDecoder::video_width() const {
  return state_->video ? state_->video->width : 0;
}
int MediaDecoder::video_height() const {
  return state_->video ? state_->video->height : 0;
}
int MediaDecoder::audio_channels() const {
  return state_->audio_channels;
}
int MediaDecoder::audio_rate() const {
  return state_->audio ? state_->audio->sample_rate : 0;
}

void MediaDecoder::State::take_video(std::vector<MediaFrame>& out) {
  const AVFrame* f = frame.get();
  if (f->width <= 0 || f->height <= 0 || f->width > kMaxVideoSide || f->height > kMaxVideoSide)
    return;
  scaler.reset(sws_getCachedContext(scaler.release(), f->width, f->height,
                                    static_cast<AVPixelFormat>(f->format), f->width, f->height,
                                    AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!scaler) return;
  // swscale writes past a tight row at some widths: aligned rows plus slack.
  int stride = (f->width * 4 + 63) / 64 * 64;
  auto* buffer = static_cast<uint8_t*>(av_malloc(static_cast<size_t>(stride) * f->height + 64));
  if (!buffer) return;
  uint8_t* planes[4] = {buffer, nullptr, nullptr, nullptr};
  int strides[4] = {stride, 0, 0, 0};
  if (sws_scale(scaler.get(), f->data, f->linesize, 0, f->height, planes, strides) <= 0) {
    av_free(buffer);
    return;
  }
  MediaFrame picture;
  picture.image =
      QImage(buffer, f->width, f->height, stride, QImage::Format_RGB32, release_picture, buffer);
  const AVStream* stream = format->streams[video_index];
  int64_t ts = f->best_effort_timestamp;
  double rate = av_q2d(stream->avg_frame_rate);
  if (ts != AV_NOPTS_VALUE && stream->time_base.den > 0) {
    int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    picture.seconds = static_cast<double>(ts - start) * av_q2d(stream->time_base);
  } else {
    picture.seconds = rate > 0 ? static_cast<double>(video_frames_seen) / rate : 0;
  }
  picture.seconds = std::max(0.0, picture.seconds);
  ++video_frames_seen;
  out.push_back(std::move(picture));
}

void MediaDecoder::State::take_audio(std::vector<int16_t>& out) {
  const AVFrame* f = frame.get();
  int channels = f->ch_layout.nb_channels;
  if (channels <= 0 || f->nb_samples <= 0 || !f->extended_data) return;
  if (av_sample_fmt_is_planar(static_cast<AVSampleFormat>(f->format)) && channels > 8) return;
  for (int i = 0; i < f->nb_samples; ++i) {
    if (audio_channels == 1) {
      out.push_back(sample_at(f, 0, i, channels));
    } else {
      out.push_back(sample_at(f, 0, i, channels));
      out.push_back(sample_at(f, channels > 1 ? 1 : 0, i, channels));
    }
  }
}

void MediaDecoder::State::drain(AVCodecContext* c, std::vector<MediaFrame>& frames,
                                std::vector<int16_t>& samples) {
  while (avcodec_receive_frame(c, frame.get()) == 0) {
    if (c == video.get())
      take_video(frames);
    else
      take_audio(samples);
    av_frame_unref(frame.get());
  }
}

bool MediaDecoder::decode_some(std::vector<MediaFrame>& frames, std::vector<int16_t>& samples) {
  State& s = *state_;
  if (s.at_end || !s.format) return false;
  int rc = av_read_frame(s.format.get(), s.packet.get());
  if (rc < 0) {  // the end, or a file cut short: flush what the decoders hold
    for (AVCodecContext* c : {s.video.get(), s.audio.get()}) {
      if (!c) continue;
      avcodec_send_packet(c, nullptr);
      s.drain(c, frames, samples);
    }
    s.at_end = true;
    return false;
  }
  AVCodecContext* c = s.packet->stream_index == s.video_index   ? s.video.get()
                      : s.packet->stream_index == s.audio_index ? s.audio.get()
                                                                : nullptr;
  if (c && avcodec_send_packet(c, s.packet.get()) >= 0) s.drain(c, frames, samples);
  av_packet_unref(s.packet.get());
  return true;
}

}  // namespace cabsim
