// NotchSelect: a wanted notch of an external controller as a handle position.
#include "data/notch_select.h"

#include <gtest/gtest.h>

#include <climits>

namespace cabsim {
namespace {

/// A train whose notch rows belong to the power modes `modes`, in order.
TrainParams train_with_modes(std::initializer_list<int32_t> modes) {
  TrainParams train;
  for (int32_t mode : modes) train.Notch[static_cast<size_t>(train.Notch_count++)].group = mode;
  return train;
}

TEST(NotchSelect, PowerNotchesCountOverTheWholeTable) {
  TrainParams train = train_with_modes({0, 0, 1, 1, 1, 2, 2, 2, 2, 2});
  EXPECT_EQ(NotchSelect(train, 1, 10, 8, 0), 1);
  EXPECT_EQ(NotchSelect(train, 3, 10, 8, 0), 2);  // beyond mode 0: its highest notch
  EXPECT_EQ(NotchSelect(train, 1, 10, 8, 1), 3);
  EXPECT_EQ(NotchSelect(train, 3, 10, 8, 1), 5);
  EXPECT_EQ(NotchSelect(train, 9, 10, 8, 2), 10);
  // Only the first `entry_count` rows are looked at.
  EXPECT_EQ(NotchSelect(train, 5, 7, 8, 2), 7);
  // A mode with no row gives the off position.
  EXPECT_EQ(NotchSelect(train, 1, 10, 8, 3), 0);
  EXPECT_EQ(NotchSelect(train, 1, 2, 8, 1), 0);
}

TEST(NotchSelect, ARowOfAnotherModeInsideTheRangeEndsIt) {
  // Mode 0 rows at 0, 1 and 3: count 4 spans row 2 of mode 1.
  TrainParams train = train_with_modes({0, 0, 1, 0});
  EXPECT_EQ(NotchSelect(train, 2, 4, 8, 0), 2);
  EXPECT_EQ(NotchSelect(train, 3, 4, 8, 0), 4);  // row 2 is mode 1: the highest notch
  EXPECT_EQ(NotchSelect(train, 4, 4, 8, 0), 4);
}

TEST(NotchSelect, BrakeAndOff) {
  TrainParams train = train_with_modes({0, 0});
  EXPECT_EQ(NotchSelect(train, -9, 10, 8, 0), -8);
  EXPECT_EQ(NotchSelect(train, -3, 10, 8, 0), -3);
  EXPECT_EQ(NotchSelect(train, 0, 10, 8, 0), 0);
  // A brake request does not depend on the power mode.
  EXPECT_EQ(NotchSelect(train, -2, 10, 8, 7), -2);
  // Rows the file did not give are never counted, whatever `[Power]` says.
  EXPECT_EQ(NotchSelect(train, 5, 40, 8, 0), 2);
  EXPECT_EQ(NotchSelect(train, 1, -3, 8, 0), 0);
  EXPECT_EQ(NotchSelect(train, INT32_MIN, 10, INT32_MIN, 0), INT32_MAX);  // no overflow
  EXPECT_EQ(NotchSelect(train, INT32_MAX, 10, 8, 0), 2);
}

}  // namespace
}  // namespace cabsim
