// Rate-driven and table-driven electric brake current.
#include "dynamics/electric_brake.h"

#include <cmath>
#include <stdexcept>

#include "data/rounding.h"

namespace cabsim {
namespace {

/// The `[BrakeCurr]` entry of brake step `step` (entry k for step -k); steps
/// without an entry have none (0).
int32_t brake_step_current(const TrainParams& train, int32_t step) {
  int64_t k = -int64_t{step};
  if (k < 0 || k >= static_cast<int64_t>(kMaxBrakeCurr)) return 0;
  return train.BrakeCurr[static_cast<size_t>(k)];
}

void show_brake_current(RunState& s) {
  if (s.electric_brake_current <= 0) return;
  auto amps = round_to_int32(s.electric_brake_current);
  if (!amps) throw std::overflow_error("electric brake current out of range");
  s.motor_current = -*amps;
}

}  // namespace

void rate_electric_brake_step(RunState& s, const TrainParams& train) {
  const int32_t n = train.Brake;
  const int32_t e = s.electric_brake_notch;
  const long double v = s.speed;
  long double& ie = s.electric_brake_current;
  const long double rise = train.EBrakeUp * 3 / 30.0L;
  const long double fall = train.EBrakeDown * 3 / 30.0L;
  if (train.BrakeType2 >= 1) {
    const bool braking = -n < e;
    long double target = 0;
    if (braking) {
      target = train.EBrakeCurr * -static_cast<long double>(e) / (static_cast<long double>(n) - 1);
      if (target > ie + 50 && v >= train.Lose_elec) ie += rise;
    }
    // Below the fading speed the current dies away and the air brake takes over.
    if ((braking && target < ie) || v < train.Lose_elec) ie -= fall;
  }
  if (ie < 0) ie = 0;
  if (ie > 0 && (e == 0 || e == -n)) {
    ie -= fall;
    if (ie < 0) ie = 0;
  }
  show_brake_current(s);
}

void table_electric_brake_step(RunState& s, const TrainParams& train) {
  const int32_t e = s.electric_brake_notch;
  const long double v = s.speed;
  long double& ie = s.electric_brake_current;
  if (!s.doors_open && e < 0) {
    if (v >= train.Lose_elec || s.brake_current_row != 0) {
      const int32_t step_current = brake_step_current(train, e);
      for (int32_t i = 0; i < train.CurrentB_count; ++i) {
        int32_t k = s.brake_current_row;
        if (k >= 0 && k < train.CurrentB_count) {
          const CurrentBRow& row = train.CurrentB[static_cast<size_t>(k)];
          if (row.r0 != 0) ie = (std::fabs(v) - row.r1) / row.r0;
        }
        if (step_current == 0) {
          s.brake_current_row = 0;
          ie = 0;
        } else if (s.brake_current_row < i && step_current > ie) {
          s.brake_current_row += 1;
        }
      }
    } else {
      ie = 0;
    }
  }
  if (e == 0) s.brake_current_row = 0;
  if (e == 0 || ie < kTableBrakeMinCurrent) ie = 0;
  if (s.brake_current_row >= 1) s.step_index = 0;
  show_brake_current(s);
}

void electric_brake_step(RunState& s, const TrainParams& train) {
  if (train.Brake_Type == 1) rate_electric_brake_step(s, train);
  if (train.Brake_Type == 0) table_electric_brake_step(s, train);
}

}  // namespace cabsim
