// Fuzzing the film reader's own part over small AVI files: the frame table
// (from the index, or counted by reading when the index is missing or cut),
// the key frames, seeking and decoding to a frame. The decoders themselves
// are FFmpeg's; the input is kept small and the frames decoded few.
extern "C" {
#include <libavutil/log.h>
}

#include "media_file.h"
#include "platform/film_reader_ffmpeg.h"

namespace {

/// Takes every frame it is handed and counts them.
class CountingSink final : public cabsim::FrameSink {
 public:
  bool wanted(int32_t) override { return true; }
  void deliver(int32_t number, cabsim::DecodedPicture) override {
    if (number < 0) __builtin_trap();
    ++delivered;
  }
  bool cancelled() override { return delivered > 64; }
  int delivered = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256 * 1024) return 0;
  av_log_set_level(AV_LOG_QUIET);
  cabsim::FilmReaderFfmpeg film;
  if (!film.open(cabsim::fuzz::write_input(data, size, ".avi")).empty()) return 0;
  const int32_t frames = film.frame_count();
  if (frames <= 0 || frames > cabsim::FilmReaderFfmpeg::kMaxFrames) __builtin_trap();
  if (film.width() <= 0 || film.height() <= 0) __builtin_trap();
  for (const int32_t n : {frames - 1, 0, frames / 2}) {
    const int32_t key = film.key_frame_before(n);
    if (key < 0 || key > n) __builtin_trap();
    CountingSink sink;
    (void)film.decode_to(n, sink);
  }
  return 0;
}
