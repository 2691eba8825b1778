// The cab panel of the driving form: the train's panel pictures and sprites,
// made at set-up and following the panel state after every tick, the
// analogue clock picture, and the easy cab panel window.
#pragma once

#include <QPointer>
#include <memory>

#include "platform/bitmap.h"
#include "shell/cab_panel_hooks.h"
#include "shell/cab_panel_view.h"
#include "shell/easy_cab_panel.h"

namespace cabsim {

class CabPanel : public CabPanelHooks {
 public:
  ~CabPanel() override;

  void create_cab_panel(Run& run, PictureList& pictures, SpriteEngine& sprites,
                        const FileResolver& resolve) override;
  void hide_emergency_lamp() override;
  void update_cab_panel(Run& run) override;

  const Bitmap* clock_bitmap() const override;
  QPoint clock_position() const override;
  uint64_t clock_paintings() const override { return clock_paintings_; }

  bool has_easy_cab_panel() const override { return true; }
  /// Shows the easy cab panel as a tool window of `driving_form`: its
  /// buttons' characters and its keys reach the driving form as key presses.
  void show_easy_cab_panel(QWidget* driving_form) override;
  /// Closes the easy cab panel; the run it followed is closing.
  void close_easy_cab_panel() override;

  /// The easy cab panel window, null until it is first shown.
  TForm6* easy_cab_panel() const { return easy_; }

 private:
  void draw_clock(const RunView& s);

  std::unique_ptr<CabPanelView> view_;
  Run* run_ = nullptr;
  Bitmap clock_;
  int32_t clock_drawn_for_ = -1;  // run clock of the picture in clock_
  uint64_t clock_paintings_ = 0;
  QPointer<TForm6> easy_;
};

}  // namespace cabsim
