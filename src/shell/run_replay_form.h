// The replay window of a run record: the run's film frame of each recorded
// sample, paced by the samples' ticks, with the speed, the notches, the limit
// and the driver's inputs as they came. It plays the record back as it was
// sampled; it does not drive the run again.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "platform/bitmap.h"
#include "run/run_record.h"

namespace cabsim {

class FilmSourceFfmpeg;

/// The window's captions.
inline constexpr const char* kReplayWindowTitle = "走行再生";
inline constexpr const char* kReplayPlay = "再生";
inline constexpr const char* kReplayPause = "一時停止";
inline constexpr const char* kReplayInputs = "運転操作";
inline constexpr const char* kReplayNoFilm = "映像がありません";
inline constexpr const char* kReplayNoSamples = "再生する記録がありません";

/// What an input of the driver was, in the program's words ("キー 8",
/// "ホイール 上", "メニュー 解説あり 入", ...).
QString input_text(const RecordedInput& input);

class RunReplayForm final : public QWidget {
  Q_OBJECT

 public:
  /// Milliseconds between two samples: the operation tick.
  static constexpr int kSampleMs = 100;
  /// The picture's size in the window; a film of another size is scaled.
  static constexpr QSize kPictureSize{684, 384};
  /// Milliseconds between two passes of the playback.
  static constexpr int kPassMs = 33;
  /// The faster rate of playback.
  static constexpr int kFastRate = 4;

  explicit RunReplayForm(RunRecordData record, QWidget* parent = nullptr);
  ~RunReplayForm() override;

  void play();
  void pause();
  bool playing() const { return playing_; }
  /// 1 or kFastRate times the recorded pace.
  void set_rate(int rate);
  int rate() const { return rate_; }
  /// Goes to `ms` after the first sample (clamped to the record) and shows
  /// the sample there, the film frame fetched waiting at most `wait`.
  void seek_ms(int64_t ms, std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  int64_t position_ms() const { return position_ms_; }
  int64_t length_ms() const;

  /// The sample on show, -1 for a record without samples.
  int32_t sample_index() const { return shown_sample_; }
  /// The film frame the picture shows (-1 none) and whether it is the
  /// sample's own frame yet.
  int32_t shown_frame() const { return shown_frame_; }
  bool frame_exact() const { return frame_exact_; }
  /// The picture as shown, at the film's own size (black without a film).
  QImage picture() const;

  const RunRecordData& record() const { return record_; }
  QListWidget* input_list() const { return inputs_; }
  QLabel* values() const { return values_; }
  QLabel* note() const { return note_; }
  QSlider* slider() const { return slider_; }
  QPushButton* play_button() const { return play_; }

 private:
  void build_widgets();
  void on_pass();
  void show_sample(int32_t index);
  void follow_inputs(int32_t index);
  void fetch_frame(std::chrono::milliseconds wait);
  void open_film(int32_t film);
  void show_values(const RunSample& x);

  RunRecordData record_;
  std::unique_ptr<FilmSourceFfmpeg> film_;
  int32_t open_film_ = INT32_MIN;  ///< the film open, -1 none, INT32_MIN not chosen yet
  bool film_failed_ = false;       ///< the sample's film could not be opened
  Bitmap frame_;                   ///< the picture on show
  int32_t shown_frame_ = kNoRecordValue;
  bool frame_exact_ = false;

  int64_t position_ms_ = 0;
  int32_t shown_sample_ = kNoRecordValue;
  size_t inputs_shown_ = 0;
  bool playing_ = false;
  int rate_ = 1;
  QTimer pass_;
  QElapsedTimer since_pass_;

  QLabel* picture_ = nullptr;
  QLabel* values_ = nullptr;
  QLabel* note_ = nullptr;
  QLabel* time_ = nullptr;
  QListWidget* inputs_ = nullptr;
  QSlider* slider_ = nullptr;
  QPushButton* play_ = nullptr;
  QPushButton* rate_button_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace cabsim
