// The analogue clock's face and hands.
#include "shell/clock_face.h"

#include "platform/colour.h"

namespace cabsim {

void paint_clock_face(Bitmap& clock, const ClockHands& hands) {
  if (clock.width() != kClockPictureSize || clock.height() != kClockPictureSize)
    clock = Bitmap(kClockPictureSize, kClockPictureSize);
  auto canvas = clock.canvas();
  canvas->set_brush(BrushStyle::kSolid, colour_from_windows(kColourButtonFace));
  canvas->fill_rect(QRect(0, 0, kClockPictureSize, kClockPictureSize));
  canvas->set_pen(Qt::black, 1);
  const QPoint centre(kClockCentre, kClockCentre);
  for (const ClockHandEnd& end : {hands.hour, hands.minute, hands.second})
    canvas->line(centre, QPoint(end.x, end.y));
}

}  // namespace cabsim
