// The title form: its pictures, the opening, the run menu, the choice of a
// run and a train, and the driving form shown modally over it.
#include "shell/title_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <algorithm>

#include "data/rounding.h"
#include "platform/bitmap.h"
#include "platform/device_pixels.h"
#include "platform/file_paths.h"
#include "platform/program_folder.h"
#include "platform/run_record_file.h"
#include "platform/shell_open.h"
#include "shell/cab_panel.h"
#include "shell/driving_form.h"
#include "shell/help_form.h"
#include "shell/run_record_form.h"
#include "shell/title_pictures.h"

namespace cabsim {
namespace {

/// Sizes of the pictures while their files are missing: the empty area
/// stays where the picture would be, and stays clickable.
constexpr QSize kEntrySize{300, 50};
constexpr QSize kMapSize{460, 120};
constexpr QSize kTrainSize{150, 80};
constexpr QPoint kTrainPosition{630, 500};
constexpr QPoint kMapPosition{170, 470};
constexpr QPoint kCtsPosition{320, 540};
constexpr QPoint kQuitPosition{739, 571};
constexpr QPoint kHelpPosition{683, 571};
constexpr QPoint kLoadingPosition{345, 271};
/// The route folder button, at the bottom left of the title picture, on the
/// line of `quit`.
constexpr QPoint kFolderPosition{8, 571};
/// The records button, right of the folder button on the title picture.
constexpr QSize kRecordsSize{84, 22};
constexpr int kRecordsGap = 6;
/// Runs the records menu lists at most.
constexpr size_t kRecordsListed = 10;

/// Ends a local event loop when the watched window is closed.
class CloseWatch final : public QObject {
 public:
  explicit CloseWatch(QEventLoop& loop) : loop_(loop) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close) loop_.quit();
    return false;
  }

 private:
  QEventLoop& loop_;
};

int centred(int screen, int window) {
  return static_cast<int>(round_half_even((screen - window) / 2.0L));
}

}  // namespace

TForm5::TForm5(std::filesystem::path program_dir, SettingsStore& settings, ShellServices services,
               QWidget* parent)
    : QWidget(parent),
      program_dir_(std::move(program_dir)),
      settings_(settings),
      services_(std::move(services)) {
  setWindowTitle(QApplication::applicationDisplayName());
  setObjectName("Form5");
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::black);
  palette.setColor(QPalette::WindowText, Qt::white);
  setPalette(palette);
  setFocusPolicy(Qt::StrongFocus);
  if (!services_.status) services_.status = [this](const QString& text) { set_status(text); };
  build_components();
  Timer1.setInterval(kTimerMs);
  connect(&Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
  setFixedSize(kTitleSize);
}

TForm5::~TForm5() {
  Timer1.stop();
  form_.reset();
  MediaPlayer1.close();
  sound_.close();
}

QLabel* TForm5::make_picture(const QString& name, QPoint at, QSize design_size) {
  auto* label = new QLabel(this);
  label->setObjectName(name);
  label->setGeometry(QRect(at, design_size));
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->installEventFilter(this);
  label->hide();
  return label;
}

void TForm5::build_components() {
  Image1 = make_picture("Image1", {0, 0}, kTitleSize);
  Image1->show();
  DXDraw1 = new QWidget(this);
  DXDraw1->setObjectName("DXDraw1");
  DXDraw1->setGeometry(QRect({0, 0}, kFilmSize));
  DXDraw1->installEventFilter(this);
  MediaPlayer1.set_display(DXDraw1, QRect({0, 0}, kFilmSize));
  for (size_t i = 0; i < kRunCatalogue.size(); ++i) {
    const CatalogueEntry& e = kRunCatalogue[i];
    lines_[i] = make_picture(e.name, {e.x, e.y}, kEntrySize);
  }
  map01 = make_picture("map01", kMapPosition, kMapSize);
  train1 = make_picture("train1", kTrainPosition, kTrainSize);
  auto button = [this](TitleButton b, QPoint at) {
    const QPixmap picture = title_button_picture(program_dir_, b);
    QLabel* label =
        make_picture(title_button_name(b), at, picture.deviceIndependentSize().toSize());
    label->setPixmap(picture);
    return label;
  };
  cts = button(TitleButton::cts, kCtsPosition);
  quit = button(TitleButton::quit, kQuitPosition);
  back = button(TitleButton::back, kQuitPosition);
  HELP = button(TitleButton::HELP, kHelpPosition);
  loading = button(TitleButton::loading, kLoadingPosition);
  cursor = button(TitleButton::cursor, {0, 0});
  folder = button(TitleButton::folder, kFolderPosition);
  folder->setToolTip(QString::fromUtf8(kFolderButtonTip));
  records_ = new QPushButton(QString::fromUtf8(kRecordsButton), this);
  records_->setObjectName("records");
  records_->setGeometry(QRect(QPoint(folder->x() + folder->width() + kRecordsGap,
                                     folder->y() + (folder->height() - kRecordsSize.height()) / 2),
                              kRecordsSize));
  records_->setFocusPolicy(Qt::NoFocus);
  records_->hide();
  connect(records_, &QPushButton::clicked, this, [this] { RecordsClick(); });
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(0, kStatusTop, kTitleSize.width(), kHeightWithStatus - kStatusTop);
  Label1->setStyleSheet("color: white; background: black;");
}

QLabel* TForm5::component(const QString& name) const {
  return findChild<QLabel*>(name, Qt::FindDirectChildrenOnly);
}

void TForm5::set_picture(QLabel* label, const std::string& file) {
  Bitmap picture;
  if (!file.empty() && picture.load(resolve_file(program_dir_, file)) && !picture.empty()) {
    label->setPixmap(crisp_pixmap(picture.image()));
    label->resize(picture.width(), picture.height());
  } else {
    label->clear();  // a missing picture leaves an empty area
  }
}

void TForm5::show_picture_in_image1(const std::string& file) {
  set_picture(Image1, file);
  Image1->show();
}

void TForm5::set_status(const QString& text) {
  Label1->setText(text);
  Label1->repaint();
}

void TForm5::place(QSize size, QPoint top_left) {
  // The window stays on the screen's free area, however small the screen.
  setFixedSize(size);
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) {
    move(top_left);
    return;
  }
  const QRect free = screen->availableGeometry();
  const int x =
      std::clamp(top_left.x(), free.left(), std::max(free.left(), free.right() + 1 - size.width()));
  const int y =
      std::clamp(top_left.y(), free.top(), std::max(free.top(), free.bottom() + 1 - size.height()));
  move(x, y);
}

void TForm5::set_client_height(int height) {
  setFixedSize(width(), height);
}

void TForm5::load_folder_pictures() {
  for (size_t i = 0; i < kRunCatalogue.size(); ++i)
    if (*kRunCatalogue[i].picture) set_picture(lines_[i], kRunCatalogue[i].picture);
  set_picture(train1, kTrainPicture);
  for (TitleButton b : {TitleButton::cts, TitleButton::quit, TitleButton::back, TitleButton::HELP,
                        TitleButton::loading, TitleButton::cursor, TitleButton::folder}) {
    QLabel* label = component(title_button_name(b));
    const QPixmap picture = title_button_picture(program_dir_, b);
    label->setPixmap(picture);
    label->resize(picture.deviceIndependentSize().toSize());
  }
}

bool TForm5::FormCreate() {
  // Step 1: the pictures of the run entries and the train button.
  load_folder_pictures();
  // Step 2: the program must stand in its folder.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(resolve_file(program_dir_, kProgramFolderMark), ec)) {
    services_.fail(QString::fromUtf8(kNotInPlace));
    return false;
  }
  // Step 3: the film's size, placed as the 1000 x 666 window of old.
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QSize screen_size = screen ? screen->geometry().size() : kFilmPlacedAs;
  DXDraw1->setGeometry(QRect({0, 0}, kFilmSize));
  place(kFilmSize, {centred(screen_size.width(), kFilmPlacedAs.width()),
                    centred(screen_size.height(), kFilmPlacedAs.height())});
  // Step 4.
  menu_counter_ = 0;
  Timer1.start();
  state_ = kOpening;
  // Step 5: the opening film, if there is one.
  const std::filesystem::path film = resolve_file(program_dir_, kOpeningFilm);
  if (std::filesystem::exists(film, ec)) {
    if (MediaPlayer1.open(film).empty()) {
      MediaPlayer1.play();
    } else {
      MediaPlayer1.close();
      if (services_.message) services_.message(QString::fromUtf8(kOpeningCannotOpen));
    }
  }
  // Step 6.
  for (QLabel* line : lines_) line->hide();
  HELP->hide();
  quit->hide();
  // Step 7: the title picture, one of six at random.
  title_picture_ = kTitlePictures[QRandomGenerator::global()->bounded(
      static_cast<quint32>(kTitlePictures.size()))];
  menu_picture_ = kMenuPicture;
  return true;
}

void TForm5::Timer1Timer() {
  if (state_ == kOpening) {
    const int before = opening_counter_++;
    const bool film_area_shown = !DXDraw1->isHidden();
    if (before == kOpeningTickLimit && film_area_shown) {
      Imageclick();  // the opening ends after 160 s at most
      return;
    }
    if (MediaPlayer1.file_name().empty() && film_area_shown) {
      start_title_music();
      Imageclick();
    }
    return;
  }
  if (state_ != kMenu) return;
  ++menu_counter_;
  quit->hide();
  map01->show();
  // The menu builds up one element a tick.
  for (size_t i = 0; i < lines_.size(); ++i)
    if (menu_counter_ > 2 + static_cast<int>(i)) lines_[i]->show();
  if (menu_counter_ > 10) HELP->show();
  if (menu_counter_ > kMenuBuiltTicks) {
    back->show();
    Timer1.stop();
  }
  cursor->raise();
}

void TForm5::start_title_music() {
  // Without its music the title still comes, silent.
  if (MediaPlayer1.open(resolve_file(program_dir_, kTitleMusic)).empty()) MediaPlayer1.play();
}

void TForm5::Imageclick() {
  if (state_ == kOpening) {
    if (!MediaPlayer1.file_name().empty() && MediaPlayer1.display()) MediaPlayer1.display()->hide();
    DXDraw1->hide();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize screen_size = screen ? screen->geometry().size() : kTitleSize;
    place(kTitleSize, {centred(screen_size.width(), kTitleSize.width()),
                       centred(screen_size.height(), kTitleSize.height())});
    state_ = kTitle;
    cts->show();
    folder->show();
    if (!record_folder_.empty()) records_->show();
    show_picture_in_image1(title_picture_);
  } else if (state_ == kTitle) {
    state_ = kMenu;
    Timer1.start();
    show_picture_in_image1(menu_picture_);
    quit->hide();
    cts->hide();
    folder->hide();
    records_->hide();
    const QPixmap picture = Image1->pixmap();
    if (!picture.isNull())  // the form takes the menu picture's size, in logical pixels
      place(picture.deviceIndependentSize().toSize(), pos());
  }
}

const CatalogueEntry* TForm5::catalogue_entry(const QLabel* label) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i] == label) return &kRunCatalogue[i];
  return nullptr;
}

void TForm5::lineclick(QLabel* sender) {
  // Step 1: the run starts at its first station (RunSelection::start_station 0).
  // Step 2.
  cursor->move(sender->x() + kCursorOffset.x(), sender->y() + kCursorOffset.y());
  cursor->show();
  cursor->raise();
  train1->show();
  // Step 3.
  const CatalogueEntry* entry = catalogue_entry(sender);
  if (entry) route_file_ = entry->route_file;
  // Step 4: with Shift held the map stays as it was.
  if (!shift_) {
    train1->show();
    if (entry) {
      set_picture(map01, entry->map_picture);
      map01->show();
    }
  }
}

std::optional<QString> TForm5::ask_train_file() {
  if (choose_train_file) {
    QString chosen = choose_train_file();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
  }
  QString chosen = QFileDialog::getOpenFileName(this, QString::fromUtf8(kTrainDialogTitle),
                                                QString::fromStdString(program_dir_.string()),
                                                QString::fromUtf8(kTrainDialogFilter));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen;
}

void TForm5::Menumousedown(QLabel* sender, Qt::MouseButton button) {
  if (button != Qt::RightButton) return;
  const std::optional<QString> chosen = ask_train_file();
  if (!chosen) return;
  const std::string path = chosen->toStdString();
  const size_t cut = path.find_last_of('/');
  chosen_train_dir_ = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  chosen_train_file_ = cut == std::string::npos ? path : path.substr(cut + 1);
  lineclick(sender);
}

void TForm5::Trainclick(QLabel* sender) {
  // Nothing to drive until a run is chosen (an empty map before the first
  // choice is no run).
  if (route_file_.empty()) return;
  // Step 1.
  train_file_ = chosen_train_file_;
  train_dir_ = chosen_train_dir_;
  if (chosen_train_file_.empty() && sender == train1) {
    train_file_ = kStandardTrain;
    train_dir_.clear();
  }
  chosen_train_file_.clear();
  chosen_train_dir_.clear();
  // Step 2.
  if (MediaPlayer1.is_playing()) {
    MediaPlayer1.stop();
    MediaPlayer1.close();
  }
  if (sound_.open(resolve_file(program_dir_, kStartSound)).empty()) sound_.play();
  // Steps 3 to 5.
  RunSelection selection;
  selection.program_dir = program_dir_;
  selection.route_file = route_file_;
  selection.train_file = train_file_;
  selection.train_dir_prefix = train_dir_;
  selection.start_station = 0;
  selection.debug_mode = debug_mode_;
  run_driving_form(selection);
}

bool TForm5::run_driving_form(const RunSelection& selection, bool title_after) {
  selection_ = selection;
  // Step 3: the status line comes into view.
  set_client_height(kHeightWithStatus);
  loading->hide();
  set_status(QString::fromUtf8(kStatusCreatingForm));
  auto restore = [&] {
    if (form_) form_->hide();
    loading->hide();
    set_client_height(kTitleSize.height());
    shift_ = false;
    if (title_after) {
      show();
      activateWindow();
    }
  };
  bool created = false;
  try {
    // Step 4: the driving form, modal over the hidden title: this handler
    // waits until it is closed. The title is hidden meanwhile, so the form
    // needs no window modality, which would also lock out the help form.
    form_ = std::make_unique<TForm1>(settings_, services_, std::make_unique<CabPanel>());
    form_->set_help_form(help_);
    form_->set_controller_devices(&controllers_);
    form_->record_folder = record_folder_;
    created = form_->FormCreate(selection);
    if (created) {
      hide();
      form_->show();
      if (driving_form_shown) driving_form_shown(*form_);
      if (!form_->closed()) {
        QEventLoop loop;
        CloseWatch watch(loop);
        form_->installEventFilter(&watch);
        loop.exec();
        form_->removeEventFilter(&watch);
      }
    }
  } catch (...) {
    // Step 5 also after a failure, which then goes on.
    restore();
    form_.reset();
    throw;
  }
  // Step 5, and the record of the run that was driven.
  restore();
  if (created && title_after && !record_folder_.empty()) {
    const RunRecordData* record = form_ ? form_->run_record() : nullptr;
    if (record && !record->samples.empty()) {
      record_form_ = std::make_unique<RunRecordForm>(*record);
      record_form_->show();
    }
  }
  form_.reset();
  set_status(QString());
  return created;
}

void TForm5::backclick() {
  state_ = kTitle;
  show_picture_in_image1(title_picture_);
  for (QLabel* line : lines_) line->hide();
  train1->hide();
  HELP->hide();
  cursor->hide();
  back->hide();
  map01->clear();
  map01->hide();
  cts->show();
  quit->show();
  folder->show();
  folder->raise();
  if (!record_folder_.empty()) {
    records_->show();
    records_->raise();
  }
}

void TForm5::quitClick() {
  form_.reset();
  close();
}

void TForm5::helpclick() {
  const std::filesystem::path readme = resolve_file(program_dir_, kReadme);
  if (open_help)
    open_help(readme);
  else
    open_document(readme);
}

void TForm5::folderclick() {
  QString chosen;
  if (choose_route_folder) {
    chosen = choose_route_folder();
  } else {
    chosen = QFileDialog::getExistingDirectory(this, QString::fromUtf8(kFolderDialogTitle),
                                               QString::fromStdString(program_dir_.string()));
  }
  if (chosen.isEmpty()) return;
  change_program_folder(std::filesystem::path(chosen.toStdString()));
}

bool TForm5::change_program_folder(const std::filesystem::path& chosen) {
  if (!is_program_folder(chosen)) {
    if (services_.message) services_.message(QString::fromUtf8(kNotInPlace));
    return false;
  }
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(chosen, ec);
  program_dir_ = ec ? chosen : absolute;
  // A run or train chosen in the folder before is no choice in this one.
  route_file_.clear();
  chosen_train_file_.clear();
  chosen_train_dir_.clear();
  map01->clear();
  map01->hide();
  cursor->hide();
  load_folder_pictures();
  if (state_ == kTitle) show_picture_in_image1(title_picture_);
  if (state_ == kMenu) show_picture_in_image1(menu_picture_);
  if (help_) help_->load(program_dir_);
  settings_.write_text(kRouteFolderSetting, program_dir_.string());
  return true;
}

void TForm5::guarded(const std::function<void()>& handler) {
  // What a handler throws is shown once; the title goes on.
  try {
    handler();
  } catch (const std::exception& e) {
    if (services_.message) services_.message(QString::fromUtf8(e.what()));
  } catch (...) {
    if (services_.message) services_.message(QString::fromUtf8("unknown failure"));
  }
}

void TForm5::clicked(QLabel* label) {
  if (label == Image1 || label == cts) {
    Imageclick();
  } else if (const CatalogueEntry* entry = catalogue_entry(label)) {
    if (entry->choosable) lineclick(label);
  } else if (label == train1 || label == map01) {
    Trainclick(label);
  } else if (label == back) {
    backclick();
  } else if (label == quit) {
    quitClick();
  } else if (label == HELP) {
    helpclick();
  } else if (label == folder) {
    folderclick();
  }
}

bool TForm5::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
    return QWidget::eventFilter(watched, event);
  auto* mouse = static_cast<QMouseEvent*>(event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (watched == DXDraw1) {
    if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
      guarded([this] { Imageclick(); });
    return true;
  }
  auto* label = qobject_cast<QLabel*>(watched);
  if (!label || !widget) return QWidget::eventFilter(watched, event);
  if (type == QEvent::MouseButtonPress) {
    const CatalogueEntry* entry = catalogue_entry(label);
    if ((entry && entry->choosable) || label == train1)
      guarded([&] { Menumousedown(label, mouse->button()); });
    return true;
  }
  // A click: the left button let go over the picture it went down on.
  if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint()))
    guarded([&] { clicked(label); });
  return true;
}

void TForm5::keyPressEvent(QKeyEvent* event) {
  // The Shift flag: a key held with Shift alone (Shift itself included).
  Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (event->key() == Qt::Key_Shift) mods |= Qt::ShiftModifier;
  if (mods == Qt::ShiftModifier) shift_ = true;
  QWidget::keyPressEvent(event);
}

void TForm5::keyReleaseEvent(QKeyEvent* event) {
  shift_ = false;
  QWidget::keyReleaseEvent(event);
}

void TForm5::closeEvent(QCloseEvent* event) {
  Timer1.stop();
  MediaPlayer1.close();
  sound_.close();
  event->accept();
  if (on_closed) on_closed();
}

}  // namespace cabsim

namespace cabsim {

void TForm5::set_record_folder(const std::filesystem::path& folder) {
  record_folder_ = folder;
  if (folder.empty()) records_->hide();
}

void TForm5::RecordsClick() {
  QMenu menu(this);
  const std::vector<std::filesystem::path> all = list_run_records(record_folder_);
  for (size_t i = 0; i < all.size() && i < kRecordsListed; ++i) {
    const std::filesystem::path file = all[i];
    // The name is the time saved: yyyyMMdd-HHmmss-zzz.
    const QString stem = QString::fromStdString(file.stem().string());
    const QString when = stem.left(4) + "-" + stem.mid(4, 2) + "-" + stem.mid(6, 2) + " " +
                         stem.mid(9, 2) + ":" + stem.mid(11, 2) + ":" + stem.mid(13, 2);
    menu.addAction(when, this, [this, file] { open_run_record(file); });
  }
  if (menu.isEmpty()) menu.addAction(QString::fromUtf8(kNoRecords))->setEnabled(false);
  menu.exec(records_->mapToGlobal(QPoint(0, records_->height())));
}

bool TForm5::open_run_record(const std::filesystem::path& summary) {
  std::string error;
  auto saved = load_run_record(summary, error);
  if (!saved) {
    if (services_.message)
      services_.message(QString::fromUtf8(error.c_str()) + "\n" +
                        QString::fromStdString(summary.filename().string()));
    return false;
  }
  record_form_ = std::make_unique<RunRecordForm>(std::move(saved->data),
                                                 QString::fromStdString(saved->saved_at));
  record_form_->show();
  return true;
}

}  // namespace cabsim
