// The drawing area of the driving form: 684 x 704 pixels, the cab window in
// the top 384 rows and the cab panel below, drawn into one picture that the
// widget paints from when presented. The picture keeps what was drawn, so a
// pass redraws only what changed, and an expose repaints without a pass. On a
// scaled screen the picture holds the screen's pixels (its device pixel
// ratio is the screen's); drawing is in area pixels.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "platform/surface.h"

namespace cabsim {

class DrawingArea final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 684;
  static constexpr int kHeight = 704;

  explicit DrawingArea(QWidget* parent = nullptr);
  ~DrawingArea() override;

  /// Called once the buffers exist (the surfaces of a run are made here).
  std::function<void()> on_initialize;
  /// Called before the buffers go (the surfaces of a run are freed here).
  std::function<void()> on_finalize;

  /// Makes the buffers and calls on_initialize; showing the widget does it
  /// too. Nothing happens when already initialised.
  void initialize();
  /// Calls on_finalize and frees the buffers; nothing when not initialised.
  void finalize();
  /// True between initialize and finalize.
  bool can_draw() const { return !back_.isNull(); }

  /// Fills the back buffer with `colour`.
  void fill(const QColor& colour);
  /// Draws `surface` with its top-left corner at (x, y), opaque or without
  /// its transparent colour; parts outside the area are clipped.
  void draw(const Surface& surface, int x, int y, bool transparent);
  /// Lays `colour` over `box` at `level` (0 nothing .. 255 the colour alone).
  void alpha_fill(const QRect& box, const QColor& colour, int level);
  /// Shows what was drawn: the whole area, or only `changed`.
  void present();
  void present(const QRect& changed);

  /// Milliseconds between two refreshes of the screen the area is on (the
  /// display pass draws at most once in that time); 60 Hz when unknown.
  double refresh_interval_ms() const;

  /// The picture being drawn (for the sprite engine) and the one on show:
  /// the same picture, which holds between passes what was last drawn.
  QImage& back_buffer() { return back_; }
  const QImage& shown() const { return back_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QImage back_;
};

}  // namespace cabsim
