// The motion stretch of the 100 ms tick: brake force, resistances and
// adhesion, the stop tests that keep a braked train from reversing, and the
// integration of the speed over 0.1 s.
#pragma once

#include <string>

#include "data/route_tables.h"
#include "data/train_params.h"
#include "state/run_state.h"
#include "state/run_view.h"

namespace cabsim {

/// Change of speed in km/h that `force` N gives a train of `tons` in one
/// 0.1 s tick.
long double speed_change_per_tick(long double force, long double tons);

/// Brake against motion: the brake force opposes the direction of travel; at
/// a stand it is not applied.
void brake_against_motion(RunState& s);

/// The speed the train would have after this tick's forces.
void predict_speed(RunState& s, const TrainParams& train);

/// The three stop tests: held at a stand by the brake, or the brake would
/// reverse the train. When one fires the speed and both forces become 0.
/// Returns whether one fired.
bool stop_tests(RunState& s, const TrainParams& train);

/// Explicit Euler over 0.1 s; the resistance only when not switched off.
void integrate_speed(RunState& s, const TrainParams& train);

/// "%5.1f km/h" of `speed`.
std::string speed_text_of(long double speed);
/// The speed text slot follows the speed.
void speed_text_step(const RunState& s, RunView& v);

/// Steps 1 to 8 of the motion stretch in order (the speed text, its ninth
/// step, is speed_text_step). A train without mass keeps its speed.
void motion_stretch(RunState& s, RunView& v, const TrainParams& train, const RouteTables& route);

}  // namespace cabsim
