// The error handler of the run's events: a failure is reported once, with the
// handler that threw it, and never leaves the handler; later ones are counted.
#include "run/handler_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "run/motion_cycle.h"
#include "run/start_pause.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

TEST(HandlerGuard, ReportsTheFirstFailureOnceAndCountsTheRest) {
  std::vector<std::string> reports;
  HandlerGuard guard([&](std::string_view handler, std::string_view what) {
    reports.push_back(std::string(handler) + ": " + std::string(what));
  });
  int ran = 0;
  EXPECT_TRUE(guard.run("AsciiDown", [&] { ++ran; }));
  for (int i = 0; i < 100; ++i)
    EXPECT_FALSE(guard.run("MMTimer1Timer", [] { throw std::overflow_error("integer overflow"); }));
  EXPECT_FALSE(guard.run("keydowns", [] { throw 7; }));
  EXPECT_TRUE(guard.run("AsciiDown", [&] { ++ran; }));
  EXPECT_EQ(ran, 2);
  EXPECT_EQ(reports, std::vector<std::string>{"MMTimer1Timer: integer overflow"});
  EXPECT_EQ(guard.failures(), 101);
}

TEST(HandlerGuard, AReportThatRunsTheEventLoopSeesNoSecondReport) {
  // A message box runs an event loop, in which the next cycle fails again.
  int reports = 0;
  HandlerGuard* self = nullptr;
  HandlerGuard guard([&](std::string_view, std::string_view) {
    ++reports;
    self->run("MMTimer1Timer", [] { throw std::overflow_error("integer overflow"); });
  });
  self = &guard;
  guard.run("MMTimer1Timer", [] { throw std::overflow_error("integer overflow"); });
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(guard.failures(), 2);
}

TEST(HandlerGuard, ARunClockAtItsLimitFailsEveryCycleAndTheRunGoesOn) {
  // A first departure at the clock's largest value: every cycle's clock step
  // overflows; the guard keeps the run's handlers working.
  test::TestRun t;
  t.s().clock = INT32_MAX;
  start1Click(*t.run);
  int reports = 0;
  HandlerGuard guard([&](std::string_view, std::string_view) { ++reports; });
  for (int i = 0; i < 30; ++i) guard.run("MMTimer1Timer", [&] { MMTimer1Timer(*t.run); });
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(guard.failures(), 30);
  EXPECT_EQ(t.s().clock, INT32_MAX);  // never wrapped
}

}  // namespace
}  // namespace cabsim
