// Films read for their frame tables.
#include "platform/film_index_ffmpeg.h"

#include "platform/film_reader_ffmpeg.h"

namespace cabsim {
namespace {

/// Takes the first picture and lets it go.
class FirstPictureSink final : public FrameSink {
 public:
  bool wanted(int32_t number) override { return number == 0; }
  void deliver(int32_t number, DecodedPicture) override { decoded_ = decoded_ || number == 0; }
  bool cancelled() override { return false; }
  bool decoded() const { return decoded_; }

 private:
  bool decoded_ = false;
};

}  // namespace

FilmIndexFfmpeg::FilmIndexFfmpeg() = default;
FilmIndexFfmpeg::~FilmIndexFfmpeg() = default;

std::string FilmIndexFfmpeg::open(const std::filesystem::path& file) {
  close();
  FilmReaderFfmpeg reader;
  if (std::string failure = reader.open(file); !failure.empty())
    return file.string() + ": " + failure;
  // The display's film source refuses a film whose first picture does not
  // decode; so does this, or the two would disagree on where the film ends.
  FirstPictureSink first;
  if (reader.decode_to(0, first) != FilmReaderFfmpeg::Result::kDone || !first.decoded())
    return file.string() + ": the film's first picture cannot be decoded";
  frame_count_ = reader.frame_count();
  width_ = reader.width();
  height_ = reader.height();
  return {};
}

void FilmIndexFfmpeg::close() {
  frame_count_ = 0;
  width_ = 0;
  height_ = 0;
}

FilmFrame FilmIndexFfmpeg::frame(int32_t, std::chrono::microseconds) {
  return {};
}

}  // namespace cabsim
