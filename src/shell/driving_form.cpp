// Creating and closing a run in the driving form, its widgets, and the
// timers' handlers.
#include "shell/driving_form.h"

#include <QCloseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <cstdlib>

#include "data/shift_jis.h"
#include "operation/film_segments.h"
#include "platform/device_pixels.h"
#include "platform/file_paths.h"
#include "platform/run_pictures.h"
#include "platform/run_record_file.h"
#include "platform/surface.h"
#include "presentation/display_pass.h"
#include "run/form_handlers.h"
#include "run/motion_cycle.h"
#include "run/operation_tick.h"
#include "run/run_assembly.h"
#include "shell/help_form.h"
#include "shell/run_dialogs.h"
#include "shell/sound_output.h"
#include "shell/title_catalogue.h"
#include "shell/value_display_form.h"
#include "sound/sound_channels_silent.h"

namespace cabsim {
namespace {

QString from_sjis(const std::string& bytes) {
  return QString::fromStdString(sjis_to_utf8(bytes));
}

/// Where the diagnostic labels of debug mode stand, right of the cab view.
constexpr int kLabelLeft = 690;
constexpr int kLabelTop = 8;
constexpr int kLabelStep = 20;

}  // namespace

TForm1::TForm1(SettingsStore& settings, ShellServices services,
               std::unique_ptr<CabPanelHooks> panel, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      services_(std::move(services)),
      panel_(std::move(panel)),
      DDSD1(open_sound_output()),
      timers_([this] { on_motion_cycle(); }, [this] { on_operation_tick(); }) {
  setWindowTitle(QString::fromUtf8(kDesignCaption));
  setAttribute(Qt::WA_DeleteOnClose, false);
  if (!DDSD1) DDSD1 = std::make_unique<SilentSoundChannels>();
  run_ = std::make_unique<Run>(*DDSD1, clock_, timers_);
  run_->film = &film_;
  run_->show_film_frame = [this](int32_t n) {
    FilmFrame shown = film_.frame(n, std::chrono::milliseconds(50));
    if (shown.picture) frame_bitmap_ = shown.picture;
  };
  build_widgets();
  idle_.setTimerType(Qt::PreciseTimer);
  connect(&idle_, &QTimer::timeout, this, [this] {
    const auto start = std::chrono::steady_clock::now();
    guard_.run("AppIdle", [this] { AppIdle(); });
    if (on_display_pass) on_display_pass(std::chrono::steady_clock::now() - start);
  });
}

TForm1::~TForm1() {
  FormCloseQuery();
}

void TForm1::build_widgets() {
  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  client->setAutoFillBackground(true);
  QPalette palette = client->palette();
  palette.setColor(QPalette::Window, Qt::black);
  palette.setColor(QPalette::WindowText, Qt::white);
  client->setPalette(palette);
  setCentralWidget(client);
  untendai_ = new DrawingArea(client);
  untendai_->move(0, 0);
  untendai_->on_initialize = [this] { DDRinit(); };
  untendai_->on_finalize = [this] { DDRfin(); };
  untendai_->installEventFilter(this);
  signs_ = std::make_unique<SignColumnPictures>(client);
  for (size_t i = 0; i < labels_.size(); ++i) {
    labels_[i] = new QLabel(client);
    labels_[i]->setObjectName(QString("Label%1").arg(i));
    labels_[i]->setGeometry(kLabelLeft, kLabelTop + kLabelStep * static_cast<int>(i),
                            kClientWidth - kLabelLeft, kLabelStep);
    labels_[i]->hide();
  }
  staf_card_ = new QLabel(client);
  staf_card_->setObjectName("staf");
  staf_card_->hide();
  back_ = new QLabel(client);
  back_->setObjectName("back");
  back_->setGeometry(kBackPosition.x(), kBackPosition.y(), kBackSize, kBackSize);
  back_->setText("◀");
  back_->setToolTip("運転終了");
  back_->installEventFilter(this);
  stopline_ = new QLabel(client);
  stopline_->setObjectName("stopline");
  stopline_->setGeometry(kGaugeLeft, -30, kGaugeMarkSize, kGaugeMarkSize);
  stopline_->setScaledContents(true);  // the mark is stretched to its 15 x 15
  remain_ = new QLabel(client);
  remain_->setObjectName("remain");
  remain_->move(kGaugeLeft, -30 + kRemainBelowMark);
  shown_stopline_top_ = -30;
  stop_ = new QLabel(client);
  stop_->setObjectName("stop");
  stop_->setGeometry(kStopPicturePosition.x(), kStopPicturePosition.y(), kSignCell, kSignCell);
  build_menus();
  setFocusPolicy(Qt::StrongFocus);
}

bool TForm1::FormCreate(const RunSelection& chosen) {
  // The map of the title clicked without a train chosen in the file dialog
  // hands over no train: the standard train is driven then.
  RunSelection selection = chosen;
  if (selection.train_file.empty()) {
    selection.train_file = kStandardTrain;
    selection.train_dir_prefix.clear();
  }
  // Step 1: the diagnostic labels of debug mode.
  for (QLabel* label : labels_) label->setVisible(selection.debug_mode);
  // Step 2: the settings; a missing group is made with its defaults.
  const DrivingSwitches switches = settings_.read_switches();
  // The pad codes the settings lack keep what an earlier run read.
  settings_.read_pad_codes(devices_->pad_codes);
  RunSettings run_settings{switches.Kanko, switches.Information, switches.ATS, switches.Tunnel};
  // Step 3: the work pictures are made as the display pass needs them.
  AssemblySteps steps;
  steps.status = [this](std::string_view text) {
    if (services_.status) services_.status(QString::fromUtf8(text.data(), text.size()));
  };
  steps.files_read = [this](Run& run) { after_files_read(run); };
  steps.sounds_bound = [this](Run&) { panel_->hide_emergency_lamp(); };
  steps.message = [this](std::string_view text) {
    if (services_.message) services_.message(QString::fromUtf8(text.data(), text.size()));
  };
  try {
    assemble_run(*run_, selection, run_settings, resolve_file, steps);
  } catch (const std::exception& e) {
    // A definition file, a picture or a sound that cannot be used: its own
    // message, and the program ends.
    services_.fail(QString::fromStdString(e.what()));
    return false;
  }
  run_->pad_codes = devices_->pad_codes;
  // The rest of step 16: the menus follow the starting state.
  set_menu_checks();
  build_move_menu();
  load_stop_line_pictures(*run_);
  signs_->load(*run_->route, run_->train.StopLine[0], run_->find_file);
  record_ = std::make_unique<RunRecord>(*run_);
  run_->tick_listener = record_.get();
  run_->input_listener = record_.get();
  assembled_ = true;
  follow_state();
  idle_.start(std::max(1, static_cast<int>(untendai_->refresh_interval_ms())));
  return true;
}

void TForm1::after_files_read(Run& run) {
  // Step 9: the cab panel and the timetable card.
  if (services_.status) services_.status(QString::fromUtf8(kStatusDrawingPanel.data()));
  panel_->create_cab_panel(run, DXImageList1, DXSpriteEngine1, resolve_file);
  make_monitor_picture(run);
  load_timetable_card(run);
  // Step 10, the film, follows in the assembly.
}

namespace {

/// `picture` without the colour of its bottom-left pixel, the colour a
/// transparent picture leaves out.
QImage keyed_picture(const Bitmap& picture) {
  if (picture.empty()) return {};
  return key_out_colour(picture.image(), picture.pixel(0, picture.height() - 1));
}

}  // namespace

void TForm1::make_monitor_picture(Run& run) {
  // The route's monitor picture: equally sized patterns over the panel, its
  // bottom-left colour transparent; hidden until a station rule picks a
  // pattern. A picture that cannot be loaded is not shown.
  const MonitorImage& monitor = run.route->Monitor;
  if (!monitor.present || monitor.image.file.empty()) return;
  Bitmap bitmap;
  if (!bitmap.load(run.find_file(monitor.image.file)) || bitmap.empty()) return;
  Picture& picture = DXImageList1.add();
  picture.set_image(bitmap.image());
  picture.set_name("img_mon");
  picture.set_transparent(true);
  picture.set_transparent_colour(picture.bottom_left_colour());
  picture.set_pattern_size(monitor.image.pattern_width, monitor.image.pattern_height);
  Sprite& sprite = DXSpriteEngine1.add_sprite(&picture);
  sprite.x = monitor.image.x;
  sprite.y = monitor.image.y;
  sprite.depth = kMonitorDepth;
  sprite.visible = false;
  monitor_ = &sprite;
}

void TForm1::load_timetable_card(Run& run) {
  const Bitmap card = cabsim::load_timetable_card(run.route->Staf[0], run.find_file);
  if (card.empty()) return;
  // Drawn transparent: the card's bottom-left colour lets the form show through.
  staf_card_->setPixmap(crisp_pixmap(keyed_picture(card)));
  staf_card_->setGeometry(kCardLeft, 0, card.width(), card.height());
  staf_card_->show();
}

void TForm1::load_stop_line_pictures(Run& run) {
  // The train's stop-line picture (drawn into the cab view at the stop
  // marker, and as sign image 0 into the `stop` picture) and the gauge mark.
  // A picture that cannot be loaded is not shown; the run goes on.
  const std::string& marker = run.train.StopLine[0];
  if (!marker.empty() && stop_line_picture_.load(run.find_file(marker))) {
    stop_line_keyed_ = keyed_picture(stop_line_picture_);
    QImage cell(kSignCell, kSignCell, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    QPainter(&cell).drawImage(0, 0, stop_line_keyed_);
    stop_sign_ = crisp_pixmap(cell);
  }
  Bitmap mark;
  const std::string& gauge = run.train.StopLine[1];
  if (!gauge.empty() && mark.load(run.find_file(gauge)))
    stopline_->setPixmap(crisp_pixmap(keyed_picture(mark)));
}

void TForm1::FormActivate() {
  if (!assembled_ || closed_ || timers_.operation_tick_enabled()) return;
  untendai_->initialize();
  const std::string& name = run_->route->Staf[1];
  if (!name.empty() && still_picture_.load(run_->find_file(name))) {
    scene_bitmap_.copy_from(still_picture_);
    scene_surface_.copy_in(scene_bitmap_);
    scene_size_ = QSize(scene_bitmap_.width(), scene_bitmap_.height());
  }
  if (!untendai_->can_draw()) return;
  untendai_->fill(Qt::black);
  DXSpriteEngine1.draw(untendai_->back_buffer());
  untendai_->draw(scene_surface_, 0, 0, false);
  untendai_->present();
  forget_display();  // the first pass of the run draws all of its picture
  // The first frame is decoded while the driver looks at the still picture,
  // so the first pass of the run does not wait for it.
  if (const std::optional<int32_t> first = film_frame_to_show(run_->state);
      first && film_.is_open())
    film_.prefetch(*first);
}

void TForm1::DDRinit() {
  scene_surface_ = Surface(684, 384);
  kilometre_surface_ = Surface(684, 384);
  clock_surface_ = Surface(50, 50);
  scene_size_ = QSize();
  make_overlay_fonts();
  kilometre_font_ = make_font(FontSpec{"Meiryo", 6, false, false});
  forget_display();
}

void TForm1::DDRfin() {
  scene_surface_ = Surface();
  kilometre_surface_ = Surface();
  clock_surface_ = Surface();
}

void TForm1::FormCloseQuery() {
  if (closed_) return;
  closed_ = true;
  idle_.stop();  // the idle handler goes first
  timers_.set_motion_cycle(false);
  timers_.set_operation_tick(false);
  if (ComPort1 && ComPort1->is_open()) ComPort1->close();
  const DrivingSwitches switches{run_->settings.Kanko, run_->settings.Information,
                                 run_->settings.ATS, run_->settings.Tunnel};
  run_->input_listener = nullptr;
  run_to_rest(*run_);
  run_->tick_listener = nullptr;
  save_run_record_file();
  panel_->close_easy_cab_panel();
  if (values_ && values_->isVisible()) {
    run_->view.value_display_shown = 0;
    follow_value_display();  // keeps its place for the next run
  }
  if (help_) {
    help_->forward_keys = {};
    help_->hide();
  }
  film_.close();
  for (int c = 0; c < DDSD1->channel_count(); ++c) DDSD1->stop(c);
  DDSD1->unload_all();
  frame_bitmap_.reset();
  scene_bitmap_ = Bitmap();
  still_picture_ = Bitmap();
  stop_line_picture_ = Bitmap();
  stop_line_keyed_ = QImage();
  signs_->release();
  run_->film = nullptr;
  run_->show_film_frame = {};
  run_.reset();  // nothing of the run outlives its sounds
  DDSD1 = open_sound_output();
  if (!DDSD1) {
    services_.fail(QString::fromUtf8(kSoundReinitFailed));
    return;
  }
  settings_.write_switches(switches);  // a failed write is ignored
  untendai_->finalize();
}

void TForm1::save_run_record_file() {
  if (!record_ || record_folder.empty() || record_->data().samples.empty()) return;
  std::string error;
  const auto saved = save_run_record(record_->data(), record_folder, record_stem_now(), error);
  if (saved)
    saved_record_ = *saved;
  else if (services_.message)
    services_.message(QString::fromStdString(error));
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormCloseQuery();
  event->accept();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FormActivate();
}

void TForm1::on_motion_cycle() {
  if (run_) guard_.run("MMTimer1Timer", [this] { MMTimer1Timer(*run_); });
}

void TForm1::on_operation_tick() {
  if (!run_) return;
  guard_.run("Timer1Timer", [this] { Timer1Timer(*run_); });
  deliver_posted_keys();  // what the pad posted, after the tick
  if (auto* silent = dynamic_cast<SilentSoundChannels*>(DDSD1.get()))
    silent->advance(UiTimer::kFormTimerMs);
  if (after_operation_tick) after_operation_tick(*run_);
  panel_->update_cab_panel(*run_);
  follow_state();
  update_value_display();
  show_run_message();
  ask_crew_change();
}

namespace {

/// Where the value display stood, kept in the settings as "x,y".
constexpr std::string_view kValueDisplayPlace = "ValueDisplayPlace";

}  // namespace

void TForm1::make_value_display() {
  values_ = std::make_unique<TForm3>(this);
  if (run_ && !run_->view.value_display_caption.empty())
    values_->setWindowTitle(QString::fromStdString(run_->view.value_display_caption));
  values_->forward_key = [this](QKeyEvent* event) { key_pressed(event); };
  values_->reload_speed_units = [this] {
    if (run_) guard_.run("Button1Click", [this] { Button1Click(*run_); });
  };
  values_->jump = [this](const QString& text) {
    if (!run_) return;
    const std::string failure = Button2Click(*run_, text.toStdString());
    if (!failure.empty() && services_.message) services_.message(QString::fromStdString(failure));
  };
  values_->toggle_resistance = [this] {
    if (!run_) return;
    Button3Click(*run_);
    values_->show_resistance_off(run_->state.resistance_off != 0);
  };
  values_->channel_selected = [this](int channel) {
    if (run_) sound_grid_selected(*run_, channel);
  };
  // Beside the driving form, or where the driver last put it.
  QPoint place = geometry().topRight() + QPoint(8, 0);
  if (auto kept = settings_.read_text(kValueDisplayPlace)) {
    const QStringList xy = QString::fromStdString(*kept).split(',');
    bool x_ok = false, y_ok = false;
    const int x = xy.value(0).toInt(&x_ok), y = xy.value(1).toInt(&y_ok);
    if (xy.size() == 2 && x_ok && y_ok && std::abs(x) < 100000 && std::abs(y) < 100000)
      place = QPoint(x, y);
  }
  values_->move(place);
}

void TForm1::follow_value_display() {
  if (!run_) return;
  const bool wanted = run_->view.value_display_shown != 0;
  if (!values_) {
    if (!wanted) return;
    make_value_display();
  }
  if (wanted == values_->isVisible()) return;
  if (wanted) {
    values_->show();
    update_value_display();
    activateWindow();  // the keys stay with the cab
  } else {
    const QPoint at = values_->pos();
    settings_.write_text(kValueDisplayPlace, std::to_string(at.x()) + "," + std::to_string(at.y()));
    values_->hide();
  }
}

void TForm1::update_value_display() {
  // Step 40 and step 45: nothing at all while the form is hidden.
  if (!run_ || !values_ || !values_->isVisible()) return;
  values_->show_values(value_display(*run_, {last_fetched_frame_, fps_}));
  values_->show_sounds(run_->sounds);
  values_->show_resistance_off(run_->state.resistance_off != 0);
}

void TForm1::show_run_message() {
  if (!run_ || run_->view.message.empty()) return;
  const std::string text = std::move(run_->view.message);
  run_->view.message.clear();
  // The box runs its own event loop, in which the run goes on: a message
  // asked for meanwhile is dropped rather than stacked on this one.
  show_message(text);
}

void TForm1::show_message(const std::string& text) {
  if (showing_message_ || !services_.message) return;
  showing_message_ = true;
  services_.message(QString::fromStdString(text));
  showing_message_ = false;
}

void TForm1::follow_state() {
  if (!run_) return;
  const RunView& s = run_->view;
  setWindowTitle(QString::fromStdString(s.window_caption));
  if (start1_) start1_->setText(QString::fromStdString(s.start_caption));
  if (run_->state.debug_mode) {
    for (size_t i = 0; i < labels_.size(); ++i) {
      const std::string& text = s.debug_labels[i];
      labels_[i]->setText(i + 1 == labels_.size() ? QString::fromStdString(text) : from_sjis(text));
    }
  }
  // The timetable card: the form widens to show it and the arrows move it.
  QWidget* client = centralWidget();
  if (client->width() != s.client_width && s.client_width > 0 && s.client_width < 4096) {
    client->setFixedWidth(s.client_width);
    adjustSize();
  }
  staf_card_->move(s.timetable_card_left, 0);
  follow_stop_gauge();
  signs_->follow(s.signs, s.slope_text);
  follow_monitor();
  follow_value_display();
  follow_controller_menu();
}

void TForm1::follow_monitor() {
  if (!monitor_) return;
  const int32_t pattern = run_->view.monitor_pattern;
  monitor_->visible = pattern >= 0;
  if (pattern >= 0) monitor_->pattern = pattern;  // one the picture lacks draws nothing
}

void TForm1::follow_stop_gauge() {
  const RunView& s = run_->view;
  if (s.stopline_top != shown_stopline_top_) {
    shown_stopline_top_ = s.stopline_top;
    stopline_->move(kGaugeLeft, s.stopline_top);
    remain_->move(kGaugeLeft, s.stopline_top + kRemainBelowMark);
  }
  const QString remain = QString::fromStdString(s.remain_text);
  if (remain_->text() != remain) {
    remain_->setText(remain);
    remain_->adjustSize();
  }
  const bool stop = s.stop_picture_shown != 0;
  if (stop != stop_shown_) {
    stop_shown_ = stop;
    if (stop)
      stop_->setPixmap(stop_sign_);
    else
      stop_->clear();
  }
}

}  // namespace cabsim
