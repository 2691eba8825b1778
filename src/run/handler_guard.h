// The program's error handler for everything the run does on an event: the
// 33 ms cycle, the tick, the display pass, the keys and the menus. A failure
// a handler throws (an integer overflow from a stranger's route file, for
// example) must never leave the event loop: it is reported once, the first
// time, and the run goes on; a failure that repeats on every cycle is one
// message, not thousands.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace cabsim {

class HandlerGuard {
 public:
  /// `report` is told the first failure: the handler's name and what it threw.
  explicit HandlerGuard(std::function<void(std::string_view handler, std::string_view what)> report)
      : report_(std::move(report)) {}

  /// Runs `handler`; false when it threw (the failure is counted, and
  /// reported when it is the first).
  template <typename F>
  bool run(std::string_view name, F&& handler) {
    try {
      handler();
      return true;
    } catch (const std::exception& e) {
      failed(name, e.what());
    } catch (...) {
      failed(name, "unknown failure");
    }
    return false;
  }

  /// Failures caught so far.
  int64_t failures() const { return failures_; }

 private:
  void failed(std::string_view name, std::string_view what) {
    failures_ += 1;
    if (failures_ > 1 || !report_) return;
    // Counted before reporting: a message box runs an event loop, in which the
    // next cycle may fail again while this one is still shown.
    report_(name, what);
  }

  std::function<void(std::string_view, std::string_view)> report_;
  int64_t failures_ = 0;
};

}  // namespace cabsim
