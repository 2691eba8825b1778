// Fixed-point numbers with four implied decimals: masses, pressures, gradients,
// forces, voltage and several rates are kept as counts of 1/10000.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>

#include "data/rounding.h"

namespace cabsim {

/// A value held as a signed 64-bit count of 1/10000. Arithmetic is done on the
/// real value in floating point; the result is rounded half to even when it is
/// stored back.
class Fixed {
 public:
  static constexpr int64_t kScale = 10000;

  constexpr Fixed() = default;

  /// The fixed-point value nearest to `value`, or nothing when it does not fit.
  static std::optional<Fixed> try_from_real(long double value) {
    auto count = round_to_int64(value * kScale);
    if (!count) return std::nullopt;
    return from_count(*count);
  }

  /// The fixed-point value nearest to `value`; a value that does not fit in
  /// 64 bits is an arithmetic overflow.
  static Fixed from_real(long double value) {
    auto fixed = try_from_real(value);
    if (!fixed) throw std::overflow_error("fixed-point overflow");
    return *fixed;
  }

  static constexpr Fixed from_count(int64_t count) {
    Fixed f;
    f.count_ = count;
    return f;
  }

  constexpr int64_t count() const { return count_; }
  constexpr long double real() const { return static_cast<long double>(count_) / kScale; }

  /// Stores `value` (rounded half to even), as an assignment from a real does.
  Fixed& operator=(long double value) { return *this = from_real(value); }

  friend constexpr bool operator==(Fixed, Fixed) = default;
  friend constexpr auto operator<=>(Fixed a, Fixed b) { return a.count_ <=> b.count_; }

 private:
  int64_t count_ = 0;
};

}  // namespace cabsim
