// H.264 in AVI through libavformat and libavcodec.
#include "film_writer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

namespace demo {

struct FilmWriter::Impl {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  bool open = false;
  bool header_written = false;
  // The sound track: its stream, its samples and how many are written.
  AVStream* sound = nullptr;
  std::vector<int16_t> samples;
  int rate = 0;
  int fps = 0;
  size_t samples_written = 0;

  /// Writes the sound up to sample `end` as one PCM packet.
  void write_sound(size_t end) {
    end = std::min(end, samples.size());
    if (!sound || end <= samples_written) return;
    const size_t n = end - samples_written;
    AVPacket* chunk = av_packet_alloc();
    if (!chunk || av_new_packet(chunk, int(n * sizeof(int16_t))) < 0) {
      av_packet_free(&chunk);
      throw std::runtime_error("out of memory");
    }
    std::memcpy(chunk->data, samples.data() + samples_written, n * sizeof(int16_t));
    chunk->pts = chunk->dts = int64_t(samples_written);
    chunk->duration = int64_t(n);
    chunk->stream_index = sound->index;
    chunk->flags |= AV_PKT_FLAG_KEY;
    samples_written = end;
    const int rc = av_interleaved_write_frame(format, chunk);
    av_packet_free(&chunk);
    if (rc < 0) throw std::runtime_error("film writing failed");
  }

  void write_header() {
    if (header_written) return;
    header_written = true;
    if (avformat_write_header(format, nullptr) < 0) throw std::runtime_error("cannot write film");
  }

  void drain(bool flush) {
    if (avcodec_send_frame(codec, flush ? nullptr : frame) < 0)
      throw std::runtime_error("film encoding failed");
    for (;;) {
      int rc = avcodec_receive_packet(codec, packet);
      if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return;
      if (rc < 0) throw std::runtime_error("film encoding failed");
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      if (av_interleaved_write_frame(format, packet) < 0)
        throw std::runtime_error("film writing failed");
    }
  }

  ~Impl() {
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
};

namespace {

/// BT.601 limited-range YUV 4:2:0 from 32-bit BGRA, chroma averaged over 2 x 2.
void to_yuv420(const QImage& rgb, AVFrame* frame) {
  int w = rgb.width(), h = rgb.height();
  for (int y = 0; y < h; y += 2) {
    const uint8_t* row[2] = {rgb.constScanLine(y), rgb.constScanLine(std::min(y + 1, h - 1))};
    uint8_t* luma[2] = {frame->data[0] + y * frame->linesize[0],
                        frame->data[0] + std::min(y + 1, h - 1) * frame->linesize[0]};
    uint8_t* cb = frame->data[1] + (y / 2) * frame->linesize[1];
    uint8_t* cr = frame->data[2] + (y / 2) * frame->linesize[2];
    for (int x = 0; x < w; x += 2) {
      int sr = 0, sg = 0, sb = 0;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
          const uint8_t* px = row[dy] + 4 * std::min(x + dx, w - 1);
          int b = px[0], g = px[1], r = px[2];
          luma[dy][std::min(x + dx, w - 1)] = uint8_t((66 * r + 129 * g + 25 * b + 128) / 256 + 16);
          sr += r, sg += g, sb += b;
        }
      cb[x / 2] = uint8_t((-38 * sr - 74 * sg + 112 * sb + 512) / 1024 + 128);
      cr[x / 2] = uint8_t((112 * sr - 94 * sg - 18 * sb + 512) / 1024 + 128);
    }
  }
}

}  // namespace

FilmWriter::FilmWriter(const std::string& path, int width, int height, int fps, bool fastest)
    : impl_(std::make_unique<Impl>()) {
  Impl& m = *impl_;
  av_log_set_level(AV_LOG_ERROR);  // no encoder statistics on the console
  if (avformat_alloc_output_context2(&m.format, nullptr, "avi", path.c_str()) < 0)
    throw std::runtime_error("cannot create " + path);
  m.format->flags |= AVFMT_FLAG_BITEXACT;  // no version strings that change between builds
  const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
  if (!h264) throw std::runtime_error("the H.264 encoder libx264 is not available");
  m.stream = avformat_new_stream(m.format, nullptr);
  m.codec = avcodec_alloc_context3(h264);
  m.codec->width = width;
  m.codec->height = height;
  m.codec->pix_fmt = AV_PIX_FMT_YUV420P;
  m.codec->time_base = AVRational{1, fps};
  m.codec->framerate = AVRational{fps, 1};
  m.codec->gop_size = fps;  // a key frame every second
  m.codec->max_b_frames = 0;
  m.codec->thread_count = 1;  // the films are encoded side by side, one thread each
  m.codec->flags |= AV_CODEC_FLAG_BITEXACT;
  av_opt_set(m.codec->priv_data, "preset", fastest ? "ultrafast" : "superfast", 0);
  av_opt_set(m.codec->priv_data, "crf", "27", 0);
  av_opt_set(m.codec->priv_data, "x264-params", "keyint_min=30:scenecut=0:trellis=0", 0);
  if (avcodec_open2(m.codec, h264, nullptr) < 0)
    throw std::runtime_error("cannot open the H.264 encoder");
  avcodec_parameters_from_context(m.stream->codecpar, m.codec);
  m.stream->time_base = m.codec->time_base;
  if (avio_open(&m.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
    throw std::runtime_error("cannot write " + path);
  m.fps = fps;
  m.open = true;
  m.frame = av_frame_alloc();
  m.frame->format = AV_PIX_FMT_YUV420P;
  m.frame->width = width;
  m.frame->height = height;
  if (av_frame_get_buffer(m.frame, 64) < 0) throw std::runtime_error("out of memory");
  m.packet = av_packet_alloc();
}

FilmWriter::~FilmWriter() {
  try {
    close();
  } catch (...) {
  }
}

void FilmWriter::set_sound(std::vector<int16_t> samples, int rate) {
  Impl& m = *impl_;
  if (m.header_written || m.sound) throw std::runtime_error("the sound track comes first");
  m.sound = avformat_new_stream(m.format, nullptr);
  if (!m.sound) throw std::runtime_error("out of memory");
  AVCodecParameters* par = m.sound->codecpar;
  par->codec_type = AVMEDIA_TYPE_AUDIO;
  par->codec_id = AV_CODEC_ID_PCM_S16LE;
  par->sample_rate = rate;
  av_channel_layout_default(&par->ch_layout, 1);
  par->bits_per_coded_sample = 16;
  par->block_align = 2;
  par->bit_rate = int64_t(rate) * 16;
  m.sound->time_base = AVRational{1, rate};
  m.samples = std::move(samples);
  m.rate = rate;
}

void FilmWriter::add(const QImage& image) {
  Impl& m = *impl_;
  m.write_header();
  m.write_sound(size_t(int64_t(frames_ + 1) * m.rate / std::max(1, m.fps)));
  // RGB32 and ARGB32 are BGRA in memory on little-endian machines.
  bool bgra = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
  const QImage rgb = bgra ? image : image.convertToFormat(QImage::Format_ARGB32);
  if (av_frame_make_writable(m.frame) < 0) throw std::runtime_error("out of memory");
  to_yuv420(rgb, m.frame);
  m.frame->pts = frames_++;
  m.drain(false);
}

void FilmWriter::add_plain(uint8_t shade) {
  Impl& m = *impl_;
  m.write_header();
  if (av_frame_make_writable(m.frame) < 0) throw std::runtime_error("out of memory");
  for (int plane = 0; plane < 3; ++plane) {
    int rows = plane == 0 ? m.codec->height : (m.codec->height + 1) / 2;
    std::fill_n(m.frame->data[plane], size_t(m.frame->linesize[plane]) * rows,
                plane == 0 ? shade : uint8_t(128));
  }
  m.frame->pts = frames_++;
  m.drain(false);
}

void FilmWriter::close() {
  Impl& m = *impl_;
  if (!m.open) return;
  m.open = false;
  m.write_header();
  m.drain(true);
  m.write_sound(m.samples.size());
  av_write_trailer(m.format);
}

}  // namespace demo
