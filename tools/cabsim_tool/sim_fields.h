// The running-state values the simulation can write, by name, as CSV text.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "operation/run_state.h"

namespace cabsim::tool {

struct SimField {
  std::string_view name;
  std::function<std::string(const RunState&)> text;
};

/// Every field the simulation knows, in the order --list-fields prints them.
std::span<const SimField> sim_fields();

/// The field called `name`, or nothing.
const SimField* find_sim_field(std::string_view name);

/// A CSV cell: quoted when it holds a comma, a quote or a line break.
std::string csv_cell(const std::string& text);

/// A fixed-point value as its real value: all four decimals, trailing zeros
/// and a bare point dropped ("1500", "-29398.53").
std::string fixed_text(Fixed value);
/// A real value with ten decimals, trailing zeros dropped.
std::string real_text(long double value);

}  // namespace cabsim::tool
