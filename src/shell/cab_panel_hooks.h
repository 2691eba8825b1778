// The calls through which the driving form hands the cab panel its work:
// making the panel's pictures and sprites when a run is assembled, following
// the running state after every operation tick, the analogue clock picture
// the display pass copies, and the easy cab panel. The cab panel itself
// (needles, bars, lamps, notch pictures, the clock, the easy cab panel) is
// built on these; until then a run shows the cab view above an empty panel.
#pragma once

#include <QPoint>
#include <QWidget>

#include "platform/bitmap.h"
#include "platform/picture_list.h"
#include "platform/sprite_engine.h"
#include "run/run_assembly.h"
#include "state/run.h"

namespace cabsim {

class CabPanelHooks {
 public:
  virtual ~CabPanelHooks() = default;

  /// Makes every picture and sprite of the train's panel (and the extra
  /// panel pictures) into `pictures` and `sprites`. A picture that cannot be
  /// made raises DefinitionError with its name + "の生成エラー".
  virtual void create_cab_panel(Run& run, PictureList& pictures, SpriteEngine& sprites,
                                const FileResolver& resolve) {
    (void)run, (void)pictures, (void)sprites, (void)resolve;
  }
  /// Once the sounds are bound: the panel is shown with its emergency-brake
  /// lamp out.
  virtual void hide_emergency_lamp() {}
  /// After each operation tick: sprites, patterns and angles follow the
  /// running state.
  virtual void update_cab_panel(Run& run) { (void)run; }
  /// The analogue clock picture (50 x 50) and where the panel shows it; null
  /// when the train has no analogue clock.
  virtual const Bitmap* clock_bitmap() const { return nullptr; }
  virtual QPoint clock_position() const { return {}; }
  /// How many times the clock picture has been painted: the display copies
  /// it again only when this changed.
  virtual uint64_t clock_paintings() const { return 0; }
  /// The easy cab panel: shown from the menu, closed with the run.
  virtual bool has_easy_cab_panel() const { return false; }
  virtual void show_easy_cab_panel(QWidget* driving_form) { (void)driving_form; }
  virtual void close_easy_cab_panel() {}
};

}  // namespace cabsim
