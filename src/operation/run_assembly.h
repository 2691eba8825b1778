// Assembling a run as the driving form's creation does: the definition files
// read in order, the sounds bound to their channels, the route's objects
// placed along the line, and the running state a run starts from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "operation/run.h"

namespace cabsim {

/// Finds `name` (a definition file's own bytes) below `base` unless absolute.
using FileResolver =
    std::function<std::filesystem::path(const std::filesystem::path& base, std::string_view name)>;

/// Message of a run whose sounds need more channels than the sound output has.
inline constexpr std::string_view kTooManySounds = "サウンドの数がチャンネル数(320)を超えています";

/// The first clock of a run: the departure time of the start station less the
/// length of its melody (and, starting at a later station, of its arrival
/// sound), in 1/30 s.
int32_t start_clock(const RouteTables& route, int32_t start_station);

/// Reads mascon.dat, the train file, the route file (and its Move menu) and
/// cabworks.dat from the program directory, in that order. Raises
/// DefinitionError with the program's message on the first failure.
void read_run_files(Run& run, const FileResolver& resolve);

/// Loads the train's running sounds and the route's environment sounds
/// (keeping their lengths), then the engine sounds, onto their channels, and
/// stops every channel. A sound that cannot be loaded raises DefinitionError
/// with the failure's text; more sounds than channels with kTooManySounds.
void bind_run_sounds(Run& run, const FileResolver& resolve);

/// The set-up of the environment: positions and events along the line, the
/// run fields reset, and the running state at the start of the run.
void set_up_run_state(Run& run);

/// The whole assembly of `selection` with `settings`: files, the start frame,
/// sounds, clock, positions and the starting state.
void assemble_run(Run& run, const RunSelection& selection, const RunSettings& settings,
                  const FileResolver& resolve);

}  // namespace cabsim
