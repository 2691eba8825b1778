// The films of the demo line and the still pictures taken from them.
#pragma once

#include "demo_output.h"

namespace demo {

struct FilmReport {
  std::string file;
  int frames = 0;
  long long bytes = 0;
};

/// Renders and encodes every film the route files name, the two directions
/// side by side on two threads. `quick` encodes plain frames instead, as many
/// as the real films have (for tests of counts and determinism).
std::vector<FilmReport> write_films(Output& out, bool quick);

}  // namespace demo
