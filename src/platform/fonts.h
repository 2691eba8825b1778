// Fonts for the program's Japanese texts: the families the definition files
// and the drawing rules ask for, drawn with the installed Japanese Gothic.
#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <string_view>

namespace cabsim {

/// The Japanese Gothic family that stands in for the requested ones.
inline constexpr const char* kJapaneseGothic = "Noto Sans CJK JP";

/// Makes "Meiryo" (and the other Japanese Gothic families route files name)
/// resolve to the installed Japanese Gothic, so one font draws a whole string
/// of kana, kanji and Latin letters. Safe to call more than once.
void install_font_substitutes();

/// A font as the drawing rules describe it: a family, a size in points of a
/// 96-dot-per-inch screen, bold and italic.
struct FontSpec {
  std::string family = "Meiryo";
  int points = 9;
  bool bold = false;
  bool italic = false;

  bool operator==(const FontSpec&) const = default;
};

/// The em height in pixels of a font of `points` on a 96-dot-per-inch screen.
int pixel_size_for_points(int points);

/// The Qt font of `spec`, with the substitutes installed.
QFont make_font(const FontSpec& spec);

/// Shift-JIS bytes of a definition file as text to draw.
QString text_from_sjis(std::string_view sjis);

}  // namespace cabsim
