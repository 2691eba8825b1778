// The joystick dead zone: a pad at rest reads 0 and the full travel still
// reaches both ends of the range.
#include <gtest/gtest.h>

#include "input/joystick.h"

namespace cabsim {
namespace {

TEST(JoystickDeadZone, CentreReadsZeroAndTheRestIsStretchedToTheFullRange) {
  struct Case {
    int32_t reading, expected;
  };
  const Case cases[] = {
      {0, 0},           {1638, 0},      {-1638, 0},       {1639, 1},        {-1639, -1},
      {1733, 100},      {-1733, -100},  {32767, 32767},   {-32768, -32768}, {17202, 16383},
      {-17203, -16384}, {40000, 32767}, {-40000, -32768}, {-1000, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(apply_joystick_dead_zone(c.reading), c.expected) << c.reading;
}

TEST(JoystickDeadZone, IsMonotonicOverTheWholeRange) {
  int32_t previous = apply_joystick_dead_zone(-32768);
  for (int32_t r = -32767; r <= 32767; ++r) {
    int32_t v = apply_joystick_dead_zone(r);
    ASSERT_GE(v, previous) << r;
    previous = v;
  }
}

TEST(JoystickReading, ButtonsOutsideTheSixteenAreNeverPressed) {
  JoystickReading reading;
  reading.buttons = 0xFFFF;
  EXPECT_TRUE(reading.pressed(0));
  EXPECT_TRUE(reading.pressed(15));
  EXPECT_FALSE(reading.pressed(16));
  EXPECT_FALSE(reading.pressed(-1));
  EXPECT_EQ(NoJoystick().poll(), JoystickReading{});
}

}  // namespace
}  // namespace cabsim
