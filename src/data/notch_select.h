// Turning a wanted notch of an external controller into a handle position.
#pragma once

#include <cstdint>

#include "data/train_params.h"

namespace cabsim {

/// The handle position for `wanted`: > 0 power notch `wanted` of power mode
/// `mode`, < 0 brake step -`wanted`, 0 the off position. Power notches are
/// counted from 1 over the whole notch table: the result is first + `wanted`
/// (first = index of the mode's first row among the first `entry_count` rows),
/// or the mode's highest notch when `wanted` is beyond it or leaves the mode;
/// 0 when the mode has no row. Brake steps stop at -`brake_steps`.
int32_t NotchSelect(const TrainParams& train, int32_t wanted, int32_t entry_count,
                    int32_t brake_steps, int32_t mode);

}  // namespace cabsim
