// Joystick 0 through SDL2, with the dead zone applied to both axes.
#include "platform/joystick_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace cabsim {

SdlJoystick::SdlJoystick() {
  // The operation tick polls whether the window has the focus or not.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  if (!started_) std::fprintf(stderr, "joystick: %s\n", SDL_GetError());
}

SdlJoystick::~SdlJoystick() {
  if (joystick_) SDL_JoystickClose(joystick_);
  if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void SdlJoystick::attach() {
  if (joystick_ && SDL_JoystickGetAttached(joystick_)) return;
  if (joystick_) {
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
  }
  if (SDL_NumJoysticks() > 0) joystick_ = SDL_JoystickOpen(0);
}

JoystickReading SdlJoystick::poll() {
  JoystickReading reading;
  if (!started_) return reading;
  SDL_JoystickUpdate();  // also finds controllers plugged in or pulled out
  attach();
  if (!joystick_) return reading;
  reading.connected = true;
  if (SDL_JoystickNumAxes(joystick_) > 0)
    reading.x = apply_joystick_dead_zone(SDL_JoystickGetAxis(joystick_, 0));
  if (SDL_JoystickNumAxes(joystick_) > 1)
    reading.y = apply_joystick_dead_zone(SDL_JoystickGetAxis(joystick_, 1));
  int buttons = std::min(SDL_JoystickNumButtons(joystick_), JoystickReading::kButtonCount);
  for (int b = 0; b < buttons; ++b)
    if (SDL_JoystickGetButton(joystick_, b)) reading.buttons |= static_cast<uint16_t>(1u << b);
  return reading;
}

}  // namespace cabsim
