// Painting the cab panel's analogue clock into its 50 x 50 picture.
#pragma once

#include "platform/bitmap.h"
#include "presentation/panel_clock.h"

namespace cabsim {

/// Makes `clock` a 50 x 50 picture (when it is not) filled with the button-face
/// colour, which the display later leaves out as transparent, and draws the
/// hour, minute and second hands from the centre in a black pen of width 1.
void paint_clock_face(Bitmap& clock, const ClockHands& hands);

}  // namespace cabsim
