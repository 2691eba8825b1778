// Reading a train definition file into the train parameter record.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "data/train_params.h"

namespace cabsim {

/// Label of the basic settings at the start of every pass of a train file.
inline constexpr std::string_view kTrainPassLabel = "- 列車の基本設定";
/// Message prefix of a train file that cannot be read; the label follows it.
inline constexpr std::string_view kTrainFileError = "車両ファイルに誤りがあります";
inline constexpr std::string_view kDieselWithNotch = "動力が気動車なのにNotch指定があります";
inline constexpr std::string_view kElectricWithEngine = "動力が電車なのにEngine指定があります";
inline constexpr std::string_view kTooFewBrakeSteps = "ブレーキの段数を3段以上に設定してください";

/// Reads the train file at `path`. `train_dir_prefix` is the prefix (as the
/// run selection gives it, in the file's own encoding) put before every file
/// name the train file names. Raises DefinitionError with the program's message
/// when the file is missing or malformed, or fails one of its two reading checks.
TrainParams read_train_file(const std::filesystem::path& path, std::string_view train_dir_prefix);

/// The same, for the bytes of a train file already in memory.
TrainParams read_train_bytes(std::string bytes, std::string_view train_dir_prefix);

/// The brake step check the run set-up makes once every file is read: with the
/// automatic air brake (`[BrakeType]` 0) the handle has 4 steps; any other brake
/// needs at least 3. Raises DefinitionError("ブレーキの段数を3段以上に設定してください").
void check_brake_steps(TrainParams& train);

}  // namespace cabsim
