// The FFmpeg film source: frame-exact pictures in every order the display
// asks for them, on intra-only and long-GOP films, and clean failures on
// missing, truncated and damaged files.
#include "platform/film_index_ffmpeg.h"
#include "platform/film_source_ffmpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <thread>

#include <unistd.h>

#include "support/test_files.h"
#include "support/test_films.h"

extern "C" {
#include <libavcodec/packet.h>
#include <libavutil/frame.h>
}

namespace cabsim {
namespace {

namespace fs = std::filesystem;
using std::chrono::microseconds;
using std::chrono::milliseconds;

/// Long enough for any single frame of a test film, even under sanitizers.
constexpr auto kPatience = std::chrono::seconds(5);

struct FilmKind {
  const char* name;
  int width;
  int height;
  int frames;
  const char* options;
};

const FilmKind kKinds[] = {
    {"mjpeg", 684, 384, 120, "-c:v mjpeg -q:v 3 -pix_fmt yuvj420p"},
    {"h264_gop250_bframes", 684, 384, 300,
     "-c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -bf 3 "
     "-pix_fmt yuv420p"},
    {"h264_no_bframes", 320, 240, 300,
     "-c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -bf 0 "
     "-pix_fmt yuv420p"},
    {"uncompressed", 160, 120, 60, "-c:v rawvideo -pix_fmt bgr24"},
};

/// The test films, made once and kept beside the other test folders, so the
/// many test processes of one run share them. A film is made under a
/// temporary name and renamed, so processes running at once never see half a
/// film. The name carries the film's whole recipe.
class FilmFiles {
 public:
  static fs::path path(const FilmKind& kind) {
    const char* root = std::getenv("CABSIM_TEST_TMP");
    const fs::path dir =
        (root && *root ? fs::path(root) : fs::temp_directory_path() / "cabsim-tests") / "films";
    const std::string recipe = std::string(kind.name) + "-" + std::to_string(kind.width) + "x" +
                               std::to_string(kind.height) + "-" + std::to_string(kind.frames) +
                               "-" + std::to_string(std::hash<std::string>{}(kind.options));
    const fs::path film = dir / (recipe + ".avi");
    std::error_code ec;
    if (fs::exists(film, ec)) return film;
    fs::create_directories(dir, ec);
    const fs::path part = dir / (recipe + "." + std::to_string(::getpid()) + ".part.avi");
    const std::string failure =
        test::make_numbered_film(part, kind.width, kind.height, kind.frames, kind.options);
    EXPECT_EQ(failure, "");
    fs::rename(part, film, ec);
    return film;
  }
};

/// The number shown by the picture the source gives for frame `n`.
int shown(FilmSourceFfmpeg& film, int n) {
  FilmFrame got = film.frame(n, kPatience);
  if (!got.picture || !got.exact || got.number != n) return -1;
  return test::read_frame_number(*got.picture);
}

class FilmOfEachKind : public ::testing::TestWithParam<FilmKind> {};

TEST_P(FilmOfEachKind, ShowsTheAskedFrameInEveryOrder) {
  const FilmKind& kind = GetParam();
  FilmSourceFfmpeg film;
  ASSERT_EQ(film.open(FilmFiles::path(kind)), "");
  ASSERT_EQ(film.frame_count(), kind.frames);
  EXPECT_EQ(film.width(), kind.width);
  EXPECT_EQ(film.height(), kind.height);

  FilmFrame first = film.frame(0, kPatience);
  ASSERT_TRUE(first.picture && first.exact);
  EXPECT_EQ(first.picture->width(), kind.width);
  if (std::string(kind.name) == "uncompressed") {
    // Shown as read: no picture of its own, nothing converted.
    EXPECT_EQ(first.picture->layout(), FrameBitmap::Layout::kBgr24);
    EXPECT_FALSE(first.picture->owns_pixels());
  } else {
    EXPECT_EQ(first.picture->layout(), FrameBitmap::Layout::kRgb32);
    EXPECT_EQ(first.picture->stride() % 64, 0);
  }
  EXPECT_EQ(first.picture->pixel(kind.width - 1, 0) >> 24, 0xFFu) << "opaque pixels";

  for (int n = 0; n < kind.frames; ++n) ASSERT_EQ(shown(film, n), n) << "forward";
  for (int n = kind.frames - 1; n >= 0; --n) ASSERT_EQ(shown(film, n), n) << "backward";
  for (int n = 0; n < kind.frames; n += 4) ASSERT_EQ(shown(film, n), n) << "four times the speed";

  std::mt19937 random(7);
  for (int i = 0; i < 25; ++i) {
    const int n = static_cast<int>(random() % kind.frames);
    ASSERT_EQ(shown(film, n), n) << "random";
  }
  // Jumps across the key frames of the long-GOP films, then running on.
  for (int n : {kind.frames - 1, 3, kind.frames / 2 + 7, 251 % kind.frames, 249 % kind.frames}) {
    ASSERT_EQ(shown(film, n), n) << "jump";
    if (n + 1 < kind.frames) {
      ASSERT_EQ(shown(film, n + 1), n + 1) << "after jump";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Codecs, FilmOfEachKind, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FilmSource, GivesTheNearestReadyFrameWithoutWaitingAndTheExactOneSoonAfter) {
  FilmSourceFfmpeg film;
  ASSERT_EQ(film.open(FilmFiles::path(kKinds[1])), "");
  ASSERT_TRUE(film.frame(10, kPatience).exact);

  // A jump deep into the second GOP: the display is not kept waiting.
  FilmFrame at_once = film.frame(280, microseconds(0));
  ASSERT_TRUE(at_once.picture);
  if (!at_once.exact) {
    EXPECT_NE(at_once.number, 280);
  }
  EXPECT_EQ(shown(film, 280), 280);

  // Outside the film there is no picture.
  EXPECT_FALSE(film.frame(-1, milliseconds(1)).picture);
  EXPECT_FALSE(film.frame(300, milliseconds(1)).picture);

  // A prefetched frame is decoded while the display stays where it is.
  film.prefetch(120);
  for (int i = 0; i < 500 && !film.ready(120); ++i) std::this_thread::sleep_for(milliseconds(10));
  EXPECT_TRUE(film.ready(120));
  EXPECT_TRUE(film.frame(120, microseconds(0)).exact);
}

TEST(FilmSource, APictureTheDisplayHoldsStaysAsItWas) {
  FilmSourceFfmpeg film;
  ASSERT_EQ(film.open(FilmFiles::path(kKinds[0])), "");
  FilmFrame held = film.frame(5, kPatience);
  ASSERT_TRUE(held.exact);
  for (int n = 6; n < 40; ++n) ASSERT_EQ(shown(film, n), n);
  EXPECT_EQ(test::read_frame_number(*held.picture), 5);
  // Asking again for the frame on screen gives the same picture.
  FilmFrame again = film.frame(39, kPatience);
  EXPECT_EQ(again.picture, film.frame(39, kPatience).picture);
  // A film of the same size reuses the bitmaps, but not one still held.
  ASSERT_EQ(film.open(FilmFiles::path(kKinds[1])), "");
  for (int n = 0; n < 40; ++n) ASSERT_EQ(shown(film, n), n);
  EXPECT_EQ(test::read_frame_number(*held.picture), 5);
}

TEST(FilmSource, ReadsAheadInTheDirectionOfTravel) {
  FilmSourceFfmpeg film;
  ASSERT_EQ(film.open(FilmFiles::path(kKinds[1])), "");
  ASSERT_EQ(shown(film, 200), 200);
  ASSERT_EQ(shown(film, 199), 199);  // now running backwards
  // One decoding run from the key frame fills the whole stretch ahead.
  auto all_ready = [&] {
    for (int n = 199; n >= 199 - FilmSourceFfmpeg::kReadAheadFrames; --n)
      if (!film.ready(n)) return false;
    return true;
  };
  for (int i = 0; i < 500 && !all_ready(); ++i) std::this_thread::sleep_for(milliseconds(10));
  EXPECT_TRUE(all_ready());
  EXPECT_EQ(shown(film, 198), 198);
}

TEST(FilmSource, ReopensAndClosesWhileDecoding) {
  FilmSourceFfmpeg film;
  ASSERT_EQ(film.open(FilmFiles::path(kKinds[1])), "");
  film.frame(150, microseconds(0));
  ASSERT_EQ(film.open(FilmFiles::path(kKinds[0])), "");
  EXPECT_EQ(film.frame_count(), kKinds[0].frames);
  EXPECT_EQ(shown(film, 100), 100);
  film.close();
  EXPECT_FALSE(film.is_open());
  EXPECT_EQ(film.frame_count(), 0);
  EXPECT_FALSE(film.frame(0, milliseconds(1)).picture);
}

std::string file_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FilmSource, MissingEmptyAndForeignFilesFailToOpen) {
  test::TempDir dir;
  FilmSourceFfmpeg film;
  EXPECT_NE(film.open(dir / "no such film.avi"), "");
  EXPECT_FALSE(film.is_open());
  EXPECT_NE(film.open(dir.write_bytes("empty.avi", "")), "");
  std::string noise(200000, '\0');
  std::mt19937 random(3);
  for (char& c : noise) c = static_cast<char>(random());
  EXPECT_NE(film.open(dir.write_bytes("noise.avi", noise)), "");
  EXPECT_NE(film.open(dir.write_bytes("text.avi", "RIFF this is not a film at all")), "");
  // A film name that reads like another protocol is still only a file name.
  EXPECT_NE(film.open("concat:" + FilmFiles::path(kKinds[0]).string()), "");
  EXPECT_FALSE(film.is_open());
  EXPECT_EQ(film.frame_count(), 0);
}

TEST(FilmSource, TruncatedFilmsShowTheFramesTheyStillHold) {
  test::TempDir dir;
  for (const FilmKind& kind : {kKinds[0], kKinds[1]}) {
    const std::string whole = file_bytes(FilmFiles::path(kind));
    FilmSourceFfmpeg film;
    EXPECT_NE(film.open(dir.write_bytes("head.avi", whole.substr(0, 2000))), "") << kind.name;

    // Cut short, the index at the end is lost: the frames are counted by
    // reading what is left, not taken from the few the demuxer looked at.
    for (int percent : {30, 50, 90}) {
      const std::string name = "cut" + std::to_string(percent) + ".avi";
      ASSERT_EQ(film.open(dir.write_bytes(name, whole.substr(0, whole.size() * percent / 100))), "")
          << kind.name << " " << percent;
      EXPECT_GE(film.frame_count(), kind.frames * (percent - 10) / 100) << kind.name << percent;
      EXPECT_LT(film.frame_count(), kind.frames) << kind.name << percent;
      for (int n = 0; n < film.frame_count(); n += 7) EXPECT_EQ(shown(film, n), n) << kind.name;
      const int last = film.frame_count() - 1;
      FilmFrame end = film.frame(last, kPatience);
      ASSERT_TRUE(end.exact && end.picture) << kind.name << " " << percent;
      EXPECT_EQ(test::read_frame_number(*end.picture), last);
    }
    // Cut inside the index: every frame is still there and is counted.
    const size_t index = whole.rfind("idx1");
    ASSERT_NE(index, std::string::npos);
    ASSERT_EQ(film.open(dir.write_bytes("index.avi", whole.substr(0, index + 100))), "");
    EXPECT_EQ(film.frame_count(), kind.frames) << kind.name;
  }
}

// The command-line simulation opens films for their frames only; it must
// accept and refuse exactly the films the display's source does, with the
// same frame counts, or the two would stop the train at different places.
TEST(FilmIndex, AcceptsAndCountsTheFilmsTheDisplayShowsAndRefusesTheRest) {
  test::TempDir dir;
  for (const FilmKind& kind : kKinds) {
    const fs::path path = FilmFiles::path(kind);
    FilmSourceFfmpeg shown_film;
    FilmIndexFfmpeg index;
    ASSERT_EQ(shown_film.open(path), "") << kind.name;
    ASSERT_EQ(index.open(path), "") << kind.name;
    EXPECT_TRUE(index.is_open());
    EXPECT_EQ(index.frame_count(), shown_film.frame_count()) << kind.name;
    EXPECT_EQ(index.width(), shown_film.width());
    EXPECT_EQ(index.height(), shown_film.height());
    EXPECT_EQ(index.frame(3, kPatience).picture, nullptr);  // never a picture

    // Cut films: the two agree on what the head alone and the first half hold.
    const std::string whole = file_bytes(path);
    for (size_t size : {size_t{2000}, whole.size() / 2}) {
      const fs::path cut = dir.write_bytes("cut.avi", whole.substr(0, size));
      const bool shown_opens = shown_film.open(cut).empty();
      EXPECT_EQ(index.open(cut).empty(), shown_opens) << kind.name << " " << size;
      EXPECT_EQ(index.frame_count(), shown_film.frame_count()) << kind.name << " " << size;
      EXPECT_EQ(index.is_open(), shown_opens);
    }
  }
  FilmIndexFfmpeg index;
  EXPECT_NE(index.open(dir / "no such film.avi"), "");
  EXPECT_NE(index.open(dir.write_bytes("text.avi", "RIFF this is not a film at all")), "");
  EXPECT_NE(index.open("concat:" + FilmFiles::path(kKinds[0]).string()), "");
  EXPECT_EQ(index.frame_count(), 0);
}

TEST(FilmSource, PictureSizesComeFromThePicturesAndHaveALimit) {
  test::TempDir dir;
  std::string bytes = file_bytes(FilmFiles::path(kKinds[0]));
  // The stream format chunk holds a bitmap header: size, then width, height.
  const size_t strf = bytes.find("strf");
  ASSERT_NE(strf, std::string::npos);
  const uint32_t huge = 70000;
  for (int i = 0; i < 4; ++i) bytes[strf + 12 + i] = static_cast<char>(huge >> (8 * i));
  FilmSourceFfmpeg film;
  if (film.open(dir.write_bytes("wide.avi", bytes)).empty()) {
    EXPECT_EQ(film.width(), kKinds[0].width);
    EXPECT_EQ(shown(film, 9), 9);
  }
  ASSERT_EQ(test::make_numbered_film(dir / "huge.avi", 4104, 40, 2, "-c:v mjpeg"), "");
  const std::string failure = film.open(dir / "huge.avi");
  EXPECT_NE(failure.find("4104x40 is not supported"), std::string::npos) << failure;
  EXPECT_FALSE(film.is_open());
}

TEST(FilmSource, DamagedFramesNeverCrashAndTheRestStillShow) {
  test::TempDir dir;
  for (const FilmKind& kind : {kKinds[0], kKinds[1]}) {
    std::string bytes = file_bytes(FilmFiles::path(kind));
    std::mt19937 random(11);
    for (size_t at = bytes.size() / 3; at < bytes.size() * 2 / 3; at += 997)
      bytes[at] = static_cast<char>(random());
    FilmSourceFfmpeg film;
    ASSERT_EQ(film.open(dir.write_bytes("damaged.avi", bytes)), "") << kind.name;
    int exact = 0;
    for (int n = film.frame_count() - 1; n >= 0; n -= 3) exact += film.frame(n, kPatience).exact;
    EXPECT_GT(exact, 0) << kind.name;
    EXPECT_EQ(shown(film, 0), 0) << kind.name;
  }
}

/// A decoded picture of `width` × `height` in packed BGR, every pixel `bgr`.
DecodedPicture bgr_picture(int width, int height, uint32_t rgb) {
  AVFrame* frame = av_frame_alloc();
  frame->format = AV_PIX_FMT_BGR24;
  frame->width = width;
  frame->height = height;
  EXPECT_EQ(av_frame_get_buffer(frame, 0), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = frame->data[0] + y * frame->linesize[0] + 3 * x;
      p[0] = rgb & 0xFF;
      p[1] = (rgb >> 8) & 0xFF;
      p[2] = (rgb >> 16) & 0xFF;
    }
  DecodedPicture picture = DecodedPicture::take(frame);
  av_frame_free(&frame);
  return picture;
}

TEST(FramePictureConverter, GivesOpaqueRgb32InTheBitmapsSizeAndRefusesNoPicture) {
  FramePictureConverter converter;
  DecodedPicture same = bgr_picture(10, 6, 0x336699);
  FrameBitmap out(10, 6);
  ASSERT_TRUE(converter.convert(same, out));
  EXPECT_EQ(out.pixel(0, 0), 0xFF336699u);
  EXPECT_EQ(out.pixel(9, 5), 0xFF336699u);

  // A picture of another size than the film's is scaled to the bitmap.
  FrameBitmap larger(20, 12);
  ASSERT_TRUE(converter.convert(bgr_picture(7, 5, 0x10E0F0), larger));
  EXPECT_EQ(larger.pixel(19, 11) >> 24, 0xFFu);
  EXPECT_NEAR(static_cast<int>((larger.pixel(10, 6) >> 8) & 0xFF), 0xE0, 2);
  // The converter goes back to the first size.
  ASSERT_TRUE(converter.convert(same, out));
  EXPECT_EQ(out.pixel(5, 3), 0xFF336699u);

  EXPECT_FALSE(converter.convert(DecodedPicture(), out));
  DecodedPicture moved = std::move(same);
  EXPECT_FALSE(same);  // NOLINT(bugprone-use-after-move): a moved-from picture is empty
  EXPECT_TRUE(moved);
}

/// Keeps every picture the reader hands on.
struct KeepingSink : FrameSink {
  std::map<int32_t, DecodedPicture> pictures;
  bool wanted(int32_t) override { return true; }
  void deliver(int32_t n, DecodedPicture p) override { pictures[n] = std::move(p); }
  bool cancelled() override { return false; }
};

TEST(FramePictureConverter, DecodesTheIntraOnlyPacketsItTakesWithItsOwnDecoder) {
  FilmReaderFfmpeg reader;
  ASSERT_EQ(reader.open(FilmFiles::path(kKinds[0])), "");
  reader.deliver_packets(true);
  ASSERT_TRUE(reader.delivers_packets());
  KeepingSink sink;
  ASSERT_EQ(reader.decode_to(7, sink), FilmReaderFfmpeg::Result::kDone);
  ASSERT_EQ(sink.pictures.count(7), 1u);
  ASSERT_NE(sink.pictures[7].packet(), nullptr);
  EXPECT_EQ(sink.pictures[7].frame(), nullptr);

  FrameBitmap out(reader.width(), reader.height());
  FramePictureConverter plain;
  EXPECT_FALSE(plain.convert(sink.pictures[7], out));  // no decoder of its own
  FramePictureConverter decoding;
  ASSERT_TRUE(decoding.attach_decoder(reader));
  ASSERT_TRUE(decoding.convert(sink.pictures[7], out));
  EXPECT_EQ(test::read_frame_number(out), 7);
  // Packets decode in any order, each on its own.
  ASSERT_TRUE(decoding.convert(sink.pictures[3], out));
  EXPECT_EQ(test::read_frame_number(out), 3);

  // A packet of garbage fails and leaves the decoder fit for the next one.
  AVPacket* garbage = av_packet_alloc();
  ASSERT_EQ(av_new_packet(garbage, 4096), 0);
  std::mt19937 random(5);
  for (int i = 0; i < garbage->size; ++i) garbage->data[i] = static_cast<uint8_t>(random());
  EXPECT_FALSE(decoding.convert(DecodedPicture::take_packet(garbage), out));
  av_packet_free(&garbage);
  ASSERT_TRUE(decoding.convert(sink.pictures[5], out));
  EXPECT_EQ(test::read_frame_number(out), 5);

  // Long-GOP and uncompressed films keep handing on decoded pictures.
  FilmReaderFfmpeg h264;
  ASSERT_EQ(h264.open(FilmFiles::path(kKinds[1])), "");
  h264.deliver_packets(true);
  EXPECT_FALSE(h264.delivers_packets());
  FilmReaderFfmpeg raw;
  ASSERT_EQ(raw.open(FilmFiles::path(kKinds[3])), "");
  raw.deliver_packets(true);
  EXPECT_FALSE(raw.delivers_packets());
}

TEST(FilmSource, ShowsAnUncompressedFilmStoredBottomRowFirstTheRightWayUp) {
  test::TempDir dir;
  const fs::path film_file = dir.path() / "bottom_up.avi";
  ASSERT_EQ(test::make_numbered_film(film_file, 160, 64, 40, "-c:v rawvideo -pix_fmt bgr24"), "");
  ASSERT_EQ(test::turn_avi_bottom_up(film_file), "");
  FilmSourceFfmpeg film;
  ASSERT_EQ(film.open(film_file), "");
  FilmFrame first = film.frame(0, kPatience);
  ASSERT_TRUE(first.picture && first.exact);
  EXPECT_EQ(first.picture->layout(), FrameBitmap::Layout::kBgr24);
  EXPECT_LT(first.picture->stride(), 0) << "the rows are shown from the last one read";
  for (int n : {0, 1, 2, 39, 38, 20, 24, 28}) EXPECT_EQ(shown(film, n), n);
}

/// A decoded BGR24 picture whose rows run `stride` bytes apart, the first
/// row `offset` bytes into its buffer; pixel (x, y) holds x, y, 0x5A.
DecodedPicture laid_out_picture(int width, int height, int stride, int offset) {
  AVFrame* frame = av_frame_alloc();
  frame->format = AV_PIX_FMT_BGR24;
  frame->width = width;
  frame->height = height;
  const int step = std::abs(stride);
  frame->buf[0] = av_buffer_allocz(static_cast<size_t>(step) * height + 64);
  frame->data[0] = frame->buf[0]->data + offset;
  frame->linesize[0] = stride;
  // Rows that would lie outside the buffer are left unwritten.
  const int64_t size = static_cast<int64_t>(frame->buf[0]->size);
  for (int y = 0; y < height; ++y) {
    const int64_t start = offset + int64_t{y} * stride;
    if (start < 0 || start + 3 * width > size) continue;
    uint8_t* row = frame->buf[0]->data + start;
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<uint8_t>(x);
      row[3 * x + 1] = static_cast<uint8_t>(y);
      row[3 * x + 2] = 0x5A;
    }
  }
  DecodedPicture picture = DecodedPicture::take(frame);
  av_frame_free(&frame);
  return picture;
}

TEST(DecodedPicture, SharesABgr24PictureOnlyWhenEveryRowLiesInItsBuffer) {
  // Top row first.
  DecodedPicture top_down = laid_out_picture(20, 10, 64, 0);
  const uint8_t* pixels = top_down.frame()->data[0];
  std::shared_ptr<FrameBitmap> shared = top_down.share_as_bgr24(20, 10);
  ASSERT_TRUE(shared);
  EXPECT_FALSE(top_down) << "the picture went into the bitmap";
  EXPECT_EQ(shared->data(), pixels) << "nothing copied";
  EXPECT_EQ(shared->layout(), FrameBitmap::Layout::kBgr24);
  EXPECT_EQ(shared->pixel(3, 7), 0xFF5A0703u);

  // Bottom row first: row 0 is the last row in memory.
  DecodedPicture bottom_up = laid_out_picture(20, 10, -64, 9 * 64);
  shared = bottom_up.share_as_bgr24(20, 10);
  ASSERT_TRUE(shared);
  EXPECT_EQ(shared->stride(), -64);
  EXPECT_EQ(shared->pixel(19, 0), 0xFF5A0013u);
  EXPECT_EQ(shared->pixel(0, 9), 0xFF5A0900u);

  // Not shared, and left as it was: another size, another format, rows
  // that overlap or run out of the buffer.
  DecodedPicture other = laid_out_picture(20, 10, 64, 0);
  EXPECT_FALSE(other.share_as_bgr24(21, 10));
  EXPECT_FALSE(other.share_as_bgr24(20, 9));
  EXPECT_TRUE(other);
  DecodedPicture overlapping = laid_out_picture(20, 10, 59, 0);
  EXPECT_FALSE(overlapping.share_as_bgr24(20, 10));
  DecodedPicture past_the_end = laid_out_picture(20, 10, 64, 128);
  EXPECT_FALSE(past_the_end.share_as_bgr24(20, 10));
  DecodedPicture before_the_start = laid_out_picture(20, 10, -64, 8 * 64);
  EXPECT_FALSE(before_the_start.share_as_bgr24(20, 10));
  DecodedPicture yuv = bgr_picture(20, 10, 0);
  AVFrame* as_yuv = const_cast<AVFrame*>(yuv.frame());
  as_yuv->format = AV_PIX_FMT_YUV420P;
  EXPECT_FALSE(yuv.share_as_bgr24(20, 10));
  EXPECT_TRUE(yuv);
  EXPECT_FALSE(DecodedPicture().share_as_bgr24(20, 10));
}

TEST(FrameBitmap, ASharedPictureKeepsItsMemoryAliveUntilTheLastHolderGoes) {
  bool released = false;
  auto memory = std::shared_ptr<uint8_t[]>(new uint8_t[12]{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                                           [&](const uint8_t* p) {
                                             released = true;
                                             delete[] p;
                                           });
  // 2 x 2 pixels, bottom row first: row 0 starts at byte 6.
  auto shared = std::make_shared<FrameBitmap>(2, 2, memory.get() + 6, -6, memory);
  memory.reset();
  EXPECT_EQ(shared->pixel(0, 0), 0xFF090807u);
  EXPECT_EQ(shared->pixel(1, 1), 0xFF060504u);
  EXPECT_EQ(shared->byte_size(), 12u);
  std::shared_ptr<const FrameBitmap> held = shared;
  shared.reset();
  EXPECT_FALSE(released);
  held.reset();
  EXPECT_TRUE(released);
}

}  // namespace
}  // namespace cabsim
