// SDL's own virtual joystick standing in for a USB controller: two axes and
// `buttons` buttons, attached while it lives, unplugged on demand.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <initializer_list>

namespace cabsim::test {

class VirtualPad {
 public:
  explicit VirtualPad(int buttons = 20) : buttons_(buttons) {
    // Counted by SDL: the joystick service the program starts keeps its own.
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, buttons, 0);
    if (index_ >= 0) handle_ = SDL_JoystickOpen(index_);
  }
  ~VirtualPad() {
    unplug();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  bool ok() const { return handle_ != nullptr; }
  /// The axes as given, the buttons named pressed, every other one released.
  void set(int32_t x, int32_t y, std::initializer_list<int> buttons = {}) {
    SDL_JoystickSetVirtualAxis(handle_, 0, static_cast<Sint16>(x));
    SDL_JoystickSetVirtualAxis(handle_, 1, static_cast<Sint16>(y));
    for (int b = 0; b < buttons_; ++b) SDL_JoystickSetVirtualButton(handle_, b, 0);
    for (int b : buttons) SDL_JoystickSetVirtualButton(handle_, b, 1);
  }
  void unplug() {
    if (handle_) SDL_JoystickClose(handle_);
    handle_ = nullptr;
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    index_ = -1;
  }

 private:
  int buttons_;
  int index_ = -1;
  SDL_Joystick* handle_ = nullptr;
};

}  // namespace cabsim::test
