// The driving form's menus, keys, wheel and clicks, each reaching its
// handler of the run.
#include <QActionGroup>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWheelEvent>

#include "data/shift_jis.h"
#include "operation/stations.h"
#include "run/controllers.h"
#include "run/form_handlers.h"
#include "run/keyboard.h"
#include "run/start_pause.h"
#include "run/station_move.h"
#include "shell/driving_form.h"
#include "shell/help_form.h"
#include "shell/run_dialogs.h"
#include "shell/serial_settings_dialog.h"
#include "shell/value_display_form.h"

namespace cabsim {
namespace {

QString from_sjis(const std::string& bytes) {
  return QString::fromStdString(sjis_to_utf8(bytes));
}

std::optional<VirtualKey> virtual_key_of(int key) {
  switch (key) {
    case Qt::Key_Backspace:
      return VirtualKey::kBackspace;
    case Qt::Key_ScrollLock:
      return VirtualKey::kScrollLock;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VirtualKey::kEnter;
    case Qt::Key_PageUp:
      return VirtualKey::kPageUp;
    case Qt::Key_PageDown:
      return VirtualKey::kPageDown;
    case Qt::Key_Left:
      return VirtualKey::kLeft;
    case Qt::Key_Right:
      return VirtualKey::kRight;
    default:
      break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
    return static_cast<VirtualKey>(static_cast<int>(VirtualKey::kF1) + (key - Qt::Key_F1));
  return std::nullopt;
}

/// A menu item, named as the form names it.
QAction* item(QMenu* menu, const char* name, const QString& caption, bool enabled = true) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  action->setEnabled(enabled);
  return action;
}

QAction* check_item(QMenu* menu, const char* name, const char* caption) {
  QAction* action = item(menu, name, QString::fromUtf8(caption));
  action->setCheckable(true);
  return action;
}

}  // namespace

void TForm1::build_menus() {
  QMenuBar* bar = menuBar();
  start1_ = bar->addAction("Start");
  start1_->setObjectName("start1");
  connect(start1_, &QAction::triggered, this, [this] { start1Click(); });

  move_menu_ = bar->addMenu("Move");
  move_menu_->setObjectName("GoTo1");

  QMenu* show = bar->addMenu("Display");
  show->setObjectName("Show1");
  connect(item(show, "menu_d1", "操作説明(&U)"), &QAction::triggered, this,
          [this] { menu_d1Click(); });
  connect(check_item(show, "D1", "解説あり(&D)"), &QAction::toggled, this, [this](bool on) {
    if (run_) D1Click(*run_, on);
  });
  QAction* easy = item(show, "N3", "かんたん運転台(&E)", panel_->has_easy_cab_panel());
  connect(easy, &QAction::triggered, this, [this] { panel_->show_easy_cab_panel(this); });
  connect(check_item(show, "OFF1", "喚呼なし(&K)"), &QAction::toggled, this, [this](bool on) {
    if (run_) OFF1Click(*run_, on);
  });
  connect(check_item(show, "OFF2", "入門モード(&A)"), &QAction::toggled, this, [this](bool on) {
    if (run_) OFF2Click(*run_, on);
  });
  connect(check_item(show, "OFFV1", "視覚効果OFF(&V)"), &QAction::toggled, this, [this](bool on) {
    if (run_) OFFV1Click(*run_, on);
  });
  // P1 stays hidden as it always was; N2 opens the same dialog, so that a
  // diesel engine that stalled can be started again.
  QAction* p1 = item(show, "P1", "列車設定(&P)");
  p1->setVisible(false);
  connect(p1, &QAction::triggered, this, [this] { N2Click(); });
  connect(item(show, "N2", "列車設定(&T)"), &QAction::triggered, this, [this] { N2Click(); });

  // The controllers: one kind checked at a time; the serial port's settings
  // and connection; the pad's axes in the caption.
  QMenu* control = bar->addMenu("Controller(&C)");
  control->setObjectName("Controller1");
  auto* kinds = new QActionGroup(control);
  kinds->setExclusive(true);
  const char* kind_items[][2] = {{"COM11", "標準/TSマスコン(&N)"},
                                 {"COM21", "電車でGO!コントローラ Windows版(&W)"},
                                 {"COM31", "電車でGO!コントローラ PlayStation版(&P)"},
                                 {"COM41", "三鶯重工 OHC-PC01(&S)"}};
  for (int32_t kind = 0; kind < 4; ++kind) {
    QAction* a = check_item(control, kind_items[kind][0], kind_items[kind][1]);
    kinds->addAction(a);
    a->setChecked(kind == kStandardController);
    connect(a, &QAction::triggered, this, [this, kind] { COMClick(kind); });
  }
  control->addSeparator();
  connect(item(control, "Setup1", QString::fromUtf8("TSマスコン（設定）(&P)")), &QAction::triggered,
          this, [this] { Setup1Click(); });
  connect(check_item(control, "Connect1", "TSマスコン（接続）(&C)"), &QAction::triggered, this,
          [this] { Connect1Click(); });
  connect(check_item(control, "debug1", "デバッグオプション(&D)"), &QAction::toggled, this,
          [this](bool on) { debug1Click(on); });

  QMenu* save = bar->addMenu("Save(&S)");
  save->setObjectName("SaveS1");
  connect(save, &QMenu::aboutToShow, this, [this] { Saveloadclick(); });
  QMenu* save_to = save->addMenu(QString::fromUtf8("運転状態を保存(&S)"));
  save_to->setObjectName("S2");
  QMenu* load_from = save->addMenu(QString::fromUtf8("運転状態を復元(&L)"));
  load_from->setObjectName("L1");
  for (int slot = 1; slot <= kSaveSlots; ++slot) {
    const std::string n = std::to_string(slot);
    connect(item(save_to, ("Save" + n).c_str(), kNoData), &QAction::triggered, this,
            [this, slot] { S2Click(slot); });
    connect(item(load_from, ("Load" + n).c_str(), kNoData, false), &QAction::triggered, this,
            [this, slot] { L1Click(slot); });
  }
}

void TForm1::set_menu_checks() {
  const RunSettings& settings = run_->settings;
  const CabworksText& text = run_->text;
  const auto set = [this](const char* name, int32_t value) {
    if (value == 1) menu_item(name)->setChecked(true);
    if (value == 0) menu_item(name)->setChecked(false);
  };
  set("OFF1", settings.Kanko);
  set("D1", settings.Information);
  set("OFF2", settings.ATS);
  set("OFFV1", settings.Tunnel);
  move_menu_->setTitle(from_sjis(text.Move));
  findChild<QMenu*>("Show1")->setTitle(from_sjis(text.Display));
  findChild<QMenu*>("Controller1")->setTitle(from_sjis(text.Control));
  findChild<QMenu*>("SaveS1")->setTitle(from_sjis(text.Save));
}

void TForm1::build_move_menu() {
  // The station jumps come with the move of a train; the stations are listed.
  const RouteTables& route = *run_->route;
  for (int32_t i = 0; i < route.move_menu_count; ++i) {
    const MoveMenuItem& entry = route.move_menu[static_cast<size_t>(i)];
    QAction* action = move_menu_->addAction(from_sjis(entry.caption));
    action->setObjectName(QString::fromStdString(entry.name));
    if (std::optional<int32_t> j = move_item_station(entry.name))
      connect(action, &QAction::triggered, this, [this, j = *j] { StationClick(j); });
    else
      action->setEnabled(false);
  }
}

void TForm1::StationClick(int32_t j) {
  if (!run_) return;
  guard_.run("StationClick", [this, j] { cabsim::StationClick(*run_, j); });
  follow_state();
}

void TForm1::Saveloadclick() {
  const SaveMenu menu = cabsim::Saveloadclick(settings_);
  for (int slot = 1; slot <= kSaveSlots; ++slot) {
    const size_t k = static_cast<size_t>(slot - 1);
    const QString n = QString::number(slot);
    menu_item("Save" + n)->setText(QString::fromStdString(menu.save_captions[k]));
    QAction* load = menu_item("Load" + n);
    load->setText(QString::fromStdString(menu.load_captions[k]));
    load->setEnabled(menu.load_enabled[k]);
  }
}

void TForm1::S2Click(int slot) {
  if (!run_) return;
  std::string message;
  guard_.run("S2Click", [&] { message = cabsim::S2Click(*run_, settings_, slot); });
  if (!message.empty()) show_message(message);
}

void TForm1::L1Click(int slot) {
  if (!run_) return;
  std::string message;
  guard_.run("L1Click", [&] { message = cabsim::L1Click(*run_, settings_, slot); });
  follow_state();
  if (!message.empty()) show_message(message);
}

void TForm1::N2Click() {
  if (!run_) return;
  if (!jumpdlg_) {
    jumpdlg_ = std::make_unique<Tjumpdlg>(this);
    jumpdlg_->ats_is_on = [this] { return run_ && run_->state.ats_on != 0; };
    jumpdlg_->ats_chosen = [this](bool on) {
      if (!run_) return;
      guard_.run("RadioGroup2Click", [&] { jumpdlg_ats(*run_, on); });
      if (on) {
        QSignalBlocker quiet(menu_item("OFF2"));  // the choice is made: no second click
        menu_item("OFF2")->setChecked(false);
      }
      follow_state();
    };
    jumpdlg_->engine_start_chosen = [this] {
      if (run_) guard_.run("RadioGroup4Click", [this] { jumpdlg_engine_start(*run_); });
    };
    jumpdlg_->engine_stop_chosen = [this] {
      if (run_) guard_.run("RadioGroup4Click", [this] { jumpdlg_engine_stop(*run_); });
    };
    jumpdlg_->forward_keys = [this](QKeyEvent* event) { key_pressed(event, false); };
  }
  jumpdlg_->open();
}

void TForm1::ask_crew_change() {
  if (!run_ || !run_->state.crew_change_requested) return;
  run_->state.crew_change_requested = 0;
  if (!kotai_) {
    kotai_ = std::make_unique<TkotaiStop>(this);
    // "運転終了" ends the run as the back picture does.
    connect(kotai_.get(), &QDialog::rejected, this, [this] { BackClick(); });
  }
  kotai_->open();
}

void TForm1::set_controller_devices(ControllerDevices* devices) {
  devices_ = devices ? devices : &own_devices_;
}

void TForm1::COMClick(int32_t kind) {
  if (!run_) return;
  controller_kind_click(*run_, kind);
  // The joystick service starts the first time a pad is chosen.
  if (run_->state.controller_kind != kStandardController && !run_->joystick)
    run_->joystick = &devices_->joystick();
  follow_controller_menu();
}

SerialPort& TForm1::com_port() {
  if (!ComPort1) {
    ComPort1 = devices_->make_serial_port();
    if (devices_->serial_settings) ComPort1->set_settings(*devices_->serial_settings);
    ComPort1->set_receive_handler([this](int waiting) { on_serial_received(waiting); });
  }
  return *ComPort1;
}

void TForm1::Setup1Click() {
  SerialPortSettings chosen = com_port().settings();
  if (!SerialSettingsDialog::edit(chosen, this)) return;
  com_port().set_settings(chosen);  // taken at the next opening
  devices_->serial_settings = chosen;
}

void TForm1::Connect1Click() {
  SerialPort& port = com_port();
  if (port.is_open()) {
    port.close();
  } else {
    const std::string failure = port.open();
    if (!failure.empty()) show_message(failure);
  }
  follow_controller_menu();
}

void TForm1::debug1Click(bool checked) {
  if (!run_) return;
  cabsim::debug1Click(*run_, checked);
  follow_state();
}

void TForm1::on_serial_received(int waiting) {
  if (!ComPort1) return;
  const std::string received = ComPort1->read(waiting);
  if (!run_ || closed_) return;
  guard_.run("RxChar", [&] { RxChar(*run_, received); });
  deliver_posted_keys();
  follow_state();
}

void TForm1::deliver_posted_keys() {
  if (!run_ || run_->state.posted_keys.empty()) return;
  guard_.run("AsciiDown", [this] { cabsim::deliver_posted_keys(*run_); });
}

void TForm1::follow_controller_menu() {
  if (!run_) return;
  static constexpr const char* kKindItems[] = {"COM11", "COM21", "COM31", "COM41"};
  const int32_t kind = run_->state.controller_kind;
  if (kind >= 0 && kind < 4) menu_item(kKindItems[kind])->setChecked(true);
  menu_item("Connect1")->setChecked(ComPort1 && ComPort1->is_open());
  if (QAction* debug = menu_item("debug1"); debug->isChecked() != (run_->state.usb_debug != 0)) {
    QSignalBlocker quiet(debug);
    debug->setChecked(run_->state.usb_debug != 0);
  }
  const std::string& caption = run_->view.value_display_caption;
  if (values_ && !caption.empty()) {
    const QString title = QString::fromStdString(caption);
    if (values_->windowTitle() != title) values_->setWindowTitle(title);
  }
}

QAction* TForm1::menu_item(const QString& name) const {
  return findChild<QAction*>(name);
}

void TForm1::movieclick() {
  if (!run_) return;
  guard_.run("movieclick", [this] { cabsim::movieclick(*run_); });
  follow_state();
}

void TForm1::start1Click() {
  if (!run_) return;
  guard_.run("start1Click", [this] { cabsim::start1Click(*run_); });
  follow_state();
}

void TForm1::BackClick() {
  if (run_) guard_.run("BackClick", [this] { cabsim::BackClick(*run_); });
}

void TForm1::set_help_form(TForm4* help) {
  help_ = help;
  if (help_) help_->forward_keys = [this](QKeyEvent* event) { key_pressed(event); };
}

void TForm1::menu_d1Click() {
  if (!help_) {
    own_help_ = std::make_unique<TForm4>(run_ ? run_->selection.program_dir : "", this);
    set_help_form(own_help_.get());
  }
  help_->show();
  help_->raise();
}

void TForm1::key_pressed(QKeyEvent* event, bool characters) {
  if (!run_) return;
  if (auto key = virtual_key_of(event->key())) {
    const bool shift = event->modifiers() == Qt::ShiftModifier;
    guard_.run("keydowns", [&] { keydowns(*run_, *key, shift); });
  }
  for (QChar c : characters ? event->text() : QString())
    if (c.unicode() > 0 && c.unicode() < 0x80)
      guard_.run("AsciiDown", [&] { AsciiDown(*run_, static_cast<char>(c.unicode())); });
  follow_state();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  key_pressed(event);
}

void TForm1::wheelEvent(QWheelEvent* event) {
  if (!run_ || event->angleDelta().y() == 0) return;
  const bool up = event->angleDelta().y() > 0;
  guard_.run("mouse_wheel", [&] { mouse_wheel(*run_, up); });
  follow_state();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    if (watched == untendai_) movieclick();
    if (watched == back_) BackClick();
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace cabsim
