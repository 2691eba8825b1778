// Conversion of definition-file values: integers, reals, fixed-point numbers,
// and the comma fields they are taken from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/fixed_point.h"

namespace cabsim {

/// The n-th (from 1) comma-separated field of `line`, untrimmed, or the literal
/// "Error" when the line has fewer than n fields. A trailing comma makes an empty
/// last field; n < 1 is treated as 1.
std::string CsvField(std::string_view line, int n);

/// An integer: optional blanks, optional sign, decimal digits and nothing else
/// (a trailing blank or remark fails). Nothing when it does not convert or does
/// not fit in 32 bits.
std::optional<int32_t> parse_integer(std::string_view text);

/// A real: optional blanks, optional sign, digits with an optional decimal point
/// and exponent, optional trailing blanks. Nothing when it does not convert or is
/// out of range.
std::optional<long double> parse_real(std::string_view text);

/// A fixed-point value: parsed as a real, times 10000, rounded half to even.
std::optional<Fixed> parse_fixed(std::string_view text);

}  // namespace cabsim
