// The media player: a decoding thread feeds pictures and sound; the
// user-interface thread shows each picture when it is due.
#include "platform/media_player.h"

#include <QPaintEvent>
#include <QPainter>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/media_audio_out.h"
#include "platform/media_decoder.h"

namespace cabsim {
namespace {

/// Pictures decoded ahead of their time; more are allowed while the sound
/// runs short, up to the hard limit.
constexpr size_t kFramesAhead = 30;
constexpr size_t kFramesHardLimit = 120;
/// Sound decoded ahead, in seconds.
constexpr int kSoundAheadSeconds = 1;
/// How often the user-interface thread looks for a due picture.
constexpr int kPacerMs = 5;

int64_t now_ms() {
  using std::chrono::steady_clock;
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

FilmDisplay::FilmDisplay(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FilmDisplay::show_frame(const QImage& frame) {
  frame_ = frame;
  update();
}

void FilmDisplay::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (frame_.isNull())
    painter.fillRect(rect(), Qt::black);
  else
    painter.drawImage(rect(), frame_);
}

/// The decoding thread and what it shares with the user-interface thread.
struct MediaPlayer::Worker {
  std::mutex lock;
  std::condition_variable wake;
  std::deque<MediaFrame> frames;  // decoded, not yet shown
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
  std::atomic<int64_t> clock_start_ms{-1};
  std::atomic<int64_t> audio_frames_played{0};
  std::atomic<bool> audible{false};
  std::thread thread;

  explicit Worker(std::filesystem::path file) {
    thread = std::thread([this, file = std::move(file)] { run(file); });
  }
  ~Worker() {
    stop = true;
    wake.notify_all();
    if (thread.joinable()) thread.join();
  }

  size_t frames_waiting() {
    std::lock_guard guard(lock);
    return frames.size();
  }

  void run(const std::filesystem::path& file);
};

void MediaPlayer::Worker::run(const std::filesystem::path& file) {
  MediaDecoder decoder;
  if (!decoder.open(file).empty()) {
    finished = true;
    return;
  }
  std::unique_ptr<MediaAudioOut> out;
  if (decoder.has_audio())
    out = std::make_unique<MediaAudioOut>(decoder.audio_rate(), decoder.audio_channels());
  audible = out && out->audible();
  const size_t sound_ahead =
      static_cast<size_t>(decoder.audio_rate()) * decoder.audio_channels() * kSoundAheadSeconds;
  std::deque<int16_t> sound;
  std::vector<MediaFrame> new_frames;
  std::vector<int16_t> new_samples;
  bool at_end = false;
  while (!stop) {
    size_t ahead = frames_waiting();
    bool want_pictures = decoder.has_video() && ahead < kFramesAhead;
    bool want_sound = decoder.has_audio() && sound.size() < sound_ahead;
    if (!at_end && (want_pictures || (want_sound && ahead < kFramesHardLimit))) {
      new_frames.clear();
      new_samples.clear();
      at_end = !decoder.decode_some(new_frames, new_samples);
      sound.insert(sound.end(), new_samples.begin(), new_samples.end());
      if (!new_frames.empty()) {
        std::lock_guard guard(lock);
        for (MediaFrame& f : new_frames) frames.push_back(std::move(f));
      }
      if (clock_start_ms < 0 && (ahead > 0 || !sound.empty() || at_end)) clock_start_ms = now_ms();
    } else {
      std::unique_lock guard(lock);
      wake.wait_for(guard, std::chrono::milliseconds(kPacerMs));
    }
    if (out) {
      out->feed(sound, at_end, now_ms());
      audio_frames_played = out->frames_played();
    }
    bool sound_done = !out || (sound.empty() && out->drained());
    if (at_end && sound_done && frames_waiting() == 0) break;
  }
  finished = true;
}

MediaPlayer::MediaPlayer() {
  pacer_.setTimerType(Qt::PreciseTimer);
  pacer_.setInterval(kPacerMs);
  connect(&pacer_, &QTimer::timeout, this, &MediaPlayer::show_due_frames);
}

MediaPlayer::~MediaPlayer() {
  close();
}

void MediaPlayer::set_display(QWidget* window, const QRect& area) {
  delete display_.data();
  display_ = nullptr;
  if (!window) return;
  display_ = new FilmDisplay(window);
  display_->setGeometry(area);
  display_->setVisible(has_video_);
}

std::string MediaPlayer::open(const std::filesystem::path& file) {
  close();
  MediaDecoder probe;
  std::string failure = probe.open(file);
  if (!failure.empty()) return file.string() + ": " + failure;
  file_ = file;
  has_video_ = probe.has_video();
  has_audio_ = probe.has_audio();
  return {};
}

void MediaPlayer::play() {
  if (file_.empty()) return;
  stop();
  frames_shown_ = 0;
  last_audio_frames_ = 0;
  worker_ = std::make_unique<Worker>(file_);
  if (display_) display_->setVisible(has_video_);
  pacer_.start();
}

bool MediaPlayer::is_playing() const {
  return worker_ && !(worker_->finished && worker_->frames_waiting() == 0);
}

void MediaPlayer::stop() {
  pacer_.stop();
  if (worker_) last_audio_frames_ = worker_->audio_frames_played;
  worker_.reset();  // joins the decoding thread
}

void MediaPlayer::close() {
  stop();
  file_.clear();
  has_video_ = has_audio_ = false;
  if (display_) display_->show_frame(QImage());
}

int64_t MediaPlayer::audio_frames_played() const {
  return worker_ ? worker_->audio_frames_played.load() : last_audio_frames_;
}

bool MediaPlayer::audible() const {
  return worker_ && worker_->audible;
}

void MediaPlayer::show_due_frames() {
  if (!worker_) return;
  int64_t start = worker_->clock_start_ms;
  if (start >= 0) {
    double elapsed = static_cast<double>(now_ms() - start) / 1000.0;
    QImage due;
    {
      std::lock_guard guard(worker_->lock);
      while (!worker_->frames.empty() && worker_->frames.front().seconds <= elapsed) {
        due = std::move(worker_->frames.front().image);
        worker_->frames.pop_front();
        ++frames_shown_;
      }
    }
    worker_->wake.notify_all();
    if (!due.isNull() && display_) display_->show_frame(due);
  }
  if (worker_->finished && worker_->frames_waiting() == 0) pacer_.stop();
}

}  // namespace cabsim
