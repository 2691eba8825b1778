// Brake pressures of the three brake systems, per 33 ms cycle (30 a second).
#include "dynamics/air_brake.h"

#include "data/sound_curve.h"
#include "dynamics/brake_notch_delay.h"

namespace cabsim {
namespace {

constexpr long double kCyclesPerSecond = 30.0L;

void add(Fixed& pressure, long double delta) {
  pressure = pressure.real() + delta;
}
void floor_at_zero(Fixed& pressure) {
  if (pressure.count() < 0) pressure = Fixed();
}
void floor_at_zero(long double& pressure) {
  if (pressure < 0) pressure = 0;
}
void limit_to_full(Fixed& pressure) {
  if (pressure.real() > kBrakePipeFull) pressure = kBrakePipeFull;
}

/// Release of a cylinder or pipe: slow at low pressure, by the response curve.
long double release_step(long double rate, const Fixed& pressure) {
  return rate / kCyclesPerSecond / SoundCurve(pressure.real());
}

/// Emergency build-up common to the automatic brake's emergency position and
/// to protection: cylinder, reservoir and straight air pipe.
void automatic_emergency_fill(RunState& s, const TrainParams& train) {
  if (s.trailer_brake_cylinder.real() < train.EBPress) {
    add(s.trailer_brake_cylinder, train.BrakeUp / 9.0L);
    add(s.main_reservoir, -(train.BrakeUp / 99.0L));
    add(s.straight_air_pipe, -(train.SAPDown / 90.0L));
  }
}

void automatic_running(RunState& s, const TrainParams& train) {
  const long double recharge = train.BrakeDown / kCyclesPerSecond / 2.5L;
  if (s.trailer_brake_cylinder.real() < s.equalising_reservoir)
    add(s.trailer_brake_cylinder, -(train.BrakeDown / kCyclesPerSecond));
  if (s.brake_pipe > s.trailer_brake_cylinder) {
    add(s.brake_pipe, recharge);
    s.equalising_reservoir += recharge;
  } else {
    add(s.brake_pipe, train.BPReturn / kCyclesPerSecond);
    s.equalising_reservoir += train.BPReturn / kCyclesPerSecond;
  }
  floor_at_zero(s.trailer_brake_cylinder);
  limit_to_full(s.brake_pipe);
  if (s.equalising_reservoir > kBrakePipeFull)
    s.equalising_reservoir = kBrakePipeFull;
  else
    add(s.main_reservoir, -(train.BrakeUp / 600.0L));
}

void automatic_service(RunState& s, const TrainParams& train) {
  long double bct = s.trailer_brake_cylinder.real();
  if (bct < train.EBPress && bct < 4.6L * (kBrakePipeFull - s.brake_pipe.real())) {
    add(s.trailer_brake_cylinder, train.BrakeUp / kCyclesPerSecond);
    add(s.straight_air_pipe, -(train.SAPUp / kCyclesPerSecond));
  }
  add(s.brake_pipe, -(train.BrakeUp / 138.0L));
  s.equalising_reservoir -= train.BrakeUp / 138.0L;
  floor_at_zero(s.brake_pipe);
  floor_at_zero(s.straight_air_pipe);
  floor_at_zero(s.equalising_reservoir);
}

void automatic_emergency(RunState& s, const TrainParams& train) {
  automatic_emergency_fill(s, train);
  add(s.brake_pipe, -(train.BrakeUp / 18.0L));
  s.equalising_reservoir -= train.BrakeUp / 138.0L;
  floor_at_zero(s.brake_pipe);
  floor_at_zero(s.main_reservoir);
  floor_at_zero(s.straight_air_pipe);
  floor_at_zero(s.equalising_reservoir);
}

void automatic_release_position(RunState& s, const TrainParams& train) {
  if (s.brake_pipe.real() < kBrakePipeFull) {
    const long double recharge = train.BrakeDown / kCyclesPerSecond / 2.5L;
    add(s.brake_pipe, recharge);
    s.equalising_reservoir += recharge;
    add(s.main_reservoir, -(train.BrakeUp / 600.0L));
  }
}

void automatic_protection(RunState& s, const TrainParams& train) {
  automatic_emergency_fill(s, train);
  add(s.brake_pipe, -(train.BrakeUp / 18.0L));
  s.equalising_reservoir -= train.BrakeUp / 18.0L;
  floor_at_zero(s.straight_air_pipe);
  floor_at_zero(s.brake_pipe);
  floor_at_zero(s.equalising_reservoir);
}

/// Motor-car cylinder at a service step with target `target`: above `[ELBR]`
/// the working electric brake takes the motor car's braking over.
void motor_cylinder_service(RunState& s, const TrainParams& train, long double target) {
  const long double ie = s.electric_brake_current;
  if (s.motor_brake_cylinder.real() + 10 < target &&
      (ie < kElectricBrakeTakeOver || s.motor_brake_cylinder.real() < train.ELBR))
    add(s.motor_brake_cylinder, train.BrakeUp / kCyclesPerSecond);
  if (s.motor_brake_cylinder.real() > target) {
    add(s.motor_brake_cylinder, -release_step(train.BrakeDown, s.motor_brake_cylinder));
  } else if (ie + 10 >= kElectricBrakeTakeOver &&
             s.motor_brake_cylinder.real() >= train.ELBR + 5.0L) {
    add(s.motor_brake_cylinder, -release_step(train.BrakeDown, s.motor_brake_cylinder));
  }
}

/// A service step's share of a full pressure: full x step / steps, computed
/// so that the last service step gives exactly the full pressure.
long double step_target(long double full, int32_t step, long double steps) {
  return full * -static_cast<long double>(step) / steps;
}

}  // namespace

void automatic_air_brake_step(RunState& s, const TrainParams& train) {
  if (s.protection_emergency_flag || s.pattern_brake_flag) {
    automatic_protection(s, train);
  } else {
    switch (s.effective_brake_notch) {
      case 0:
        automatic_running(s, train);
        break;
      case -1:
        automatic_release_position(s, train);
        break;
      case -2:
        break;  // lap: every pressure holds
      case -3:
        automatic_service(s, train);
        break;
      case -4:
        automatic_emergency(s, train);
        break;
      default:
        break;
    }
  }
  s.motor_brake_cylinder = s.trailer_brake_cylinder;
}

void straight_air_brake_step(RunState& s, const TrainParams& train) {
  const int32_t n = train.Brake;
  const int32_t sap_notch = s.straight_air_notch;
  const int32_t b = s.effective_brake_notch;
  const long double service_steps = static_cast<long double>(n) - 1;
  const long double released_pipe = train.EBPress - static_cast<long double>(train.EBPress) / n;
  if (-n < sap_notch && sap_notch < 0) {
    long double target = step_target(train.SAPPress, sap_notch, service_steps);
    if (s.straight_air_pipe.real() + 10 < target)
      add(s.straight_air_pipe, train.SAPUp / kCyclesPerSecond);
    if (s.straight_air_pipe.real() > target)
      add(s.straight_air_pipe, -(train.SAPDown / kCyclesPerSecond));
    floor_at_zero(s.straight_air_pipe);  // a pipe never holds less than nothing
  }
  if (-n < b && b < 0) {
    long double target = step_target(train.EBPress, b, service_steps);
    if (s.trailer_brake_cylinder.real() + 10 < target) {
      add(s.trailer_brake_cylinder, train.BrakeUp / kCyclesPerSecond);
      add(s.main_reservoir, -(train.BrakeUp / 300.0L));
    }
    if (s.trailer_brake_cylinder.real() > target && s.equalising_reservoir >= released_pipe)
      add(s.trailer_brake_cylinder, -release_step(train.BrakeDown, s.trailer_brake_cylinder));
    motor_cylinder_service(s, train, target);
    floor_at_zero(s.motor_brake_cylinder);
    floor_at_zero(s.trailer_brake_cylinder);
    floor_at_zero(s.straight_air_pipe);
  }
  if (b == -n) {
    if (s.trailer_brake_cylinder.real() < train.EBPress) {
      add(s.trailer_brake_cylinder, train.BrakeUp / kCyclesPerSecond * 3);
      add(s.main_reservoir, -(train.BrakeUp / 150.0L));
    }
    if (s.motor_brake_cylinder.real() < train.EBPress)
      add(s.motor_brake_cylinder, train.BrakeUp / kCyclesPerSecond * 3);
    add(s.brake_pipe, -(train.BrakeUp / 10.0L));
    add(s.straight_air_pipe, -(train.SAPUp / 10.0L));
    s.equalising_reservoir -= train.BrakeUp / 10.0L;
    floor_at_zero(s.brake_pipe);
    floor_at_zero(s.straight_air_pipe);
    floor_at_zero(s.equalising_reservoir);
  }
  if (b == 0) {
    bool pipe_charged = s.brake_pipe.real() >= released_pipe;
    if ((s.trailer_brake_cylinder.count() > 0 || s.straight_air_pipe.count() > 0) && pipe_charged) {
      add(s.trailer_brake_cylinder, -release_step(train.BrakeDown, s.trailer_brake_cylinder));
      add(s.straight_air_pipe, -release_step(train.SAPDown, s.straight_air_pipe));
      floor_at_zero(s.trailer_brake_cylinder);
      floor_at_zero(s.straight_air_pipe);
    }
    if (s.motor_brake_cylinder.count() > 0 && pipe_charged) {
      add(s.motor_brake_cylinder, -release_step(train.BrakeDown, s.motor_brake_cylinder));
      floor_at_zero(s.motor_brake_cylinder);
    }
  }
  if (b > -n) {
    add(s.brake_pipe, train.BrakeDown / 150.0L);
    limit_to_full(s.brake_pipe);
    s.equalising_reservoir += train.BrakeDown / 150.0L;
    if (s.equalising_reservoir > kBrakePipeFull) s.equalising_reservoir = kBrakePipeFull;
  }
}

void electro_pneumatic_brake_step(RunState& s, const TrainParams& train) {
  const int32_t n = train.Brake;
  const int32_t b = s.effective_brake_notch;
  if (-n < b && b < 0) {
    long double target = step_target(train.EBPress, b, n);
    if (s.trailer_brake_cylinder.real() + 10 < target) {
      add(s.trailer_brake_cylinder, train.BrakeUp / kCyclesPerSecond);
      add(s.main_reservoir, -(train.BrakeUp / 300.0L));
    }
    if (s.trailer_brake_cylinder.real() > target)
      add(s.trailer_brake_cylinder, -release_step(train.BrakeDown, s.trailer_brake_cylinder));
    motor_cylinder_service(s, train, target);
    floor_at_zero(s.trailer_brake_cylinder);
    floor_at_zero(s.motor_brake_cylinder);
  }
  if (b == -n) {
    if (s.motor_brake_cylinder.real() < train.EBPress)
      add(s.motor_brake_cylinder, train.BrakeUp / kCyclesPerSecond * 1.3L);
    if (s.trailer_brake_cylinder.real() < train.EBPress)
      add(s.trailer_brake_cylinder, train.BrakeUp / kCyclesPerSecond * 1.3L);
  }
  if (b == 0) {
    if (s.trailer_brake_cylinder.count() > 0)
      add(s.trailer_brake_cylinder, -release_step(train.BrakeDown, s.trailer_brake_cylinder));
    if (s.motor_brake_cylinder.count() > 0)
      add(s.motor_brake_cylinder, -release_step(train.BrakeDown, s.motor_brake_cylinder));
    floor_at_zero(s.trailer_brake_cylinder);
    floor_at_zero(s.motor_brake_cylinder);
  }
}

void main_reservoir_leak_step(RunState& s) {
  add(s.main_reservoir, -(kMainReservoirLeak / kCyclesPerSecond));
  // The brake draws of this cycle and the leak empty the reservoir at most: a
  // train whose compressor never runs (its pressures all 0) stands at 0.
  floor_at_zero(s.main_reservoir);
}

void air_brake_step(RunState& s, const TrainParams& train) {
  switch (train.BrakeType) {
    case 0:
      automatic_air_brake_step(s, train);
      break;
    case 1:
      straight_air_brake_step(s, train);
      break;
    case 2:
      electro_pneumatic_brake_step(s, train);
      break;
    default:
      break;
  }
  main_reservoir_leak_step(s);
  brake_notch_delay_step(s, train);
}

void release_brakes_at_rest(RunState& s) {
  s.trailer_brake_cylinder = Fixed();
  s.motor_brake_cylinder = Fixed();
  s.straight_air_pipe = Fixed();
  s.brake_pipe = Fixed::from_count(static_cast<int64_t>(kBrakePipeFull) * Fixed::kScale);
  s.equalising_reservoir = kBrakePipeFull;
  s.electric_brake_current = 0;
  s.brake_delay_counter = 0;
  s.straight_air_delay_counter = 0;
  s.electric_brake_delay_counter = 0;
  s.brake_change_pending = 0;
  s.straight_air_change_pending = 0;
  s.electric_brake_change_pending = 0;
  s.electric_brake_notch = 0;
}

}  // namespace cabsim
