// Joystick 0 through SDL with SDL's own virtual joystick standing in for a
// USB controller: axes through the dead zone, sixteen buttons, hot-plug.
#include "platform/joystick_sdl.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/virtual_pad.h"

namespace cabsim {
namespace {

TEST(SdlJoystick, ReadsAxesThroughTheDeadZoneAndSixteenButtons) {
  SdlJoystick joystick;
  ASSERT_TRUE(joystick.available());
  if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real controller is plugged in";
  EXPECT_EQ(joystick.poll(), JoystickReading{});  // none present: zeros

  test::VirtualPad pad;
  ASSERT_TRUE(pad.ok()) << SDL_GetError();
  pad.set(1000, -32768, {0, 5, 15, 17});
  JoystickReading r = joystick.poll();
  EXPECT_EQ(r.x, 0);  // inside the dead zone
  EXPECT_EQ(r.y, -32768);
  // Buttons 16 and above are not part of the reading.
  EXPECT_EQ(r.buttons, (1u << 0) | (1u << 5) | (1u << 15));

  pad.set(32767, 1733, {});
  r = joystick.poll();
  EXPECT_EQ(r.x, 32767);
  EXPECT_EQ(r.y, 100);
  EXPECT_EQ(r.buttons, 0);
}

TEST(SdlJoystick, FindsAControllerPluggedInWhileRunning) {
  SdlJoystick joystick;
  if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real controller is plugged in";
  {
    test::VirtualPad first;
    ASSERT_TRUE(first.ok());
    first.set(-20000, 0, {3});
    EXPECT_TRUE(joystick.poll().pressed(3));
    first.unplug();
    EXPECT_EQ(joystick.poll(), JoystickReading{});  // pulled out: zeros
  }
  test::VirtualPad second;
  ASSERT_TRUE(second.ok());
  second.set(0, 20000, {8});
  JoystickReading r = joystick.poll();
  EXPECT_EQ(r.y, (20000 - 1638) * 100 / 95);
  EXPECT_EQ(r.buttons, 1u << 8);
}

}  // namespace
}  // namespace cabsim
