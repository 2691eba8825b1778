// The driving form TForm1: one run assembled when it is created, the cab
// view drawn by the display pass, the menus, keys, wheel and clicks passed
// to the run's handlers, and the closing of the run.
#pragma once

#include <QAction>
#include <QDate>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/bitmap.h"
#include "platform/drawing_area.h"
#include "platform/film_source_ffmpeg.h"
#include "platform/picture_list.h"
#include "platform/sprite_engine.h"
#include "platform/steady_clock.h"
#include "platform/surface.h"
#include "presentation/overlay_texts.h"
#include "presentation/scan_line_effects.h"
#include "run/handler_guard.h"
#include "run/run_record.h"
#include "shell/cab_panel_hooks.h"
#include "shell/controller_devices.h"
#include "shell/display_changes.h"
#include "shell/qt_run_timers.h"
#include "shell/shell_services.h"
#include "shell/sign_column_pictures.h"
#include "state/run.h"
#include "state/settings_store.h"

namespace cabsim {

class TForm3;
class TForm4;
class Tjumpdlg;
class TkotaiStop;

/// Message when the sound output cannot be made again as a run closes.
inline constexpr const char* kSoundReinitFailed = "DirectSoundを初期化できませんでした。";

class TForm1 final : public QMainWindow {
  Q_OBJECT

 public:
  /// Client size of the form without and with the timetable card.
  static constexpr int kClientWidth = 830;
  static constexpr int kClientHeight = 704;
  /// Where the timetable card and the small `back` picture sit.
  static constexpr int kCardLeft = 830;
  static constexpr QPoint kBackPosition{800, 670};
  static constexpr int kBackSize = 30;
  /// The stop-position gauge right of the cab view: the 15 x 15 mark at
  /// x 684 (its top follows the distance to the stop) with the metres left
  /// 18 pixels below it.
  static constexpr int kGaugeLeft = 684;
  static constexpr int kGaugeMarkSize = 15;
  static constexpr int kRemainBelowMark = 18;
  /// The `stop` picture of the sign column (a 50 x 50 sign cell), shown
  /// while the train is in a stop zone.
  static constexpr QPoint kStopPicturePosition{780, 175};
  static constexpr int kSignCell = 50;
  /// The monitor picture `img_mon` of the route's `[Monitor]` block is drawn
  /// over the panel pictures at this depth.
  static constexpr int kMonitorDepth = 51;

  TForm1(SettingsStore& settings, ShellServices services,
         std::unique_ptr<CabPanelHooks> panel = std::make_unique<CabPanelHooks>(),
         QWidget* parent = nullptr);
  ~TForm1() override;

  /// Assembles the run of `selection`; false after a fatal failure (already
  /// reported through the services' fail). Without a train file name the
  /// standard train `train_tz100.dat` is driven.
  bool FormCreate(const RunSelection& selection);
  /// The still picture of the route until the run starts.
  void FormActivate();
  /// Closes the run (always allowed): timers, film, sounds, settings.
  void FormCloseQuery();

  // Handlers the menus, keys and clicks reach.
  void movieclick();
  void start1Click();
  void BackClick();
  void menu_d1Click();
  /// A station item of the Move menu: the train moves to station `j`.
  void StationClick(int32_t j);
  /// The Save menu opens: its six items show the slots' titles.
  void Saveloadclick();
  /// Save1..Save3 and Load1..Load3.
  void S2Click(int slot);
  void L1Click(int slot);
  /// The train settings dialog (the menu's N2 "列車設定" item), shown over
  /// the form; the run goes on behind it.
  void N2Click();
  /// Keys of the form and of the help form; `characters` false passes the
  /// virtual keys alone (the train settings dialog).
  void key_pressed(QKeyEvent* event, bool characters = true);

  /// One display pass (the idle handler of the run).
  void AppIdle();

  /// The controller devices and settings of the program, kept across runs;
  /// without them the form keeps its own for its run. Set before FormCreate.
  void set_controller_devices(ControllerDevices* devices);
  ControllerDevices& controller_devices() { return *devices_; }

  // The Controller menu.
  /// COM11Click .. COM41Click: controller kind 0 .. 3, its item alone checked.
  void COMClick(int32_t kind);
  /// The serial port's settings dialog.
  void Setup1Click();
  /// Closes the port when it is open, else opens it; a failure is a message.
  void Connect1Click();
  void debug1Click(bool checked);
  /// The run's serial port; null until the menu first asks for it.
  SerialPort* serial_port() const { return ComPort1.get(); }

  /// The help form of the program (made at start-up); without one the form
  /// makes its own when the menu asks for it.
  void set_help_form(TForm4* help);
  TForm4* help_form() const { return help_; }

  // What a test or a person can look at.
  Run* run() { return run_.get(); }
  DrawingArea* untendai() const { return untendai_; }
  QAction* menu_item(const QString& name) const;
  QLabel* debug_label(int i) const { return labels_[static_cast<size_t>(i)]; }
  const Surface& scene_surface() const { return scene_surface_; }
  FilmSource& film() { return film_; }
  /// The film frame the scene last took in full; -1 none yet.
  int32_t last_fetched_frame() const { return last_fetched_frame_; }
  int frames_per_second() const { return fps_; }
  /// True when the last display pass drew (something it shows had changed).
  bool last_pass_drew() const { return last_pass_drew_; }
  /// The rectangle around what the last pass that drew drew again.
  QRect last_drawn_area() const { return last_drawn_area_; }
  /// The value display, once F3 has asked for it.
  TForm3* value_display_form() const { return values_.get(); }
  /// The train settings and crew-change dialogs, once asked for.
  Tjumpdlg* train_settings_dialog() const { return jumpdlg_.get(); }
  TkotaiStop* crew_change_dialog() const { return kotai_.get(); }
  bool closed() const { return closed_; }
  QLabel* stopline() const { return stopline_; }
  QLabel* remain() const { return remain_; }
  QLabel* stop_picture() const { return stop_; }
  /// The components of the sign column right of the cab view.
  QLabel* sign_picture(SignElement e) const { return signs_->picture(e); }
  QLabel* slope_text() const { return signs_->slope_text(); }
  const SignColumnPictures& sign_column() const { return *signs_; }
  /// The monitor picture's sprite; null when the route has none or it could
  /// not be loaded.
  const Sprite* monitor_sprite() const { return monitor_; }
  QLabel* timetable_card() const { return staf_card_; }

  /// Told how long each display pass took, when set (for measurements).
  std::function<void(std::chrono::nanoseconds)> on_display_pass;
  /// The record of the run, kept from its assembly; once the form has
  /// closed, the record of the run it drove.
  const RunRecordData* run_record() const { return record_ ? &record_->data() : nullptr; }
  /// Where the record is saved as the run closes; empty: not saved.
  std::filesystem::path record_folder;
  /// The summary file the record was saved to, once saved; a failed save
  /// leaves it empty and says so through the services' message.
  std::filesystem::path saved_record() const { return saved_record_; }

  /// Called after the operation tick's steps, before the panel and the
  /// widgets follow the running state, when set (tests hold values there).
  std::function<void(Run&)> after_operation_tick;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Saves the record into record_folder, when set and the run ran.
  void save_run_record_file();
  void build_widgets();
  void build_menus();
  void build_move_menu();
  void set_menu_checks();
  void after_files_read(Run& run);
  void load_timetable_card(Run& run);
  void load_stop_line_pictures(Run& run);
  void make_monitor_picture(Run& run);
  void DDRinit();
  void DDRfin();
  void on_motion_cycle();
  void on_operation_tick();
  void follow_state();
  void follow_stop_gauge();
  void follow_monitor();
  /// Shows the message box the run asked for, if any.
  void show_run_message();
  /// Shows the crew-change question when the station rules asked for it.
  void ask_crew_change();
  void show_message(const std::string& text);
  /// The value display follows F3; while on show, its values follow the run.
  void follow_value_display();
  void make_value_display();
  void update_value_display();
  /// The serial port, made with the program's settings when first needed.
  SerialPort& com_port();
  void on_serial_received(int waiting);
  /// Handles the keys the controllers posted, as typed keys.
  void deliver_posted_keys();
  void follow_controller_menu();

  // The display pass, step by step.
  void fetch_film_frame();
  /// The parts of the drawing area whose picture changed since the last
  /// pass, into changed_; the cab window's picture is made again when it
  /// changed.
  void find_changes();
  /// Widens the changed parts to every turned sprite they cut.
  void take_in_turned_sprites();
  void compose_scene();
  /// The part of the scene surface the film (or still) picture covers.
  QRect scene_rect() const;
  RgbRows scene_rows();
  void draw_stop_line_marker();
  void draw_dark_boxes();
  void untenLine(const std::string& text);
  /// Draws the panel, the cab window, the texts, the kilometre post, the
  /// clock and the fade within `changed`, as a whole picture is drawn.
  void draw_area(QPainter& painter, const QRect& changed);
  void make_overlay_fonts();
  /// The driving texts, drawn over the cab window in the drawing area itself,
  /// at the screen's resolution, within `clip`.
  void write_overlay_texts(QPainter& painter, const QRect& clip);
  /// The kilometre post surface painted again when its texts changed; the
  /// part of the drawing area that changed with it.
  QRect follow_kilometre_post();
  /// The clock surface copied again when the clock was painted; its place.
  QRect follow_clock();
  /// The next pass draws the whole picture.
  void forget_display();

  SettingsStore& settings_;
  ShellServices services_;
  /// What the run's handlers throw is shown once, as a message, and the run
  /// goes on (never out of a Qt event handler).
  HandlerGuard guard_{[this](std::string_view, std::string_view what) {
    if (services_.message) services_.message(QString::fromUtf8(what.data(), what.size()));
  }};
  bool showing_message_ = false;
  std::unique_ptr<TForm3> values_;
  std::unique_ptr<Tjumpdlg> jumpdlg_;
  std::unique_ptr<TkotaiStop> kotai_;
  std::unique_ptr<CabPanelHooks> panel_;
  std::unique_ptr<SoundChannels> DDSD1;
  SteadyClock clock_;
  QtRunTimers timers_;
  FilmSourceFfmpeg film_;
  std::unique_ptr<Run> run_;
  std::unique_ptr<RunRecord> record_;
  std::filesystem::path saved_record_;
  ControllerDevices own_devices_;
  ControllerDevices* devices_ = &own_devices_;
  std::unique_ptr<SerialPort> ComPort1;
  TForm4* help_ = nullptr;
  std::unique_ptr<TForm4> own_help_;

  DrawingArea* untendai_ = nullptr;
  std::array<QLabel*, kDebugLabels> labels_{};
  QLabel* staf_card_ = nullptr;
  QLabel* back_ = nullptr;
  QLabel* stopline_ = nullptr;
  QLabel* remain_ = nullptr;
  QLabel* stop_ = nullptr;
  QPixmap stop_sign_;  // sign image 0: the stop-line picture's first cell
  int32_t shown_stopline_top_ = 0;
  bool stop_shown_ = false;
  std::unique_ptr<SignColumnPictures> signs_;
  Sprite* monitor_ = nullptr;  // in DXSpriteEngine1
  PictureList DXImageList1;
  SpriteEngine DXSpriteEngine1;

  // The four work pictures and the three surfaces of the display.
  std::shared_ptr<const FrameBitmap> frame_bitmap_;
  std::shared_ptr<const FrameBitmap> composed_frame_;  ///< the one the scene was made of
  int32_t last_fetched_frame_ = -1;                    ///< the frame frame_bitmap_ holds in full
  uint32_t fetched_refresh_ = 0;  ///< the view's film_refresh when it was fetched
  Bitmap scene_bitmap_;
  Bitmap still_picture_;
  Bitmap stop_line_picture_;
  QImage stop_line_keyed_;  // the stop-line picture without its transparent colour
  Surface scene_surface_;
  Surface kilometre_surface_;
  Surface clock_surface_;
  QSize scene_size_;  ///< of the picture last copied into the scene surface
  OverlaySizes sizes_{};

  // What the picture on show was drawn from.
  struct OverlayFont {
    QFont font;
    QFontMetrics metrics{QFont()};
  };
  OverlayFont speed_font_;
  OverlayFont text_font_;
  QFont kilometre_font_;
  DisplayChanges changes_;
  ChangedRects changed_;
  int32_t drawn_fade_ = 0;
  bool kilometre_drawn_ = false;
  std::optional<std::string> kilometre_post_;
  QDate kilometre_date_;
  std::string kilometre_clock_;
  QRect kilometre_letters_;  ///< where the surface's letters are
  bool clock_copied_ = false;
  uint64_t clock_paintings_ = 0;
  bool last_pass_drew_ = false;
  QRect last_drawn_area_;

  QTimer idle_;  // the display pass, once per screen refresh
  int64_t last_pass_ms_ = 0;
  int fps_ = 0;
  bool closed_ = false;
  bool assembled_ = false;

  QMenu* move_menu_ = nullptr;
  QAction* start1_ = nullptr;
};

}  // namespace cabsim
