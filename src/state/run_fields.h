// The table of running-state fields: every value of the running state and of
// what the rules decided for the view, by name, with its type, a way to read
// it and a way to write it. The trace of the command-line simulation, saving
// and restoring a run and the value display all go through this one table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "data/fixed_point.h"
#include "state/run_state.h"
#include "state/run_view.h"

namespace cabsim {

enum class FieldType : uint8_t {
  kInteger,   ///< any integer width; written only within the field's range
  kFixed,     ///< fixed point, 1/10000
  kReal,      ///< long double
  kUtf8,      ///< text in UTF-8 (the program's own)
  kShiftJis,  ///< text as the definition files wrote it
};

/// Which record holds a field.
enum class FieldRecord : uint8_t { kState, kView };

/// A field's value: integers, fixed point, reals and texts each in their own
/// alternative, so nothing is lost between reading and writing.
using FieldValue = std::variant<int64_t, Fixed, long double, std::string>;

struct RunField {
  std::string_view name;
  FieldType type;
  FieldRecord record;
  FieldValue (*read)(const RunState& s, const RunView& v);
  /// Writes `value`; refuses (returns false, nothing written) a value of the
  /// wrong kind or, for an integer, one outside the field's range.
  bool (*write)(RunState& s, RunView& v, const FieldValue& value);
};

/// Every field, in the order the simulation lists them.
std::span<const RunField> run_fields();

/// The field called `name`, or nothing.
const RunField* find_run_field(std::string_view name);

/// The field's value as text: integers in decimal, fixed point with its four
/// decimals less trailing zeros, reals with ten decimals less trailing zeros,
/// Shift-JIS texts converted to UTF-8.
std::string field_text(const RunField& field, const RunState& s, const RunView& v);

/// A fixed-point value as its real value: all four decimals, trailing zeros
/// and a bare point dropped ("1500", "-29398.53").
std::string fixed_text(Fixed value);
/// A real value with ten decimals, trailing zeros dropped.
std::string real_text(long double value);

}  // namespace cabsim
