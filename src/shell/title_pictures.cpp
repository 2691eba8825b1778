// Drawing the title form's own pictures.
#include "shell/title_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include "platform/bitmap.h"
#include "platform/device_pixels.h"
#include "platform/file_paths.h"
#include "platform/fonts.h"
#include "platform/surface.h"

namespace cabsim {
namespace {

QFont button_font(int pixels) {
  QFont font("Meiryo");
  font.setPixelSize(pixels);
  font.setBold(true);
  return font;
}

/// A rounded button with a white caption.
QPixmap caption_button(QSize size, const QString& caption, QColor fill, int pixels) {
  const qreal ratio = screen_pixel_ratio();
  QPixmap picture(size * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(0.75, 0.75, size.width() - 1.5, size.height() - 1.5), 6, 6);
  p.setPen(Qt::white);
  p.setFont(button_font(pixels));
  p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, caption);
  return picture;
}

/// An arrow pointing right at the chosen entry, 41 x 33.
QPixmap cursor_arrow() {
  const qreal ratio = screen_pixel_ratio();
  QPixmap picture(QSize(41, 33) * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath arrow;
  arrow.moveTo(2, 10);
  arrow.lineTo(22, 10);
  arrow.lineTo(22, 2);
  arrow.lineTo(39, 16.5);
  arrow.lineTo(22, 31);
  arrow.lineTo(22, 23);
  arrow.lineTo(2, 23);
  arrow.closeSubpath();
  p.setPen(QPen(Qt::white, 2));
  p.setBrush(QColor(230, 40, 40));
  p.drawPath(arrow);
  return picture;
}

QPixmap drawn(TitleButton button) {
  switch (button) {
    case TitleButton::cts:
      return caption_button({240, 40}, QString::fromUtf8("クリックしてスタート"),
                            QColor(20, 40, 80, 220), 18);
    case TitleButton::quit:
      return caption_button({56, 24}, QString::fromUtf8("終了"), QColor(150, 30, 30, 230), 13);
    case TitleButton::back:
      return caption_button({56, 24}, QString::fromUtf8("戻る"), QColor(40, 60, 100, 230), 13);
    case TitleButton::HELP:
      return caption_button({52, 24}, "HELP", QColor(30, 110, 60, 230), 13);
    case TitleButton::cursor:
      return cursor_arrow();
    case TitleButton::loading:
      return caption_button({110, 58}, QString::fromUtf8("読込中…"), QColor(0, 0, 0, 200), 18);
    case TitleButton::folder:
      return caption_button({100, 24}, QString::fromUtf8("路線フォルダ"), QColor(40, 60, 100, 230),
                            13);
  }
  return {};
}

}  // namespace

QString title_button_name(TitleButton button) {
  switch (button) {
    case TitleButton::cts:
      return "cts";
    case TitleButton::quit:
      return "quit";
    case TitleButton::back:
      return "back";
    case TitleButton::HELP:
      return "HELP";
    case TitleButton::cursor:
      return "cursor";
    case TitleButton::loading:
      return "loading";
    case TitleButton::folder:
      return "folder";
  }
  return {};
}

QPixmap title_button_picture(const std::filesystem::path& program_dir, TitleButton button) {
  const std::string file =
      "image\\title\\" + title_button_name(button).toLower().toStdString() + ".bmp";
  Bitmap bitmap;
  if (bitmap.load(resolve_file(program_dir, file)) && !bitmap.empty()) {
    if (button != TitleButton::cursor) return crisp_pixmap(bitmap.image());
    return crisp_pixmap(key_out_colour(bitmap.image(), bitmap.pixel(0, bitmap.height() - 1)));
  }
  return drawn(button);
}

}  // namespace cabsim
