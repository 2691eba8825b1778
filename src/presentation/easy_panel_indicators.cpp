// Indicator colours and status text of the easy cab panel.
#include "presentation/easy_panel_indicators.h"

namespace cabsim {

EasyPanelIndicators easy_panel_indicators(const RunState& s, bool doors_not_closed) {
  EasyPanelIndicators out;
  for (size_t i = 0; i < kEasyPanelBrakeShapes; ++i)
    out.brake[i] =
        int64_t{s.brake_handle} <= -static_cast<int64_t>(i + 1) ? kEasyPanelRed : kEasyPanelWhite;
  for (size_t i = 0; i < kEasyPanelPowerShapes; ++i)
    out.power[i] =
        int64_t{s.power_handle} >= static_cast<int64_t>(i + 1) ? kEasyPanelYellow : kEasyPanelWhite;
  out.neutral = s.power_handle == 0 && s.brake_handle == 0 ? kEasyPanelGreen : kEasyPanelWhite;
  if (s.doors_open)
    out.status = "ドアが開いています";
  else if (doors_not_closed)
    out.status = "ドアを閉めています";
  return out;
}

char reverser_button_key(const RunState& s) {
  if (s.reverser == 1) return 'b';
  if (s.reverser == -1) return 'f';
  return 0;
}

}  // namespace cabsim
