// Read-ahead decoding of the open film on its own thread.
//
// The display tells where it is each time it asks for a frame; the decoder
// thread then decodes the missing frame nearest to being shown: the display's
// own frame, then the frames ahead in the direction of travel (of an
// intra-only film only those on the display's stride, since each decodes
// alone), then for long-GOP films a few behind, then the prefetched ones.
// Running backwards through a long-GOP film, each decoding run from a key
// frame keeps a whole stretch of frames below its target, so the key frame
// is decoded once per stretch and not once per frame.
//
// Decoded pictures go through a short queue to a converter thread, so one
// picture is converted to RGB32 while the next is decoded. An intra-only film
// queues its packets undecoded instead, for two converters that each decode
// and convert the pictures they take, side by side. A frame is
// "converting" from the moment it is queued until it is kept: the decoder
// neither wants it again nor takes it for missing. A queued picture the
// display has passed meanwhile is dropped unconverted.
//
// An uncompressed film needs no decoding: its BGR24 pictures are kept as
// they were read, in the packets they were read into, and two readers of
// the file read different frames side by side (each job's target is claimed
// by its reader), since reading is all the work there is.
#include "platform/film_source_ffmpeg.h"

#include <algorithm>
#include <mutex>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace cabsim {
namespace {

/// The film's threads give way to the display and the sound: on a machine
/// with two cores, three busy film threads would otherwise hold the display
/// pass off for milliseconds when the frame it wants is long decoded. (Linux
/// keeps a nice value per thread; failing to set it changes nothing else.)
void give_way_to_the_display() {
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  const int now = ::getpriority(PRIO_PROCESS, tid);
  ::setpriority(PRIO_PROCESS, tid, std::min(now + FilmSourceFfmpeg::kThreadNiceness, 19));
}

/// An uncompressed film's pictures stay in the packets they were read into,
/// about 0.8 MB each, a hundred of them kept at a time. By default the C
/// library gives blocks that large back to the system when they are freed
/// (or trims the heap under them), so every packet read would land in fresh
/// pages, and faulting those in costs several times the read itself. From
/// the first such film on, freed memory up to a few hundred megabytes stays
/// with the process and the next packets reuse it.
void keep_freed_picture_memory() {
  static std::once_flag once;
  std::call_once(once, [] {
    ::mallopt(M_MMAP_THRESHOLD, 64 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
  });
}

}  // namespace

class FilmSourceFfmpeg::Sink final : public FrameSink {
 public:
  /// With `converter`, pictures are kept (converted) at once on the calling
  /// thread; otherwise they are queued for the converter threads.
  Sink(FilmSourceFfmpeg& source, const Job& job, FramePictureConverter* converter = nullptr)
      : source_(source), job_(job), converter_(converter) {}

  bool wanted(int32_t number) override {
    std::lock_guard lock(source_.mutex_);
    return source_.wanted(number, job_);
  }
  void deliver(int32_t number, DecodedPicture picture) override {
    std::unique_lock lock(source_.mutex_);
    if (converter_) {
      source_.convert_and_keep(lock, *converter_, {number, std::move(picture), source_.moves_});
      // Pictures dropped to make room give their memory back unlocked.
      auto dropped = source_.cache_.take_dropped();
      lock.unlock();
      source_.ready_.notify_all();
      return;
    }
    source_.converted_.wait(lock,
                            [&] { return source_.stop_ || source_.queue_.size() < kConvertQueue; });
    if (source_.stop_) return;
    source_.converting_.insert(number);
    source_.queue_.push_back({number, std::move(picture), source_.moves_});
    lock.unlock();
    source_.to_convert_.notify_one();
  }
  bool cancelled() override {
    // Polled for every packet: the lock is taken only after a jump.
    if (source_.stop_) return true;
    if (source_.in_window(job_.target)) return false;
    // A jump elsewhere leaves a target nobody needs any more.
    std::lock_guard lock(source_.mutex_);
    return !source_.cache_.pinned(job_.target);
  }

 private:
  FilmSourceFfmpeg& source_;
  Job job_;
  FramePictureConverter* converter_;
};

FilmSourceFfmpeg::FilmSourceFfmpeg() = default;

FilmSourceFfmpeg::~FilmSourceFfmpeg() {
  close();
}

std::string FilmSourceFfmpeg::open(const std::filesystem::path& file) {
  close();
  auto reader = std::make_unique<FilmReaderFfmpeg>();
  if (std::string failure = reader->open(file); !failure.empty())
    return file.string() + ": " + failure;
  cache_.reset(reader->width(), reader->height());
  share_pictures_ = reader->pictures_are_packets();
  if (share_pictures_) keep_freed_picture_memory();
  // Room for the window, the stretch kept on the way, and the frames behind.
  read_ahead_ = std::clamp((cache_.capacity() - kKeepBehindFrames) / 2 - 1, 1, kReadAheadFrames);
  failed_.clear();
  prefetch_.clear();
  queue_.clear();
  converting_.clear();
  claimed_.clear();
  keep_low_ = 0;
  keep_high_ = -1;
  display_ = 0;
  direction_ = 1;
  stride_ = 1;
  moves_ = 0;
  stalled_at_ = ~uint64_t{0};
  stop_ = false;
  // The first picture is decoded here: a film whose pictures cannot be
  // decoded fails to open instead of showing nothing.
  FramePictureConverter converter;
  Sink first(*this, Job{0, 0, 0}, &converter);
  if (reader->decode_to(0, first) != FilmReaderFfmpeg::Result::kDone || !cache_.contains(0))
    return file.string() + ": the film's first picture cannot be decoded";
  reader_ = std::move(reader);
  frame_count_ = reader_->frame_count();
  width_ = reader_->width();
  height_ = reader_->height();
  // Uncompressed pictures are kept (in formats other than BGR24, converted)
  // on the reader threads as they are read: a converter thread would only
  // add a hand-over to pictures that need no work.
  if (reader_->pictures_are_packets()) {
    for (int i = 1; i < kUncompressedReaders; ++i) {
      auto another = std::make_unique<FilmReaderFfmpeg>();
      if (!another->open(file).empty() || another->frame_count() != frame_count_ ||
          another->width() != width_ || another->height() != height_)
        break;  // one reader does it alone, more slowly
      more_readers_.push_back(std::move(another));
    }
    reader_threads_.emplace_back(
        [this] { run(*reader_, std::make_unique<FramePictureConverter>()); });
    for (auto& another : more_readers_)
      reader_threads_.emplace_back(
          [this, r = another.get()] { run(*r, std::make_unique<FramePictureConverter>()); });
    return {};
  }
  // The decoding reader hands its pictures to the converters.
  std::vector<std::unique_ptr<FramePictureConverter>> converters;
  for (int i = 0; reader_->intra_only() && i < kIntraConverters; ++i) {
    converters.push_back(std::make_unique<FramePictureConverter>());
    if (!converters.back()->attach_decoder(*reader_)) {
      converters.clear();
      break;
    }
  }
  // Without decoders of their own, one converter takes decoded pictures.
  if (!converters.empty()) {
    reader_->deliver_packets(true);
  } else {
    converters.push_back(std::make_unique<FramePictureConverter>());
  }
  for (auto& c : converters)
    converter_threads_.emplace_back(
        [this, c = std::move(c)]() mutable { convert_run(std::move(c)); });
  reader_threads_.emplace_back([this] { run(*reader_, nullptr); });
  return {};
}

void FilmSourceFfmpeg::close() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  work_.notify_all();
  ready_.notify_all();
  to_convert_.notify_all();
  converted_.notify_all();
  for (std::thread& t : reader_threads_)
    if (t.joinable()) t.join();
  for (std::thread& t : converter_threads_)
    if (t.joinable()) t.join();
  reader_threads_.clear();
  converter_threads_.clear();
  std::lock_guard lock(mutex_);
  queue_.clear();
  converting_.clear();
  claimed_.clear();
  reader_.reset();
  more_readers_.clear();
  cache_.clear();
  failed_.clear();
  prefetch_.clear();
  frame_count_ = width_ = height_ = 0;
}

FilmFrame FilmSourceFfmpeg::frame(int32_t n, std::chrono::microseconds max_wait) {
  if (!reader_ || n < 0 || n >= frame_count_) return {};
  std::unique_lock lock(mutex_);
  bool moved = false;
  if (n != display_) {
    const int32_t step = n - display_;
    if (step >= -kJumpFrames && step <= kJumpFrames) {
      direction_ = step > 0 ? 1 : -1;
      stride_ = step > 0 ? step : -step;
    }
    display_ = n;
    ++moves_;
    moved = true;
  }
  if (auto picture = cache_.find(n)) {
    // The decoder is woken after the lock is let go, so that it does not
    // take the processor from the display only to wait for the lock.
    lock.unlock();
    if (moved) work_.notify_one();
    return {std::move(picture), n, true};
  }
  if (moved) work_.notify_one();
  if (max_wait.count() > 0) {
    ready_.wait_for(lock, max_wait,
                    [&] { return stop_ || cache_.contains(n) || failed_.count(n) != 0; });
    if (auto picture = cache_.find(n)) return {std::move(picture), n, true};
  }
  auto [number, picture] = cache_.nearest(n);
  return {std::move(picture), number, false};
}

void FilmSourceFfmpeg::prefetch(int32_t n) {
  if (!reader_ || n < 0 || n >= frame_count_) return;
  {
    std::lock_guard lock(mutex_);
    if (cache_.pinned(n) || cache_.pinned_count() >= kMaxPrefetchFrames) return;
    cache_.pin(n);
    prefetch_.push_back(n);
  }
  work_.notify_one();
}

bool FilmSourceFfmpeg::ready(int32_t n) const {
  std::lock_guard lock(mutex_);
  return cache_.contains(n);
}

bool FilmSourceFfmpeg::in_window(int32_t n) const {
  const int32_t ahead = (n - display_) * direction_;
  return ahead >= -kKeepBehindFrames && ahead <= read_ahead();
}

bool FilmSourceFfmpeg::claimed(int32_t n) const {
  return std::find(claimed_.begin(), claimed_.end(), n) != claimed_.end();
}

bool FilmSourceFfmpeg::wanted(int32_t n, const Job& job) const {
  if (cache_.contains(n) || failed_.count(n) != 0 || converting_.count(n) != 0) return false;
  if (n == job.target) return true;
  if (claimed(n)) return false;  // another reader's target
  if (cache_.pinned(n)) return true;
  if (reader_ && reader_->intra_only()) return in_window(n) && on_stride(n);
  return in_window(n) || (n >= job.keep_low && n <= job.keep_high);
}

bool FilmSourceFfmpeg::on_stride(int32_t n) const {
  const int32_t ahead = (n - display_) * direction_;
  return ahead >= 0 && ahead % stride_ == 0;
}

FilmSourceFfmpeg::Job FilmSourceFfmpeg::next_job() const {
  auto missing = [&](int32_t n) {
    return n >= 0 && n < frame_count_ && !cache_.contains(n) && failed_.count(n) == 0 &&
           converting_.count(n) == 0 && !claimed(n);
  };
  const int32_t ahead = read_ahead();
  Job job;
  if (stalled_at_ == moves_) return job;
  // An intra-only film decodes any frame alone: ahead of the display only
  // the frames on its stride are decoded.
  const int32_t step = reader_->intra_only() ? stride_.load() : 1;
  for (int32_t i = 0; i * step <= ahead && job.target < 0; ++i)
    if (missing(display_ + i * step * direction_)) job.target = display_ + i * step * direction_;
  // Frames just behind matter when a long-GOP film reverses; an intra-only
  // film decodes them on demand as fast as any other.
  const int32_t behind = reader_->intra_only() ? 0 : kKeepBehindFrames;
  for (int32_t i = 1; i <= behind && job.target < 0; ++i)
    if (missing(display_ - i * direction_)) job.target = display_ - i * direction_;
  for (size_t i = 0; i < prefetch_.size() && job.target < 0; ++i)
    if (missing(prefetch_[i])) job.target = prefetch_[i];
  if (job.target < 0) return job;
  job.moves = moves_;
  if (direction_ < 0 && !reader_->intra_only() && in_window(job.target)) {
    // Backwards through a long-GOP film: keep a whole stretch below the
    // target from this one decoding run.
    job.keep_low = std::max(0, job.target - ahead);
    job.keep_high = job.target;
  }
  return job;
}

void FilmSourceFfmpeg::run(FilmReaderFfmpeg& reader,
                           std::unique_ptr<FramePictureConverter> converter) {
  give_way_to_the_display();
  const bool more_readers = !more_readers_.empty();
  for (;;) {
    Job job;
    bool more_work = false;
    {
      std::unique_lock lock(mutex_);
      work_.wait(lock, [&] { return stop_ || (job = next_job()).target >= 0; });
      if (stop_) return;
      claimed_.push_back(job.target);
      keep_low_ = job.keep_low;
      keep_high_ = job.keep_high;
      more_work = more_readers && next_job().target >= 0;
    }
    // Another reader takes the next frame meanwhile. (Woken for nothing, it
    // would only take the lock and a processor from the display.)
    if (more_work) work_.notify_one();
    Sink sink(*this, job, converter.get());
    const auto result = reader.decode_to(job.target, sink);
    {
      std::lock_guard lock(mutex_);
      claimed_.erase(std::find(claimed_.begin(), claimed_.end(), job.target));
      if (result == FilmReaderFfmpeg::Result::kFailed) {
        failed_.insert(job.target);
      } else if (result == FilmReaderFfmpeg::Result::kDone && !cache_.contains(job.target) &&
                 converting_.count(job.target) == 0 && moves_ == job.moves) {
        // Not kept although decoded: no room for it where the display is
        // now. (When the display has moved meanwhile, the next job is
        // chosen anew.)
        stalled_at_ = moves_;
      }
    }
    if (result == FilmReaderFfmpeg::Result::kFailed) ready_.notify_all();
  }
}

bool FilmSourceFfmpeg::still_wanted(int32_t n) const {
  return in_window(n) || cache_.pinned(n) || (n >= keep_low_ && n <= keep_high_);
}

void FilmSourceFfmpeg::convert_and_keep(std::unique_lock<std::mutex>& lock,
                                        FramePictureConverter& converter, Decoded decoded) {
  // An uncompressed film's picture is kept as it was read, in its packet.
  std::shared_ptr<FrameBitmap> bitmap =
      share_pictures_ ? decoded.picture.share_as_bgr24(cache_.width(), cache_.height()) : nullptr;
  bool converted = bitmap != nullptr;
  if (!converted) {
    bitmap = cache_.take_buffer();
    lock.unlock();
    converted = converter.convert(decoded.picture, *bitmap);
    decoded.picture = DecodedPicture();  // the decoder's buffer goes back to it at once
    lock.lock();
  }
  converting_.erase(decoded.number);
  if (!converted) {
    failed_.insert(decoded.number);
  } else if (!cache_.insert(decoded.number, std::move(bitmap), display_, direction_) &&
             moves_ == decoded.moves) {
    // No room for it where the display is: decoding it again is no use
    // before the display moves.
    stalled_at_ = moves_;
  }
}

void FilmSourceFfmpeg::convert_run(std::unique_ptr<FramePictureConverter> owned) {
  FramePictureConverter& converter = *owned;
  give_way_to_the_display();
  for (;;) {
    std::unique_lock lock(mutex_);
    to_convert_.wait(lock, [&] { return stop_ || !queue_.empty(); });
    if (stop_) return;
    Decoded decoded = std::move(queue_.front());
    queue_.pop_front();
    converted_.notify_one();
    if (still_wanted(decoded.number)) {
      convert_and_keep(lock, converter, std::move(decoded));
    } else {
      converting_.erase(decoded.number);
    }
    auto dropped = cache_.take_dropped();
    lock.unlock();
    // The display may wait for this frame, the decoder for the next job.
    ready_.notify_all();
    work_.notify_one();
  }
}

}  // namespace cabsim
