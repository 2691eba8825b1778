// Colour values as the definition files and the drawing rules give them:
// 0x00BBGGRR, or a negative value naming a colour of the desktop scheme.
#pragma once

#include <QColor>
#include <cstdint>

namespace cabsim {

/// Black.
constexpr int32_t kColourBlack = 0x000000;
/// The scroll-bar colour of the desktop scheme (system colour 0), written -256
/// by the drawing rules: the foreground of the overlay texts.
constexpr int32_t kColourScrollBar = -256;
/// The button-face colour of the desktop scheme (system colour 15).
constexpr int32_t kColourButtonFace = -256 + 15;

/// The colour `value` means: 0x00BBGGRR for values from 0, and for negative
/// values the scheme colour numbered by the low byte (the standard light
/// desktop scheme; an unknown number gives black).
QColor colour_from_windows(int32_t value);

/// The 0x00BBGGRR value of an opaque colour.
int32_t windows_from_colour(const QColor& colour);

}  // namespace cabsim
