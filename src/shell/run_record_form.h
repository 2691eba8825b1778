// The run record window: the stops with their stop error and times, the
// protection and limit events, and the chart of the run, which can be saved
// as a PNG picture.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QTableWidget>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "run/run_record.h"

namespace cabsim {

class RunReplayForm;

/// The window's captions.
inline constexpr const char* kRecordWindowTitle = "走行記録";
inline constexpr const char* kRecordSaveChart = "グラフをPNGで保存";
inline constexpr const char* kRecordClose = "閉じる";
inline constexpr const char* kRecordReplay = "再生";
inline constexpr const char* kRecordChartNotSaved = "グラフを保存できません";

/// A run clock (1/30 s since midnight) as "HH:MM:SS", "-" for none.
QString clock_text(int32_t clock);
/// What an event was, in the program's words.
QString event_text(RunEventKind kind);

class RunRecordForm final : public QWidget {
  Q_OBJECT

 public:
  /// The chart's size in the window and in the PNG.
  static constexpr QSize kChartSize{960, 360};

  /// `when`: the time the run was saved, shown in the caption (may be empty).
  explicit RunRecordForm(RunRecordData record, const QString& when = {}, QWidget* parent = nullptr);
  ~RunRecordForm() override;

  /// Opens the replay window of the record (the "再生" button), or raises it.
  void open_replay();
  RunReplayForm* replay_form() const { return replay_.get(); }

  /// Saves the chart as a PNG picture at `file`; false when it cannot be written.
  bool save_chart(const std::filesystem::path& file) const;

  const RunRecordData& record() const { return record_; }
  QTableWidget* stop_table() const { return stops_; }
  QTableWidget* event_table() const { return events_; }
  QLabel* chart() const { return chart_; }

 private:
  void fill_stops();
  void fill_events();
  void ask_and_save_chart();

  RunRecordData record_;
  QTableWidget* stops_ = nullptr;
  QTableWidget* events_ = nullptr;
  QLabel* chart_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* close_ = nullptr;
  QPushButton* replay_button_ = nullptr;
  std::unique_ptr<RunReplayForm> replay_;
};

}  // namespace cabsim
