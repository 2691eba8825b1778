// Brake-notch delays and their take-over rules.
#include "dynamics/brake_notch_delay.h"

#include <climits>

namespace cabsim {
namespace {

/// One cycle on a pending counter; it stops counting at its top.
void count_cycle(int32_t& counter) {
  if (counter < INT32_MAX) counter += 1;
}

void take_over(int32_t& notch, uint8_t& pending, int32_t& counter, int32_t demand) {
  notch = demand;
  pending = 0;
  counter = 0;
}

}  // namespace

int32_t brake_notch_demand(const RunState& s, const TrainParams& train) {
  if (s.protection_emergency_flag) return -train.Brake;
  if (s.pattern_brake_flag) return s.brake_handle == -train.Brake ? -train.Brake : 1 - train.Brake;
  return s.brake_handle;
}

void brake_notch_delay_step(RunState& s, const TrainParams& train) {
  const int32_t demand = brake_notch_demand(s, train);
  if (s.brake_change_pending) {
    count_cycle(s.brake_delay_counter);
    const int64_t counter = s.brake_delay_counter;
    // A brake already applied reacts faster: 0.7 x the delay, in whole numbers.
    bool applied = s.trailer_brake_cylinder.count() > 0;
    bool due =
        applied ? counter * 10 >= int64_t{train.BrakeDelay} * 7 : counter >= train.BrakeDelay;
    if (due)
      take_over(s.effective_brake_notch, s.brake_change_pending, s.brake_delay_counter, demand);
  }
  if (s.straight_air_change_pending) {
    count_cycle(s.straight_air_delay_counter);
    if (s.straight_air_delay_counter == train.SAPDelay)
      take_over(s.straight_air_notch, s.straight_air_change_pending, s.straight_air_delay_counter,
                demand);
  }
  if (s.electric_brake_change_pending) {
    count_cycle(s.electric_brake_delay_counter);
    if (s.electric_brake_delay_counter == train.EBrakeDelay)
      take_over(s.electric_brake_notch, s.electric_brake_change_pending,
                s.electric_brake_delay_counter, demand);
  }
}

}  // namespace cabsim
