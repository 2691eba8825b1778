// The sign column right of the cab view (x >= 684): which cell of its image
// list each picture shows, where it stands and whether it is visible. The
// operation tick decides all of it; the driving form only draws it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cabsim {

/// Cell of a picture that shows nothing.
constexpr int32_t kNoPicture = 999;

/// The pictures of the column, named as the form names them.
enum class SignElement : uint8_t {
  kSignalImage,          ///< the signal ahead
  kSignalImageT,         ///< its overlay (transparent)
  kSignalImageL,         ///< left neighbour (transparent)
  kSignalImageR,         ///< right neighbour (transparent)
  kSignalSub,            ///< sub-indication
  kSlopeImage,           ///< gradient sign
  kSpeedLimitImage,      ///< speed-limit sign
  kOtherImage,           ///< other signs
  kTrafficSignalImage,   ///< road traffic signal
  kTrafficSignalImage2,  ///< its small approach picture
  kAnimImage,            ///< the small animation
  kCrossImage,           ///< level crossing
  kCrossImageSub,        ///< level crossing sub-indicator (transparent, hidden at start)
};
constexpr size_t kSignElementCount = static_cast<size_t>(SignElement::kCrossImageSub) + 1;

/// The image lists the column draws from.
enum class SignList : uint8_t {
  kSignal,   ///< `[SignalImageList]`, 50 x 100
  kSignal2,  ///< `[SignalImageList2]`, 50 x 50
  kSign,     ///< the train's stop marker, then `[SignImageList]`, 50 x 50
  kOther,    ///< `[OtherImageList]`, 100 x 75
  kTraffic,  ///< `[TrafficSignalImageList]`, 100 x 75
  kAnim,     ///< `[AnimImageList]`
  kCross,    ///< `[CrossImageList]`
};

/// Where a picture stands at the start and what it shows.
struct SignGeometry {
  std::string_view name;  ///< the form's component name
  int32_t left, top, width, height;
  SignList list;
  bool transparent;  ///< drawn without its bottom-left colour
  bool visible;      ///< visible at the start
};

inline constexpr std::array<SignGeometry, kSignElementCount> kSignGeometry = {{
    {"SignalImage", 730, 75, 50, 100, SignList::kSignal, false, true},
    {"SignalimageT", 730, 75, 50, 100, SignList::kSignal, true, true},
    {"SignalImageL", 680, 75, 50, 100, SignList::kSignal, true, true},
    {"SignalImageR", 780, 75, 50, 100, SignList::kSignal, true, true},
    {"signal_sub", 730, 175, 50, 50, SignList::kSignal2, false, true},
    {"SlopeImage", 772, 252, 50, 50, SignList::kSign, false, true},
    {"SpeedLimitImage", 700, 245, 70, 75, SignList::kOther, false, true},
    {"OtherImage", 700, 318, 100, 75, SignList::kOther, false, true},
    {"TrafficSignalImage", 700, 394, 100, 75, SignList::kTraffic, false, true},
    {"TrafficSignalImage2", 722, 26, 15, 15, SignList::kTraffic, false, true},
    {"AnimImage", 738, 26, 15, 15, SignList::kAnim, false, true},
    {"crossimage", 706, 42, 15, 15, SignList::kCross, false, true},
    {"crossimage_sub", 722, 42, 15, 15, SignList::kCross, true, false},
}};

/// The gradient figure under the gradient sign: centred, white on black.
struct SlopeTextGeometry {
  static constexpr int32_t left = 772, top = 300, width = 50, height = 18;
};

/// Cell of the crossing image list drawn into `crossimage_sub` at set-up.
constexpr int32_t kCrossSubCell = 1;

/// What one picture of the column shows.
struct SignPicture {
  int32_t cell = kNoPicture;  ///< cell of the element's list; kNoPicture cleared
  int32_t left = 0;           ///< x in the form
  uint8_t visible = 1;
};

struct SignColumn {
  std::array<SignPicture, kSignElementCount> pictures = [] {
    std::array<SignPicture, kSignElementCount> p{};
    for (size_t i = 0; i < kSignElementCount; ++i) {
      p[i].left = kSignGeometry[i].left;
      p[i].visible = kSignGeometry[i].visible ? 1 : 0;
    }
    p[static_cast<size_t>(SignElement::kCrossImageSub)].cell = kCrossSubCell;
    return p;
  }();

  SignPicture& operator[](SignElement e) { return pictures[static_cast<size_t>(e)]; }
  const SignPicture& operator[](SignElement e) const { return pictures[static_cast<size_t>(e)]; }

  /// Draws `cell` into `e` (a cell beyond the list shows nothing when drawn).
  void draw(SignElement e, int32_t cell) { (*this)[e].cell = cell; }
  /// Removes the picture of `e`.
  void clear(SignElement e) { (*this)[e].cell = kNoPicture; }
  bool holds_picture(SignElement e) const { return (*this)[e].cell != kNoPicture; }
  void move(SignElement e, int32_t left) { (*this)[e].left = left; }
  void show(SignElement e, bool on) { (*this)[e].visible = on ? 1 : 0; }
};

}  // namespace cabsim
