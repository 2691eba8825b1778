// The notch rule shared by the serial and USB controllers and the handle model.
#include "data/notch_select.h"

#include <algorithm>
#include <climits>

namespace cabsim {

int32_t NotchSelect(const TrainParams& train, int32_t wanted, int32_t entry_count,
                    int32_t brake_steps, int32_t mode) {
  if (wanted < 0) {
    // Worked in 64 bits: a brake step count from a damaged file may be any value.
    int64_t strongest = -int64_t{brake_steps};
    int64_t step = std::max<int64_t>(wanted, strongest);
    return static_cast<int32_t>(std::clamp<int64_t>(step, INT32_MIN, INT32_MAX));
  }
  if (wanted == 0) return 0;
  // Only rows the train file gave are looked at.
  int32_t rows = std::clamp(entry_count, 0, train.Notch_count);
  int32_t first = -1;
  int32_t last = -1;
  for (int32_t i = 0; i < rows; ++i) {
    if (train.Notch[static_cast<size_t>(i)].group != mode) continue;
    if (first < 0) first = i;
    last = i;
  }
  if (first < 0) return 0;
  int32_t count = last - first + 1;
  if (wanted <= count && train.Notch[static_cast<size_t>(first + wanted - 1)].group == mode)
    return first + wanted;
  return first + count;
}

}  // namespace cabsim
