// Integer, real and fixed-point conversion with the blank rules of the
// definition files, and comma field extraction.
#include "data/value_parse.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace cabsim {
namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string CsvField(std::string_view line, int n) {
  std::string_view work = line;
  std::string_view field;
  if (n < 1) n = 1;
  while (n > 0) {
    size_t p = work.find(',');
    if (p != std::string_view::npos) {
      field = work.substr(0, p);
      work = work.substr(p + 1);
      --n;
      continue;
    }
    if (n == 1) return std::string(work);
    return "Error";
  }
  return std::string(field);
}

std::optional<int32_t> parse_integer(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (!is_digit(text[i])) return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{1} << 31) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
    return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<long double> parse_real(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissa_digits = 0;
  while (i < text.size() && is_digit(text[i])) ++i, ++mantissa_digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && is_digit(text[i])) ++i, ++mantissa_digits;
  }
  if (mantissa_digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < text.size() && is_digit(text[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return std::nullopt;
  }
  size_t end = i;
  while (i < text.size() && is_blank(text[i])) ++i;
  if (i != text.size()) return std::nullopt;

  // The grammar is checked above; from_chars reads exactly that span, whatever
  // the locale says about decimal points.
  bool negative = text[start] == '-';
  size_t digits = (text[start] == '+' || text[start] == '-') ? start + 1 : start;
  long double value = 0;
  auto [stop, ec] = std::from_chars(text.data() + digits, text.data() + end, value);
  if (ec != std::errc() || stop != text.data() + end) return std::nullopt;
  if (negative) value = -value;
  if (!std::isfinite(value)) return std::nullopt;
  // Values beyond double's range cannot be stored in a real field.
  if (std::fabs(value) > std::numeric_limits<double>::max()) return std::nullopt;
  return value;
}

std::optional<Fixed> parse_fixed(std::string_view text) {
  auto value = parse_real(text);
  if (!value) return std::nullopt;
  return Fixed::try_from_real(*value);
}

}  // namespace cabsim
