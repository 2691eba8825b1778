// The signal that ends an operation pass early: a step that finds the run
// cannot go on this tick (a film change with the motion cycle stopped) throws
// it, and the tick's remaining steps run on the next pass.
#pragma once

#include <exception>

namespace cabsim {

/// Thrown by a step that must end the pass at once; the remaining steps run
/// on the next tick.
struct EndPass : std::exception {
  const char* what() const noexcept override { return "end of the operation pass"; }
};

}  // namespace cabsim
