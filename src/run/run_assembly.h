// Assembling a run as the driving form's creation does: the definition files
// read in order, the sounds bound to their channels, the route's objects
// placed along the line, and the running state a run starts from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "state/run.h"

namespace cabsim {

/// Finds `name` (a definition file's own bytes) below `base` unless absolute.
using FileResolver =
    std::function<std::filesystem::path(const std::filesystem::path& base, std::string_view name)>;

/// Message of a run whose sounds need more channels than the sound output has.
inline constexpr std::string_view kTooManySounds = "サウンドの数がチャンネル数(320)を超えています";

/// Message of a film that cannot be opened (followed by its name); the run
/// goes on without the film.
inline constexpr const char* kFilmCannotOpen = "映像ファイルを開けません";

/// Status texts of the assembly, shown on the status line as it goes.
inline constexpr std::string_view kStatusReadingFiles = "設定ファイルを読み込んでいます";
inline constexpr std::string_view kStatusDrawingPanel = "運転台を描画しています";
inline constexpr std::string_view kStatusRunningSounds =
    "DirectSoundオブジェクトを作成しています(走行音)";
inline constexpr std::string_view kStatusEnvironmentSounds =
    "DirectSoundオブジェクトを作成しています(環境音)";
inline constexpr std::string_view kStatusCallSounds =
    "DirectSoundオブジェクトを作成しています(喚呼)";
inline constexpr std::string_view kStatusBindingSounds = "サウンドを読み込んでいます";
inline constexpr std::string_view kStatusEnvironment = "環境をセットアップしています";

/// What a form does between the steps of the assembly: the status line, and
/// its own steps once the files are read (cab panel, timetable card) and once
/// the sounds are bound, and the messages that do not end the assembly (a
/// film that cannot be opened). Each may be empty.
struct AssemblySteps {
  std::function<void(std::string_view text)> status;
  std::function<void(Run&)> files_read;
  std::function<void(Run&)> sounds_bound;
  std::function<void(std::string_view text)> message;
};

/// The first clock of a run: the departure time of the start station less the
/// length of its melody (and, starting at a later station, of its arrival
/// sound), in 1/30 s.
int32_t start_clock(const RouteTables& route, int32_t start_station);
/// The clock at which the arrival sound and then the melody of `station`
/// end at its departure time (a move to the station sets it), in 1/30 s.
int32_t arrival_clock(const RouteTables& route, int32_t station);

/// Reads mascon.dat, the train file, the route file (and its Move menu) and
/// cabworks.dat from the program directory, in that order. Raises
/// DefinitionError with the program's message on the first failure.
void read_run_files(Run& run, const FileResolver& resolve);

/// Loads the train's running sounds and the route's environment sounds
/// (keeping their lengths), then the engine sounds, onto their channels, and
/// stops every channel. A sound that cannot be loaded raises DefinitionError
/// with the failure's text; more sounds than channels with kTooManySounds.
void bind_run_sounds(Run& run, const FileResolver& resolve,
                     const std::function<void(std::string_view)>& status = {});

/// Opens the main film (`[Path]` + `[DataName]` + ".avi") on `run.film`, when
/// the run has one. Returns the message of a film that cannot be opened
/// (kFilmCannotOpen and the name as written), empty when it opened.
std::string open_first_film(Run& run);

/// The set-up of the environment: positions and events along the line, the
/// run fields reset, and the running state at the start of the run.
void set_up_run_state(Run& run);

/// The whole assembly of `selection` with `settings`: files, the start frame,
/// the film, sounds, clock, positions and the starting state.
void assemble_run(Run& run, const RunSelection& selection, const RunSettings& settings,
                  const FileResolver& resolve, const AssemblySteps& steps = {});

}  // namespace cabsim
