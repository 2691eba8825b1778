// Makes the panel through CabPanelView and shows the tick's panel state on
// it; paints the analogue clock; keeps the easy cab panel window.
#include "shell/cab_panel.h"

#include <QApplication>
#include <QKeyEvent>

#include "presentation/panel_clock.h"
#include "shell/clock_face.h"

namespace cabsim {
namespace {

/// Hands `key` to `form` as the keyboard would: the form's key handler runs
/// `keydowns` and `AsciiDown` for it.
void send_key(QWidget* form, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  if (!form) return;
  QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(form, &event);
}

}  // namespace

CabPanel::~CabPanel() {
  // The window is a child of the driving form and usually goes with it.
  delete easy_.data();
}

void CabPanel::create_cab_panel(Run& run, PictureList& pictures, SpriteEngine& sprites,
                                const FileResolver& resolve) {
  (void)resolve;  // the view finds the train's files below the program directory itself
  run_ = &run;
  view_ = std::make_unique<CabPanelView>(pictures, sprites);
  const std::filesystem::path& base = run.selection.program_dir;
  view_->make_indicators(run.train.panel, base, run.view.panel);
  view_->make_panel(run.train.panel, base, run.view.panel);
  view_->apply(run.view.panel);
}

void CabPanel::hide_emergency_lamp() {
  if (!view_ || !run_) return;
  view_->apply(run_->view.panel);
}

void CabPanel::update_cab_panel(Run& run) {
  if (view_) view_->apply(run.view.panel);
  draw_clock(run.view);
  if (easy_) easy_->show_state(run.state, run.state.doors_not_closed != 0);
}

void CabPanel::draw_clock(const RunView& s) {
  // The clock rules note the run clock each time the seconds change; the
  // picture is painted again only then.
  if (!run_ || s.clock_drawn_time < 0 || s.clock_drawn_time == clock_drawn_for_) return;
  const PanelClock& clock = run_->train.panel.Clock;
  if (!analogue_clock_shown(clock)) return;
  paint_clock_face(clock_, clock_hands(clock, s.clock_drawn_time));
  clock_drawn_for_ = s.clock_drawn_time;
  ++clock_paintings_;
}

const Bitmap* CabPanel::clock_bitmap() const {
  return clock_.empty() ? nullptr : &clock_;
}

QPoint CabPanel::clock_position() const {
  if (!run_) return {};
  const PanelClock& clock = run_->train.panel.Clock;
  return {clock.x, clock.y};
}

void CabPanel::show_easy_cab_panel(QWidget* driving_form) {
  if (!run_ || !driving_form) return;  // only while a run is open
  if (!easy_) {
    easy_ = new TForm6(driving_form);
    QPointer<QWidget> form(driving_form);
    easy_->post_character = [form](char c) {
      send_key(form, 0, Qt::NoModifier, QString(QChar(c)));
    };
    easy_->forward_key = [form](const QKeyEvent& e) {
      send_key(form, e.key(), e.modifiers(), e.text());
    };
    easy_->current_reverser = [this]() { return run_ ? run_->state.reverser : int32_t{0}; };
  }
  easy_->show_state(run_->state, run_->state.doors_not_closed != 0);
  easy_->show();
  easy_->raise();
}

void CabPanel::close_easy_cab_panel() {
  if (easy_) {
    easy_->close();
    // Buttons of a closed run post nothing.
    easy_->post_character = {};
    easy_->forward_key = {};
    easy_->current_reverser = {};
  }
  run_ = nullptr;  // the run goes after this
}

}  // namespace cabsim
