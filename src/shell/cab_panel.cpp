// Makes the panel through CabPanelView and shows the tick's panel state on it.
#include "shell/cab_panel.h"

namespace cabsim {

void CabPanel::create_cab_panel(Run& run, PictureList& pictures, SpriteEngine& sprites,
                                const FileResolver& resolve) {
  (void)resolve;  // the view finds the train's files below the program directory itself
  run_ = &run;
  view_ = std::make_unique<CabPanelView>(pictures, sprites);
  const std::filesystem::path& base = run.selection.program_dir;
  view_->make_indicators(run.train.panel, base, run.state.panel);
  view_->make_panel(run.train.panel, base, run.state.panel);
  view_->apply(run.state.panel);
}

void CabPanel::hide_emergency_lamp() {
  if (!view_ || !run_) return;
  run_->state.panel.show(PanelElement::kLampEB, false);
  view_->apply(run_->state.panel);
}

void CabPanel::update_cab_panel(Run& run) {
  if (view_) view_->apply(run.state.panel);
}

}  // namespace cabsim
