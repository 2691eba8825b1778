// The air brake pressures of one 33 ms cycle: brake pipe, straight air pipe,
// equalising and main reservoirs and the brake cylinders of motor and trailer
// cars, by the train's brake system, then the main-reservoir leak and the
// delays between the brake handle and the brake.
#pragma once

#include "data/train_params.h"
#include "state/run_state.h"

namespace cabsim {

/// Highest brake pipe and equalising reservoir pressure, kPa.
constexpr long double kBrakePipeFull = 490.0L;
/// Main-reservoir leak, kPa per second.
constexpr long double kMainReservoirLeak = 0.2L;
/// Electric brake current at which it replaces the motor car's air brake, A.
constexpr long double kElectricBrakeTakeOver = 50.0L;

/// `[BrakeType]` 0: automatic air brake, handle positions 0 (running), -1,
/// -2 (lap), -3 (service), -4 (emergency).
void automatic_air_brake_step(RunState& s, const TrainParams& train);
/// `[BrakeType]` 1: straight-air brake with a brake pipe.
void straight_air_brake_step(RunState& s, const TrainParams& train);
/// `[BrakeType]` 2: direct electro-pneumatic brake.
void electro_pneumatic_brake_step(RunState& s, const TrainParams& train);

/// The main reservoir loses 0.2 kPa per second on every train.
void main_reservoir_leak_step(RunState& s);

/// 33 ms cycle, air brake: the pressures by brake type, the main-reservoir
/// leak, then the three brake-notch delays.
void air_brake_step(RunState& s, const TrainParams& train);

/// The brake at rest, released: the pipes charged, the cylinders and the
/// straight-air pipe empty, the electric brake off (a running state restored
/// at speed, whose brakes were off when it was saved).
void release_brakes_at_rest(RunState& s);

}  // namespace cabsim
