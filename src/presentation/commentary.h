// The instructor's advice in the top message of the cab view: what the
// driver should do about the doors, the protection brake, the signal ahead,
// the approach to the stop or a stalled engine.
#pragma once

#include <string>
#include <string_view>

#include "state/run.h"

namespace cabsim {

/// The text of a stalled engine.
constexpr std::string_view kEngineStallText =
    "エンストしました。変速レバーを変速段に入れてエンジンを再始動してください。";

/// The commentary generator: "0" followed by the advice (UTF-8), "0" alone
/// for a stop where nothing is to be said, or empty for none.
std::string commentary_command(const Run& run);

}  // namespace cabsim
