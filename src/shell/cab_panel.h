// The cab panel of the driving form: the train's panel pictures and sprites,
// made at set-up and following the panel state after every tick.
#pragma once

#include <memory>

#include "platform/cab_panel_view.h"
#include "shell/cab_panel_hooks.h"

namespace cabsim {

class CabPanel : public CabPanelHooks {
 public:
  void create_cab_panel(Run& run, PictureList& pictures, SpriteEngine& sprites,
                        const FileResolver& resolve) override;
  void hide_emergency_lamp() override;
  void update_cab_panel(Run& run) override;

 private:
  std::unique_ptr<CabPanelView> view_;
  Run* run_ = nullptr;
};

}  // namespace cabsim
