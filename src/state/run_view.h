// What the rules decide for the view, kept beside the running state: the
// overlay texts and captions, the handle texts, lamps and picture patterns,
// the panel's sprites, the station display and the form's geometry. The
// cycles, the tick and the handlers write it; the forms only draw it. Nothing
// here feeds back into the simulation.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "state/panel_layout.h"
#include "state/panel_state.h"
#include "state/sign_column.h"

namespace cabsim {

/// The design caption of the driving form, replaced by the line name.
inline constexpr const char* kDesignCaption = "鉄道運転シミュレータ";
/// Debug labels Label0 .. Label11.
constexpr size_t kDebugLabels = 12;

struct RunView {
  // --- overlay texts and captions -------------------------------------------
  std::string speed_text;                       ///< "%5.1f" + " km/h"
  std::string window_caption = kDesignCaption;  ///< UTF-8
  std::string top_message;                      ///< UTF-8 without the leading "0"
  /// A message box a rule asks for (UTF-8); the form shows it and empties it.
  std::string message;
  uint8_t value_display_shown = 0;  ///< F3: the value display is on show
  /// The value display's caption: the last serial line (UTF-8); empty keeps
  /// the form's own caption.
  std::string value_display_caption;
  std::string next_station_text;  ///< Shift-JIS, like the route file
  std::string car_count_text;     ///< Shift-JIS
  std::string selector_text;      ///< Shift-JIS
  std::string clock_text;
  int32_t timecalc_seconds = -1;  ///< seconds of the clock text last written; -1 none
  std::string first_notice;
  std::string second_notice;
  std::string limit_notice;
  std::string pattern_notice;
  std::string adhesion_state_text;  ///< UTF-8: "空転" slip, "滑走" skid, empty
  std::array<std::string, kDebugLabels> debug_labels{};
  std::string start_caption = "Start";  ///< menu item start1, UTF-8

  // --- handle texts, lamps and pictures ---------------------------------------
  std::string reverser_text;  ///< Shift-JIS bytes, like every text of the files
  std::string power_text;
  std::string brake_text;
  std::string gear_text;
  uint8_t forward_lamp = 1;
  uint8_t backward_lamp = 0;
  uint8_t constant_speed_lamp = 0;
  uint8_t step_end_lamp = 0;
  uint8_t vigilance_lamp = 0;
  uint8_t selector_lamp = 0;
  int32_t power_notch_pattern = 0;
  int32_t brake_notch_pattern = 0;
  int32_t gear_pattern = 1;

  // --- the film ----------------------------------------------------------------
  /// Counts the times the rules asked for the film picture to be fetched
  /// again although the frame number has not changed (a new film, a new
  /// message over the picture, the end of a pause); the display pass fetches
  /// when it differs from the count it last saw.
  uint32_t film_refresh = 0;

  // --- the form's geometry ------------------------------------------------------
  uint8_t timetable_card_shown = 0;
  int32_t client_width = 830;  ///< driving form's client width, pixels
  int32_t timetable_card_left = 830;

  // --- station display ---------------------------------------------------------
  int32_t clock_drawn_time = -1;         ///< run clock the analogue clock shows; -1 not drawn yet
  uint8_t stop_picture_shown = 0;        ///< sign image 0 is drawn into the `stop` picture
  std::array<int32_t, 4> stop_marker{};  ///< left, top, right, bottom in the cab window; all 0 none
  int32_t stopline_top = -30;            ///< top of the stop-position gauge mark, pixels
  std::string remain_text;               ///< metres to the stop under the mark; empty hidden
  int32_t monitor_pattern = -1;          ///< pattern the monitor picture `img_mon` shows; -1 none

  // --- sign column -------------------------------------------------------------
  SignColumn signs;        ///< every picture of the column right of the cab view
  std::string slope_text;  ///< the gradient figure, one decimal; empty none

  // --- cab panel ---------------------------------------------------------------
  int32_t ammeter_current = 0;  ///< A, the ammeter's reading (follows motor current, overshooting)
  int32_t cab_signal_frame = -1;  ///< speed checks: pattern + 1 of the cab signal shown, -1 none
  PanelState panel = initial_panel_state();  ///< what every panel sprite shows; the view copies it
};

}  // namespace cabsim
