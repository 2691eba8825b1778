// Font substitution and the points-to-pixels rule.
#include "platform/fonts.h"

#include <cmath>
#include <mutex>

#include "data/shift_jis.h"

namespace cabsim {

void install_font_substitutes() {
  static std::once_flag once;
  std::call_once(once, [] {
    const QString gothic = QString::fromUtf8(kJapaneseGothic);
    for (const char* family : {"Meiryo", "メイリオ", "MS Gothic", "ＭＳ ゴシック", "MS PGothic",
                               "ＭＳ Ｐゴシック", "MS UI Gothic"})
      QFont::insertSubstitution(QString::fromUtf8(family), gothic);
  });
}

int pixel_size_for_points(int points) {
  // points * 96 / 72, rounded half away from zero as the desktop does it.
  long scaled = std::lround(static_cast<double>(points) * 96.0 / 72.0);
  return static_cast<int>(std::max(1L, std::abs(scaled)));
}

QFont make_font(const FontSpec& spec) {
  install_font_substitutes();
  QFont font(QString::fromStdString(spec.family));
  font.setPixelSize(pixel_size_for_points(spec.points));
  font.setBold(spec.bold);
  font.setItalic(spec.italic);
  return font;
}

QString text_from_sjis(std::string_view sjis) {
  return QString::fromStdString(sjis_to_utf8(sjis));
}

}  // namespace cabsim
