// Simulated time: cycles at S + 33 k and ticks at S + 100 k after a start
// at S, input before cycle before tick at one millisecond, nothing while
// stopped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/scheduler.h"

namespace cabsim {
namespace {

struct Recorded {
  VirtualClock clock;
  std::vector<std::string> events;
  int64_t passed = 0;
  Scheduler scheduler{clock,
                      [this] { events.push_back("cycle " + std::to_string(clock.milliseconds())); },
                      [this] { events.push_back("tick " + std::to_string(clock.milliseconds())); },
                      [this](int64_t ms) { passed += ms; }};
};

TEST(Scheduler, CyclesAndTicksFallDueFromTheStartAndMergeByTime) {
  Recorded r;
  r.scheduler.run_through(250);
  EXPECT_TRUE(r.events.empty());  // not started
  r.scheduler.set_motion_cycle(true);
  r.scheduler.set_operation_tick(true);
  r.scheduler.run_through(250 + 300);
  std::vector<std::string> expected = {"cycle 283", "cycle 316", "tick 350", "cycle 349",
                                       "cycle 382", "cycle 415", "tick 450", "cycle 448",
                                       "cycle 481", "cycle 514", "tick 550", "cycle 547"};
  // Listed in time order, the cycle first on a shared millisecond.
  std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
    auto t = [](const std::string& e) { return std::stoll(e.substr(e.find(' ') + 1)); };
    return t(a) < t(b);
  });
  EXPECT_EQ(r.events, expected);
  EXPECT_EQ(r.passed, 550);

  // Paused and resumed at 600: the periods count from the resumption.
  r.events.clear();
  r.scheduler.advance_to(560);
  r.scheduler.set_motion_cycle(false);
  r.scheduler.set_operation_tick(false);
  r.scheduler.run_through(600);
  EXPECT_TRUE(r.events.empty());
  r.scheduler.set_motion_cycle(true);
  r.scheduler.set_operation_tick(true);
  r.scheduler.run_through(700);
  EXPECT_EQ(r.events,
            (std::vector<std::string>{"cycle 633", "cycle 666", "cycle 699", "tick 700"}));
}

TEST(Scheduler, AtOneMillisecondTheCycleRunsBeforeTheTick) {
  Recorded r;
  r.scheduler.set_motion_cycle(true);
  r.scheduler.set_operation_tick(true);
  r.scheduler.run_through(3300);
  auto at = [&](const std::string& e) {
    return std::find(r.events.begin(), r.events.end(), e) - r.events.begin();
  };
  EXPECT_LT(at("cycle 3300"), at("tick 3300"));
  EXPECT_EQ(static_cast<size_t>(at("tick 3300")), r.events.size() - 1);
  // An input made at 3333 before run_due precedes that millisecond's cycle.
  r.scheduler.advance_to(3333);
  r.events.push_back("input 3333");
  r.scheduler.run_due();
  EXPECT_EQ(r.events.back(), "cycle 3333");
  EXPECT_EQ(r.events[r.events.size() - 2], "input 3333");
}

}  // namespace
}  // namespace cabsim
