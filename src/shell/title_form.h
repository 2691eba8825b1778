// The title form TForm5, the program's main window: the opening film, the
// title picture, the run menu with its eight entries and the train button,
// and the status line on which a run reports its set-up. A chosen run is
// handed to a new driving form shown modally over it.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "platform/media_player.h"
#include "shell/controller_devices.h"
#include "shell/shell_services.h"
#include "shell/title_catalogue.h"
#include "state/run.h"
#include "state/settings_store.h"

namespace cabsim {

class TForm1;
class TForm4;
class RunRecordForm;

/// The title's button of the run records and its menu.
inline constexpr const char* kRecordsButton = "走行記録";
inline constexpr const char* kNoRecords = "走行記録はまだありません";

/// "Formを作成しています": the status while the driving form is made.
inline constexpr const char* kStatusCreatingForm = "Formを作成しています";

class TForm5 final : public QWidget {
  Q_OBJECT

 public:
  /// The title state: the opening film, the title picture, the run menu.
  enum State : int { kOpening = 0, kTitle = 2, kMenu = 3 };

  static constexpr int kTimerMs = 100;
  /// Ticks of the opening film after which the title comes by itself (160 s).
  static constexpr int kOpeningTickLimit = 1599;
  /// Menu ticks after which the last element (`back`) is shown and the timer stops.
  static constexpr int kMenuBuiltTicks = 11;
  /// The form while the opening film plays, placed as a 1000 x 666 window.
  static constexpr QSize kFilmSize{640, 360};
  static constexpr QSize kFilmPlacedAs{1000, 666};
  /// The title and the run menu; the status line below it.
  static constexpr QSize kTitleSize{800, 600};
  static constexpr int kHeightWithStatus = 618;
  static constexpr int kStatusTop = 600;
  static constexpr QPoint kCursorOffset{-32, 7};

  /// `program_dir` is the folder every relative path starts from.
  TForm5(std::filesystem::path program_dir, SettingsStore& settings, ShellServices services,
         QWidget* parent = nullptr);
  ~TForm5() override;

  /// Checks the program folder, starts the opening film and chooses the
  /// title picture. False when the program folder is wrong (reported
  /// through the services' fail).
  bool FormCreate();

  // The form's handlers.
  void Timer1Timer();
  void Imageclick();
  /// `sender`: a choosable entry, or `train1` after a right-click on it.
  void lineclick(QLabel* sender);
  void Menumousedown(QLabel* sender, Qt::MouseButton button);
  /// `sender`: `train1` or `map01`.
  void Trainclick(QLabel* sender);
  void backclick();
  void quitClick();
  void helpclick();
  /// The `folder` button on the title picture: a folder dialog; the chosen
  /// folder becomes the route folder (change_program_folder).
  void folderclick();

  /// Makes `folder` the route folder of the title: its pictures, its runs and
  /// its help notes, remembered in the settings for the next start. A folder
  /// without cabworks.dat gets the program's message, and the title stays on
  /// the folder it had (false).
  bool change_program_folder(const std::filesystem::path& folder);

  /// Shows the driving form of `selection` modally over the hidden title
  /// and puts the title back afterwards (when `title_after`). False when the
  /// run could not be set up. A failure thrown while building or showing the
  /// form propagates after the title is restored.
  bool run_driving_form(const RunSelection& selection, bool title_after = true);

  /// The status line Label1, repainted at once.
  void set_status(const QString& text);

  // Seams: the file dialog of the train choice and the folder dialog of the
  // route folder (an empty text: cancelled), the desktop handler of the help
  // page, what happens when the title closes, and a look at the driving form
  // once it is on show.
  std::function<QString()> choose_train_file;
  std::function<QString()> choose_route_folder;
  std::function<bool(const std::filesystem::path&)> open_help;
  std::function<void()> on_closed;
  std::function<void(TForm1&)> driving_form_shown;

  void set_help_form(TForm4* help) { help_ = help; }

  /// Where the runs' records are kept; empty: runs are not recorded on disk
  /// and the title offers no records. Set before the title is shown.
  void set_record_folder(const std::filesystem::path& folder);
  /// The records button's menu of the last runs, newest first.
  void RecordsClick();
  /// Opens the record saved at `summary` in the record window; a record
  /// that cannot be read gets its message. False then.
  bool open_run_record(const std::filesystem::path& summary);
  /// The record window on show, if any.
  RunRecordForm* record_form() const { return record_form_.get(); }
  QPushButton* records_button() const { return records_; }
  void set_debug_mode(bool on) { debug_mode_ = on; }

  // What a test or a person can look at.
  int state() const { return state_; }
  bool shift_flag() const { return shift_; }
  int menu_counter() const { return menu_counter_; }
  int opening_counter() const { return opening_counter_; }
  bool timer_enabled() const { return Timer1.isActive(); }
  QLabel* entry(int i) const { return lines_[static_cast<size_t>(i)]; }
  QLabel* component(const QString& name) const;
  QLabel* status_line() const { return Label1; }
  QWidget* film_area() const { return DXDraw1; }
  MediaPlayer& media_player() { return MediaPlayer1; }
  MediaPlayer& sound_player() { return sound_; }
  const std::string& route_file() const { return route_file_; }
  const std::string& chosen_train_file() const { return chosen_train_file_; }
  const std::string& chosen_train_dir() const { return chosen_train_dir_; }
  /// The selection of the last run started from the title.
  const RunSelection& last_selection() const { return selection_; }
  TForm1* driving_form() const { return form_.get(); }
  const std::filesystem::path& program_dir() const { return program_dir_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_components();
  QLabel* make_picture(const QString& name, QPoint at, QSize design_size);
  void set_picture(QLabel* label, const std::string& file);
  void show_picture_in_image1(const std::string& file);
  /// Client size `size` with the window at `top_left`, kept on the screen.
  void place(QSize size, QPoint top_left);
  void set_client_height(int height);
  void start_title_music();
  /// A click or mouse-down on one of the form's pictures.
  void clicked(QLabel* label);
  /// Runs `handler`; a failure it throws is shown as a message.
  void guarded(const std::function<void()>& handler);
  const CatalogueEntry* catalogue_entry(const QLabel* label) const;
  std::optional<QString> ask_train_file();
  /// Loads the pictures of the entries, the train button and the form's own
  /// buttons from the route folder.
  void load_folder_pictures();

  std::filesystem::path program_dir_;
  SettingsStore& settings_;
  ShellServices services_;
  TForm4* help_ = nullptr;
  bool debug_mode_ = false;

  int state_ = kOpening;
  bool shift_ = false;
  int menu_counter_ = 0;
  int opening_counter_ = 0;
  std::string title_picture_;
  std::string menu_picture_ = kMenuPicture;
  std::string route_file_;
  std::string train_file_;
  std::string train_dir_;
  std::string chosen_train_file_;
  std::string chosen_train_dir_;
  RunSelection selection_;

  QTimer Timer1;
  MediaPlayer MediaPlayer1;
  MediaPlayer sound_;  // the start sound
  QLabel* Image1 = nullptr;
  QWidget* DXDraw1 = nullptr;
  std::array<QLabel*, kRunCatalogue.size()> lines_{};
  QLabel* train1 = nullptr;
  QLabel* map01 = nullptr;
  QLabel* cts = nullptr;
  QLabel* quit = nullptr;
  QLabel* back = nullptr;
  QLabel* HELP = nullptr;
  QLabel* cursor = nullptr;
  QLabel* loading = nullptr;
  QLabel* folder = nullptr;
  QLabel* Label1 = nullptr;
  /// Pad codes, port settings and the joystick, kept from run to run.
  ControllerDevices controllers_;
  std::unique_ptr<TForm1> form_;
  std::filesystem::path record_folder_;
  QPushButton* records_ = nullptr;
  std::unique_ptr<RunRecordForm> record_form_;
};

}  // namespace cabsim
