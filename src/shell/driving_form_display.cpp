// The display pass AppIdle of the driving form: the film frame, the darkened
// boxes and the driving texts on the cab window, the panel sprites, the
// kilometre post, the fade-out and the present.
#include <QDate>

#include "data/shift_jis.h"
#include "platform/colour.h"
#include "presentation/display_pass.h"
#include "presentation/scan_line_effects.h"
#include "run/form_handlers.h"
#include "shell/driving_form.h"

namespace cabsim {
namespace {

/// The longest the display waits for a film frame that is being decoded; a
/// frame not ready by then is shown in a later pass.
constexpr std::chrono::milliseconds kFrameWait{4};

RgbRows rows_of(Bitmap& bitmap) {
  if (bitmap.empty()) return {};
  uint8_t* first = bitmap.scan_line(0).data();
  return {first, bitmap.width(), bitmap.height(), bitmap.image().bytesPerLine()};
}

QString text_of(const OverlayText& text) {
  return text.utf8 ? QString::fromStdString(*text.text)
                   : QString::fromStdString(sjis_to_utf8(*text.text));
}

FontSpec overlay_font(int32_t points) {
  return FontSpec{"Meiryo", points, true, true};
}

}  // namespace

void TForm1::AppIdle() {
  // Paced by the idle timer at the screen's refresh: no pass waits.
  if (!run_ || closed_) return;
  if (!timers_.operation_tick_enabled()) return;  // the still picture stays
  const int64_t now = clock_.milliseconds();
  fps_ = cabsim::frames_per_second(now, last_pass_ms_);
  last_pass_ms_ = now;
  const RunState& s = run_->state;
  if (frozen_at_movie_stop(s, *run_->route)) return;
  fetch_film_frame();
  if (!s.debug_mode) {
    draw_stop_line_marker();
    draw_dark_boxes();
  } else if (!run_->view.top_message.empty()) {
    untenLine(run_->view.top_message);
  }
  if (!scene_bitmap_.empty() && !scene_surface_.empty()) scene_surface_.copy_in(scene_bitmap_);
  present_scene(!s.debug_mode);
}

void TForm1::fetch_film_frame() {
  const std::optional<int32_t> n = film_frame_to_show(run_->state);
  if (!n || !film_.is_open() || scene_surface_.empty()) return;
  const uint32_t refresh = run_->view.film_refresh;
  if (*n != last_fetched_frame_ || refresh != fetched_refresh_ || !frame_bitmap_) {
    FilmFrame shown = film_.frame(*n, kFrameWait);
    if (shown.picture) frame_bitmap_ = shown.picture;
    // A frame still being decoded is asked for again in the next pass.
    if (shown.exact) {
      last_fetched_frame_ = *n;
      fetched_refresh_ = refresh;
    }
  }
  if (!frame_bitmap_) return;
  // Every pass starts from the clean film picture, under the new boxes.
  scene_bitmap_.copy_from(*frame_bitmap_);
}

void TForm1::draw_stop_line_marker() {
  // The marker grows from far to near; no rectangle draws nothing.
  const std::array<int32_t, 4>& m = run_->view.stop_marker;
  const int64_t w = int64_t{m[2]} - m[0], h = int64_t{m[3]} - m[1];
  constexpr int64_t kLargest = 4096;  // larger than any cab view
  if (stop_line_keyed_.isNull() || scene_bitmap_.empty()) return;
  if (w <= 0 || h <= 0 || w > kLargest || h > kLargest) return;
  auto canvas = scene_bitmap_.canvas();
  canvas->painter().drawImage(QRect(m[0], m[1], static_cast<int>(w), static_cast<int>(h)),
                              stop_line_keyed_);
}

void TForm1::draw_dark_boxes() {
  const RgbRows rows = rows_of(scene_bitmap_);
  if (!rows.data) return;
  for (const DarkBox& box : dark_boxes(run_->view, sizes_))
    bgblack(rows, box.x, box.y, box.w, box.h);
}

void TForm1::untenLine(const std::string& text) {
  const RgbRows rows = rows_of(scene_bitmap_);
  if (!rows.data) return;
  lighten_message_band(rows);
  auto canvas = scene_bitmap_.canvas();
  canvas->set_brush(BrushStyle::kClear);
  canvas->text_centred(QRect(QPoint(0, 313), QPoint(604 - 1, 320 - 1)),
                       QString::fromStdString(text));
}

void TForm1::write_overlay_texts() {
  if (!untendai_->can_draw()) return;
  auto canvas = std::make_unique<Canvas>(untendai_->back_buffer());
  // Cut to the cab window, as when they were written into its picture.
  canvas->painter().setClipRect(QRect(0, 0, scene_surface_.width(), scene_surface_.height()));
  canvas->set_brush(BrushStyle::kClear);
  const QColor foreground = colour_from_windows(kColourScrollBar);
  for (const OverlayText& text : overlay_texts(run_->view, sizes_)) {
    canvas->set_font(overlay_font(text.points));
    canvas->set_font_colour(text.shadow ? QColor(Qt::black) : foreground);
    const QString shown = text_of(text);
    canvas->text_out(text.x, text.y, shown);
    if (text.remember)
      sizes_[static_cast<size_t>(text.slot)] = {canvas->text_width(shown),
                                                canvas->text_height(shown)};
  }
}

void TForm1::present_scene(bool overlay_texts) {
  if (!untendai_->can_draw()) return;
  untendai_->fill(Qt::black);
  DXSpriteEngine1.draw(untendai_->back_buffer());
  untendai_->draw(scene_surface_, 0, 0, false);
  if (overlay_texts && !scene_surface_.empty()) write_overlay_texts();
  if (run_->selection.train_file == kKilometrePostTrain) draw_kilometre_post();
  if (const Bitmap* clock = panel_->clock_bitmap(); clock && !clock_surface_.empty()) {
    clock_surface_.copy_in(*clock);
    clock_surface_.set_transparent_colour(clock_surface_.pixel(0, 0));
    untendai_->draw(clock_surface_, panel_->clock_position().x(), panel_->clock_position().y(),
                    true);
  }
  const int32_t fade = run_->state.fade_level;
  if (fade > 0) {
    untendai_->alpha_fill(QRect(0, 0, DrawingArea::kWidth, DrawingArea::kHeight), Qt::black,
                          std::min(fade, kFadeEnd));
    if (fade_out_pass(*run_)) {
      untendai_->present();
      close();  // the fade has ended the run
      return;
    }
  }
  untendai_->present();
}

void TForm1::draw_kilometre_post() {
  if (kilometre_surface_.empty()) return;
  kilometre_surface_.fill(Qt::white);
  {
    auto canvas = kilometre_surface_.canvas();
    canvas->set_brush(BrushStyle::kClear);
    canvas->set_font(FontSpec{"Meiryo", 6, false, false});
    canvas->set_font_colour(QColor(0x66, 0x66, 0x66));
    const RunState& s = run_->state;
    if (auto post = kilometre_post_text(run_->selection.route_file, s.position))
      canvas->text_out(412, 58, QString::fromStdString(*post));
    canvas->text_out(333, 131, QDate::currentDate().toString("yy/MM/dd"));
    canvas->text_out(336, 138, QString::fromStdString(run_->view.clock_text));
  }
  kilometre_surface_.set_transparent_colour(kilometre_surface_.pixel(0, 0));
  untendai_->draw(kilometre_surface_, 0, 384, true);
}

}  // namespace cabsim
