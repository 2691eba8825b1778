// Reading the definition files of a run as the run assembly reads them.
#pragma once

#include "data/train_params.h"
#include "options.h"

namespace cabsim::tool {

/// Reads the train file (train directory prefix + name, found below the
/// program directory unless absolute) and makes the set-up's brake step check.
/// Raises DefinitionError with the program's message.
TrainParams load_train(const Options& options);

}  // namespace cabsim::tool
