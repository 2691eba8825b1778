// Synthesised sounds of the demo line: wave files of 16-bit PCM mono at
// 22050 Hz with the canonical 44-byte header, and speech from espeak-ng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "demo_assets.h"
#include "demo_output.h"

namespace demo {

constexpr int kSampleRate = 22050;

/// The canonical wave file of `samples`.
std::string wave_file(const std::vector<int16_t>& samples);

/// The samples of one synthesised (non-speech) sound.
std::vector<int16_t> synthesise(const SoundSpec& spec);

/// The music of the opening film, `seconds` long.
std::vector<int16_t> opening_music(double seconds);

/// Writes every sound of `sounds`. Speech comes from espeak-ng when it is
/// installed, otherwise from a distinct tone sequence per phrase.
void write_sounds(Output& out, const SoundList& sounds);

}  // namespace demo
