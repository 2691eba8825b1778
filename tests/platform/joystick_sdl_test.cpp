// Joystick 0 through SDL with SDL's own virtual joystick standing in for a
// USB controller: axes through the dead zone, sixteen buttons, hot-plug.
#include "platform/joystick_sdl.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace cabsim {
namespace {

/// A virtual controller with 2 axes and 20 buttons, attached while it lives.
class VirtualPad {
 public:
  VirtualPad() {
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 20, 0);
    if (index_ >= 0) handle_ = SDL_JoystickOpen(index_);
  }
  ~VirtualPad() { unplug(); }
  bool ok() const { return handle_ != nullptr; }
  void set(int32_t x, int32_t y, std::initializer_list<int> buttons) {
    SDL_JoystickSetVirtualAxis(handle_, 0, static_cast<Sint16>(x));
    SDL_JoystickSetVirtualAxis(handle_, 1, static_cast<Sint16>(y));
    for (int b = 0; b < 20; ++b) SDL_JoystickSetVirtualButton(handle_, b, 0);
    for (int b : buttons) SDL_JoystickSetVirtualButton(handle_, b, 1);
  }
  void unplug() {
    if (handle_) SDL_JoystickClose(handle_);
    handle_ = nullptr;
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    index_ = -1;
  }

 private:
  int index_ = -1;
  SDL_Joystick* handle_ = nullptr;
};

TEST(SdlJoystick, ReadsAxesThroughTheDeadZoneAndSixteenButtons) {
  SdlJoystick joystick;
  ASSERT_TRUE(joystick.available());
  if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real controller is plugged in";
  EXPECT_EQ(joystick.poll(), JoystickReading{});  // none present: zeros

  VirtualPad pad;
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
    VirtualPad first;
    ASSERT_TRUE(first.ok());
    first.set(-20000, 0, {3});
    EXPECT_TRUE(joystick.poll().pressed(3));
    first.unplug();
    EXPECT_EQ(joystick.poll(), JoystickReading{});  // pulled out: zeros
  }
  VirtualPad second;
  ASSERT_TRUE(second.ok());
  second.set(0, 20000, {8});
  JoystickReading r = joystick.poll();
  EXPECT_EQ(r.y, (20000 - 1638) * 100 / 95);
  EXPECT_EQ(r.buttons, 1u << 8);
}

}  // namespace
}  // namespace cabsim
