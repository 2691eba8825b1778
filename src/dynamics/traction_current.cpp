// Current-limit step progression, motor current, step-end lamp, voltmeter.
#include "dynamics/traction_current.h"

#include <cmath>
#include <stdexcept>

#include "data/rounding.h"

namespace cabsim {
namespace {

int32_t current_in_amps(long double amps) {
  auto rounded = round_to_int32(amps);
  if (!rounded) throw std::overflow_error("motor current out of range");
  return *rounded;
}

void step_progression(RunState& s, const TrainParams& train) {
  if (s.effective_power_notch == 0) {
    s.step_index = 0;
    s.step_current = 0;
    return;
  }
  if (s.doors_open || s.effective_power_notch < 1) return;
  const int32_t rows = train.CurrentP_count;
  const long double v = std::fabs(s.speed);
  for (int32_t i = 0; i < rows; ++i) {
    const CurrentPRow& row = train.CurrentP[static_cast<size_t>(i)];
    if (s.step_index < i && s.effective_power_notch >= row.c0 &&
        s.step_current < train.CurrentPHeader.limit_current)
      s.step_index += 1;
    if (s.step_index < 0 || s.step_index >= rows) continue;
    const CurrentPRow& step = train.CurrentP[static_cast<size_t>(s.step_index)];
    // At the row's own speed the current is left as it was.
    if (v != step.c2) s.step_current = current_in_amps(step.c1 / (v - step.c2));
  }
}

}  // namespace

void motor_current_step(RunState& s, RunView& view, const TrainParams& train) {
  if (train.Engine_Type == 1 && train.Power_Type == 0) {
    step_progression(s, train);
    s.motor_current = s.step_current;
  } else if (train.Engine_Type == 1 && train.Power_Type == 1) {
    if (s.effective_brake_notch < 0 || s.effective_power_notch >= 1) {
      long double mass_kg = train.Tons.real() * 1000.0L;
      long double amps = s.published_tractive_force.real() * 3.6L / mass_kg * kAmpsPerAcceleration;
      s.motor_current = std::isfinite(amps) ? current_in_amps(amps) : 0;
    } else {
      s.motor_current = 0;
    }
  }
  view.step_end_lamp = step_end_lamp_on(s, train);
}

bool step_end_lamp_on(const RunState& s, const TrainParams& train) {
  int32_t k = s.step_index;
  if (k < 1 || k >= train.CurrentP_count) return false;
  // The row after the last is empty (c0 0), like every unread row.
  size_t next = static_cast<size_t>(k) + 1;
  int32_t next_c0 = next < kMaxCurrentP ? train.CurrentP[next].c0 : 0;
  return train.CurrentP[static_cast<size_t>(k)].c0 != next_c0;
}

void voltmeter_step(RunState& s) {
  if (s.voltmeter_value == s.line_voltage) return;
  const long double step = kVoltmeterStep;
  if (s.voltmeter_value > s.line_voltage) s.voltmeter_value = s.voltmeter_value.real() - step;
  if (s.voltmeter_value < s.line_voltage) s.voltmeter_value = s.voltmeter_value.real() + step;
}

}  // namespace cabsim
