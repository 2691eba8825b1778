// Reading the definition files of a run as the run assembly reads them.
#pragma once

#include <memory>

#include "data/cabworks_text.h"
#include "data/mascon_file.h"
#include "data/route_tables.h"
#include "data/train_params.h"
#include "options.h"

namespace cabsim::tool {

/// Reads the train file (train directory prefix + name, found below the
/// program directory unless absolute) and makes the set-up's brake step check.
/// Raises DefinitionError with the program's message.
TrainParams load_train(const Options& options);

/// Every definition file of a run, read and set up.
struct RunFiles {
  MasconMap mascon;
  TrainParams train;
  std::unique_ptr<RouteTables> route;
  CabworksText text;
};

/// Reads, in the order of run assembly, mascon.dat, the train file, the route
/// file (then the Move menu) and cabworks.dat from the program directory, then
/// makes the set-up's steps for a run from the first station: the lengths of
/// the environment sounds, the positions and events of the route, and the
/// brake step check. The first failure raises DefinitionError with the
/// program's message. `options.route` must be set.
RunFiles load_run(const Options& options);

}  // namespace cabsim::tool
