// Two complete train files as route authors write them: a four-car suburban
// electric train and a single diesel railcar (UTF-8 here; tests write them in
// Shift-JIS).
#pragma once

#include <string>

namespace cabsim::test {

/// A 4-car suburban EMU: two handles, straight-air brake with 8 steps, notch
/// curves, rate-driven electric brake, full cab panel.
std::string suburban_emu_train();

/// A diesel railcar: one lever, automatic air brake, four-gear engine with
/// manual gears and engine sounds.
std::string diesel_railcar_train();

/// `lines` joined with LF, one line each.
std::string lines(std::initializer_list<const char*> lines);

}  // namespace cabsim::test
