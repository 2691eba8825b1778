// Colour values and the scheme colours of a standard light desktop.
#include "platform/colour.h"

#include <array>

namespace cabsim {
namespace {

/// The scheme colours 0 .. 30 of the standard light desktop, as 0xRRGGBB.
constexpr std::array<uint32_t, 31> kSchemeColours = {
    0xC8C8C8,  //  0 scroll bar
    0x000000,  //  1 desktop background
    0x99B4D1,  //  2 active caption
    0xBFCDDB,  //  3 inactive caption
    0xF0F0F0,  //  4 menu
    0xFFFFFF,  //  5 window
    0x646464,  //  6 window frame
    0x000000,  //  7 menu text
    0x000000,  //  8 window text
    0x000000,  //  9 caption text
    0xB4B4B4,  // 10 active border
    0xF4F7FC,  // 11 inactive border
    0xABABAB,  // 12 application workspace
    0x0078D7,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xF0F0F0,  // 15 button face
    0xA0A0A0,  // 16 button shadow
    0x6D6D6D,  // 17 grey text
    0x000000,  // 18 button text
    0x000000,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x696969,  // 21 3-D dark shadow
    0xE3E3E3,  // 22 3-D light
    0x000000,  // 23 tooltip text
    0xFFFFE1,  // 24 tooltip background
    0x000000,  // 25 (unused)
    0x0066CC,  // 26 hot-tracked item
    0xB9D1EA,  // 27 gradient of the active caption
    0xD7E4F2,  // 28 gradient of the inactive caption
    0x3399FF,  // 29 highlighted menu item
    0xF0F0F0,  // 30 menu bar
};

}  // namespace

QColor colour_from_windows(int32_t value) {
  if (value < 0) {
    auto index = static_cast<uint32_t>(value) & 0xFFu;
    uint32_t rgb = index < kSchemeColours.size() ? kSchemeColours[index] : 0;
    return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u));
  }
  auto v = static_cast<uint32_t>(value);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

int32_t windows_from_colour(const QColor& colour) {
  return static_cast<int32_t>(static_cast<uint32_t>(colour.red()) |
                              (static_cast<uint32_t>(colour.green()) << 8) |
                              (static_cast<uint32_t>(colour.blue()) << 16));
}

}  // namespace cabsim
