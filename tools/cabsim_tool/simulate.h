// cabsim-tool simulate: a run assembled without a window, its script of
// inputs replayed under the virtual clock, a CSV trace of running-state
// values.
#pragma once

#include <iosfwd>

#include "options.h"

namespace cabsim::tool {

/// Exit status 0 after the run, 1 when a file of the run cannot be used
/// (the program's message on standard output), 2 for a bad command line or
/// script (the reason on standard error).
int simulate(const Options& options, std::ostream& out, std::ostream& err);

/// --list-fields: every field name, one a line.
int list_fields(std::ostream& out);

}  // namespace cabsim::tool
