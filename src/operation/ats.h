// The automatic train stop: ATS-S, the bell at signals and speed checks that
// the driver acknowledges while braking or the emergency brake follows, and
// ATS-P, a braking pattern towards the next stop signal, stop station or
// limit that applies the service brake when the train runs over it; the
// acknowledge and reset keys.
#pragma once

#include "state/run.h"

namespace cabsim {

/// `[ATS_Type]` values.
constexpr int32_t kAtsS = 0;
constexpr int32_t kAtsP = 1;

/// Pattern states of ATS-P.
constexpr int32_t kPatternFree = 0;
constexpr int32_t kPatternApproach = 1;
constexpr int32_t kPatternBraking = 2;
constexpr int32_t kPatternBrakingSlow = 3;

/// The bell for a speed check: it rings and, the counter starting at its
/// limit, the emergency brake follows on the next ATS-S step.
void ats_alarm_request(RunState& s, const TrainParams& train);

/// Tick step 20: ATS-S (an ATS-S train with its ATS on).
void ats_s_step(Run& run);

/// Tick step 21: ATS-P (an ATS-P train with its ATS on).
void ats_p_step(Run& run);

/// The Space key on an ATS-S train: the acknowledgement.
void ats_acknowledge(Run& run);

/// The `r` key: the protection reset, only at the emergency position and
/// standing.
void ats_reset(Run& run);

/// A move or a restore: the train stands somewhere new, so nothing of the
/// protection's state before carries over (the caller stops the sounds). The
/// alarm, the acknowledgement, the pattern states and every protection brake
/// are released, the vigilance count starts again, and the ATS lamps show
/// whether the protection is on.
void reset_train_protection(Run& run);

}  // namespace cabsim
