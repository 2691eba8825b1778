// The forces that do not come from the driver: the train's mean gradient and
// the gradient force, tunnel resistance, starting and running resistance, and
// the adhesion limit with wheel slip and skid.
#pragma once

#include "data/route_tables.h"
#include "data/train_params.h"
#include "state/run_state.h"
#include "state/run_view.h"

namespace cabsim {

/// Gravity, m/s^2.
constexpr long double kGravity = 9.8L;
/// Travel between two gradient samples (one car length), cm.
constexpr long double kGradientSampleDistance = 2000.0L;
/// Speed below which the starting resistance works, km/h.
constexpr long double kStartingResistanceSpeed = 8.0L;
/// Speed below which there is no running resistance, km/h (either way).
constexpr long double kRunningResistanceSpeed = 0.1L;

/// Texts of the adhesion state (the system's own, UTF-8).
inline constexpr const char* kWheelSlipText = "空転";
inline constexpr const char* kSkidText = "滑走";

/// Number of cars the train gradient averages over: `[Cars]`, at least 1 and
/// at most kMaxCarGradients.
int32_t gradient_car_count(const TrainParams& train);

/// 100 ms tick: after every 20 m of travel the car gradients move one car
/// back, the front car takes the local gradient and the train gradient
/// becomes their mean.
void train_gradient_step(RunState& s, const TrainParams& train);

/// The gradient at the current frame: the row of the gradient table strictly
/// around the frame; 0 strictly between two rows or after the last; on a row's
/// end frame it stays as it was.
void local_gradient_step(RunState& s, const RouteTables& route);

/// `in tunnel` when the position lies strictly inside a tunnel of the route.
void tunnel_membership_step(RunState& s, const RouteTables& route);

/// Gradient force of a `tons` train on `gradient` per mille, N (negative
/// uphill): -m g sin(theta) with tan(theta) = G / 1000.
long double gradient_force(long double tons, long double gradient);

/// Running resistance magnitude of a train at |v| km/h, N.
long double running_resistance(const TrainParams& train, long double abs_speed);

/// Motion stretch, after the brake: adhesion coefficient, gradient force,
/// tunnel resistance, adhesion limit with slip and skid, starting and running
/// resistance. Tunnel resistance opposes the motion in either direction.
void resistance_and_adhesion_step(RunState& s, RunView& view, const TrainParams& train,
                                  const RouteTables& route);

}  // namespace cabsim
