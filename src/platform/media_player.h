// The title screen's media player: plays a film with its sound, or a wave
// file, in a given area of a window; is-playing, stop, close.
#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

namespace cabsim {

/// The widget a film is shown in: its latest picture scaled to the area.
class FilmDisplay final : public QWidget {
  Q_OBJECT

 public:
  explicit FilmDisplay(QWidget* parent);
  void show_frame(const QImage& frame);
  const QImage& frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage frame_;
};

class MediaPlayer final : public QObject {
  Q_OBJECT

 public:
  MediaPlayer();
  ~MediaPlayer() override;

  /// Where the film is shown: the area `area` of `window` (a child widget is
  /// made there). Without a window a film plays its sound only.
  void set_display(QWidget* window, const QRect& area);
  FilmDisplay* display() const { return display_; }

  /// Opens a film or sound file; an empty text on success, else the reason.
  /// Opening closes what was open.
  std::string open(const std::filesystem::path& file);
  const std::filesystem::path& file_name() const { return file_; }
  bool has_video() const { return has_video_; }
  bool has_audio() const { return has_audio_; }

  /// Plays the open file from its start (nothing when none is open).
  void play();
  /// True from play until the last picture is shown and the sound has ended.
  bool is_playing() const;
  void stop();
  /// Stops and forgets the file.
  void close();

  /// Pictures shown and sound frames played in the current or last playing.
  int frames_shown() const { return frames_shown_; }
  int64_t audio_frames_played() const;
  bool audible() const;

 private:
  struct Worker;
  void show_due_frames();

  std::filesystem::path file_;
  bool has_video_ = false;
  bool has_audio_ = false;
  QPointer<FilmDisplay> display_;
  QTimer pacer_;
  std::unique_ptr<Worker> worker_;
  int frames_shown_ = 0;
  int64_t last_audio_frames_ = 0;
};

}  // namespace cabsim
