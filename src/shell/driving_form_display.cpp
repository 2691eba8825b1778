// The display pass AppIdle of the driving form: the film frame, the darkened
// boxes and the driving texts on the cab window, the panel sprites, the
// kilometre post, the fade-out and the present. The drawing area keeps its
// picture between passes; a pass draws only the part that changed since the
// last one, in the same order as a whole picture is drawn, so the result is
// the same pixel for pixel.
#include <QDate>

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

constexpr QRect kWholeArea(0, 0, DrawingArea::kWidth, DrawingArea::kHeight);
/// The kilometre post surface is laid over the panel from this row.
constexpr int kKilometrePostTop = 384;
/// Room left around a kilometre-post text for the edges of its letters.
constexpr int kLetterMargin = 3;

FontSpec overlay_font(int32_t points) {
  return FontSpec{"Meiryo", points, true, true};
}

}  // namespace

void TForm1::AppIdle() {
  // Paced by the idle timer at the screen's refresh: no pass waits.
  last_pass_drew_ = false;
  if (!run_ || closed_) return;
  if (!timers_.operation_tick_enabled()) return;  // the still picture stays
  const int64_t now = clock_.milliseconds();
  fps_ = cabsim::frames_per_second(now, last_pass_ms_);
  last_pass_ms_ = now;
  const RunState& s = run_->state;
  if (frozen_at_movie_stop(s, *run_->route)) return;
  fetch_film_frame();
  if (!untendai_->can_draw()) return;
  find_changes();
  if (changed_.empty()) return;  // the picture on show is still right
  {
    QPainter painter(&untendai_->back_buffer());
    for (const QRect& part : changed_) draw_area(painter, part);
  }
  changes_.drawn();
  last_pass_drew_ = true;
  last_drawn_area_ = changed_.bounds();
  const bool faded_out = run_->state.fade_level > 0 && fade_out_pass(*run_);
  for (const QRect& part : changed_) untendai_->present(part);
  if (faded_out) close();  // the fade has ended the run
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
}

void TForm1::find_changes() {
  const RunState& s = run_->state;
  changed_.clear();
  changed_.add(changes_.sprites(DXSpriteEngine1));
  const SceneSources sources{frame_bitmap_.get(), last_fetched_frame_, fetched_refresh_,
                             run_->view.stop_marker, s.debug_mode};
  if (changes_.scene(sources, run_->view, sizes_)) {
    compose_scene();
    changed_.add(QRect(0, 0, scene_surface_.width(), scene_surface_.height()));
  }
  changed_.add(follow_kilometre_post());
  changed_.add(follow_clock());
  // Each step of the fade darkens the whole picture anew, and the first
  // pass after it draws the picture without it.
  if (s.fade_level > 0 || drawn_fade_ > 0 || changes_.everything()) {
    changed_.clear();
    changed_.add(kWholeArea);
  }
  drawn_fade_ = s.fade_level;
  take_in_turned_sprites();
  // The film picture is held while it is on show.
  composed_frame_ = frame_bitmap_;
}

void TForm1::take_in_turned_sprites() {
  // A turned needle is drawn smoothed, and the smoothing steps along each
  // row from where the drawing starts: cut by the edge of a part, it comes
  // out a shade different from the needle drawn whole. So a part that takes
  // some of a turned sprite takes all of it.
  for (bool grown = true; grown;) {
    grown = false;
    for (int i = 0; i < DXSpriteEngine1.count() && !grown; ++i) {
      const Sprite& sprite = DXSpriteEngine1.sprite(i);
      if (!sprite.rotating) continue;
      const QRect drawn = SpriteEngine::drawn_rect(sprite).intersected(kWholeArea);
      if (drawn.isEmpty()) continue;
      for (const QRect& part : changed_) {
        if (part.intersects(drawn) && !part.contains(drawn)) {
          grown = true;
          break;
        }
      }
      if (grown) changed_.add(drawn);
    }
  }
}

void TForm1::compose_scene() {
  if (scene_surface_.empty()) return;
  // The film picture is copied once, straight into the cab window's picture;
  // the marker and the boxes are laid on that copy.
  if (frame_bitmap_) {
    scene_surface_.copy_in(*frame_bitmap_);
    scene_size_ = QSize(frame_bitmap_->width(), frame_bitmap_->height());
  }
  if (!run_->state.debug_mode) {
    draw_stop_line_marker();
    draw_dark_boxes();
  } else if (!run_->view.top_message.empty()) {
    untenLine(run_->view.top_message);
  }
}

QRect TForm1::scene_rect() const {
  return QRect(QPoint(0, 0), scene_size_).intersected(scene_surface_.image().rect());
}

RgbRows TForm1::scene_rows() {
  const QRect r = scene_rect();
  if (r.isEmpty()) return {};
  QImage& image = scene_surface_.changed_image();
  return {image.bits(), r.width(), r.height(), image.bytesPerLine(), 4};
}

void TForm1::draw_stop_line_marker() {
  // The marker grows from far to near; no rectangle draws nothing.
  const std::array<int32_t, 4>& m = run_->view.stop_marker;
  const int64_t w = int64_t{m[2]} - m[0], h = int64_t{m[3]} - m[1];
  constexpr int64_t kLargest = 4096;  // larger than any cab view
  if (stop_line_keyed_.isNull() || scene_rect().isEmpty()) return;
  if (w <= 0 || h <= 0 || w > kLargest || h > kLargest) return;
  QPainter painter(&scene_surface_.changed_image());
  painter.setClipRect(scene_rect());  // within the film picture
  painter.drawImage(QRect(m[0], m[1], static_cast<int>(w), static_cast<int>(h)), stop_line_keyed_);
}

void TForm1::draw_dark_boxes() {
  const RgbRows rows = scene_rows();
  if (!rows.data) return;
  for (const DarkBox& box : dark_boxes(run_->view, sizes_))
    bgblack(rows, box.x, box.y, box.w, box.h);
}

void TForm1::untenLine(const std::string& text) {
  const RgbRows rows = scene_rows();
  if (!rows.data) return;
  lighten_message_band(rows);
  Canvas canvas(scene_surface_.changed_image());
  canvas.painter().setClipRect(scene_rect());
  canvas.set_brush(BrushStyle::kClear);
  canvas.text_centred(QRect(QPoint(0, 313), QPoint(604 - 1, 320 - 1)),
                      QString::fromStdString(text));
}

void TForm1::draw_area(QPainter& painter, const QRect& changed) {
  painter.setClipRect(changed);
  const QRect cab_window(0, 0, scene_surface_.width(), scene_surface_.height());
  // Under the opaque cab window the panel does not show.
  if (!cab_window.contains(changed)) {
    painter.fillRect(changed, Qt::black);
    DXSpriteEngine1.draw(painter);
  }
  if (!scene_surface_.empty()) {
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, scene_surface_.image());
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!run_->state.debug_mode && changed.intersects(cab_window))
      write_overlay_texts(painter, changed.intersected(cab_window));
  }
  if (run_->selection.train_file == kKilometrePostTrain && !kilometre_surface_.empty())
    painter.drawImage(0, kKilometrePostTop, kilometre_surface_.keyed_image());
  if (panel_->clock_bitmap() && !clock_surface_.empty())
    painter.drawImage(panel_->clock_position(), clock_surface_.keyed_image());
  const int32_t fade = run_->state.fade_level;
  if (fade > 0) {
    QColor laid(Qt::black);
    laid.setAlpha(std::min(fade, kFadeEnd));
    painter.fillRect(kWholeArea, laid);  // the fade draws the whole area
  }
}

void TForm1::make_overlay_fonts() {
  for (int32_t points : {kSpeedTextPoints, kDrivingTextPoints}) {
    OverlayFont& f = points == kSpeedTextPoints ? speed_font_ : text_font_;
    f.font = make_font(overlay_font(points));
    f.metrics = QFontMetrics(f.font);
  }
}

void TForm1::write_overlay_texts(QPainter& painter, const QRect& clip) {
  // Drawn over the cab window in the drawing area itself, at the screen's
  // resolution, cut to the cab window as when they were written into its
  // picture; each text was turned into a QString once, when it changed.
  painter.save();
  painter.setClipRect(clip);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  const QColor foreground = colour_from_windows(kColourScrollBar);
  const SlotTexts& shown = changes_.texts();
  for (const OverlayText& text : overlay_texts(run_->view, sizes_)) {
    const OverlayFont& f = text.points == kSpeedTextPoints ? speed_font_ : text_font_;
    const QString& line = shown.shown(text.slot);
    if (!line.isEmpty()) {
      painter.setFont(f.font);
      painter.setPen(text.shadow ? QColor(Qt::black) : foreground);
      painter.drawText(QPoint(text.x, text.y + f.metrics.ascent()), line);
    }
    if (text.remember)
      sizes_[static_cast<size_t>(text.slot)] = {f.metrics.horizontalAdvance(line),
                                                f.metrics.height()};
  }
  painter.restore();
}

QRect TForm1::follow_kilometre_post() {
  if (run_->selection.train_file != kKilometrePostTrain || kilometre_surface_.empty()) return {};
  const RunState& s = run_->state;
  const std::optional<std::string> post =
      kilometre_post_text(run_->selection.route_file, s.position);
  const QDate today = QDate::currentDate();
  if (kilometre_drawn_ && post == kilometre_post_ && today == kilometre_date_ &&
      run_->view.clock_text == kilometre_clock_)
    return {};
  kilometre_drawn_ = true;
  kilometre_post_ = post;
  kilometre_date_ = today;
  kilometre_clock_ = run_->view.clock_text;
  // Where the letters were and where they are now: the surface is white,
  // and white is left out when it is laid over the panel.
  QRect changed = kilometre_letters_;
  kilometre_letters_ = QRect();
  kilometre_surface_.fill(Qt::white);
  {
    QPainter painter(&kilometre_surface_.changed_image());
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(kilometre_font_);
    painter.setPen(QColor(0x66, 0x66, 0x66));
    const QFontMetrics metrics(kilometre_font_);
    auto write = [&](int x, int y, const QString& text) {
      if (text.isEmpty()) return;
      painter.drawText(QPoint(x, y + metrics.ascent()), text);
      kilometre_letters_ |=
          QRect(x, y, metrics.horizontalAdvance(text), metrics.height())
              .adjusted(-kLetterMargin, -kLetterMargin, kLetterMargin, kLetterMargin);
    };
    if (post) write(412, 58, QString::fromStdString(*post));
    write(333, 131, today.toString("yy/MM/dd"));
    write(336, 138, QString::fromStdString(run_->view.clock_text));
  }
  kilometre_surface_.set_transparent_colour(kilometre_surface_.pixel(0, 0));
  changed |= kilometre_letters_;
  return changed.translated(0, kKilometrePostTop);
}

QRect TForm1::follow_clock() {
  const Bitmap* clock = panel_->clock_bitmap();
  if (!clock || clock_surface_.empty()) return {};
  const uint64_t paintings = panel_->clock_paintings();
  if (clock_copied_ && paintings == clock_paintings_) return {};
  clock_copied_ = true;
  clock_paintings_ = paintings;
  clock_surface_.copy_in(*clock);
  clock_surface_.set_transparent_colour(clock_surface_.pixel(0, 0));
  return QRect(panel_->clock_position(), clock_surface_.image().size());
}

void TForm1::forget_display() {
  changes_.forget();
  kilometre_drawn_ = false;
  clock_copied_ = false;
}

}  // namespace cabsim
