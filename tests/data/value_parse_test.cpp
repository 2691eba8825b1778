// Number conversion, comma fields and half-to-even rounding of definition values.
#include "data/value_parse.h"

#include <gtest/gtest.h>

#include "data/fixed_point.h"
#include "data/rounding.h"

namespace cabsim {
namespace {

TEST(CsvField, TakesFieldsUntrimmedAndSaysErrorPastTheEnd) {
  EXPECT_EQ(CsvField("a,b,c", 1), "a");
  EXPECT_EQ(CsvField("a,b,c", 2), "b");
  EXPECT_EQ(CsvField("a,b,c", 3), "c");
  EXPECT_EQ(CsvField("a,b,c", 4), "Error");
  EXPECT_EQ(CsvField("a,b,c", 9), "Error");
  EXPECT_EQ(CsvField("a,b,c,", 3), "c");
  EXPECT_EQ(CsvField("a,b,c,", 4), "");
  EXPECT_EQ(CsvField("a,b,c,", 5), "Error");
  EXPECT_EQ(CsvField("12, 34", 2), " 34");
  EXPECT_EQ(CsvField("12 ,34", 1), "12 ");
  EXPECT_EQ(CsvField("", 1), "");
  EXPECT_EQ(CsvField("", 2), "Error");
  EXPECT_EQ(CsvField("10,20", 3), "Error");
}

TEST(ParseInteger, AcceptsLeadingBlanksAndSignButNothingAfterTheDigits) {
  EXPECT_EQ(parse_integer("3"), 3);
  EXPECT_EQ(parse_integer(" 3"), 3);
  EXPECT_EQ(parse_integer("\t-12"), -12);
  EXPECT_EQ(parse_integer("+7"), 7);
  EXPECT_EQ(parse_integer("2147483647"), 2147483647);
  EXPECT_EQ(parse_integer("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"3 ", "", " ", "-", "+", "3a", "1.0", "1e3", "2147483648", "-2147483649",
                          "99999999999999999999", "１", "3 remark", "0x10"}) {
    EXPECT_FALSE(parse_integer(bad).has_value()) << '"' << bad << '"';
  }
  EXPECT_FALSE(parse_integer(std::string_view("1\0", 2)).has_value());
}

TEST(ParseReal, AcceptsBlanksOnBothSidesDecimalsAndExponents) {
  EXPECT_EQ(parse_real("1.5"), 1.5L);
  EXPECT_EQ(parse_real(" -0.25 "), -0.25L);
  EXPECT_EQ(parse_real("2"), 2.0L);
  EXPECT_EQ(parse_real(".5"), 0.5L);
  EXPECT_EQ(parse_real("5."), 5.0L);
  EXPECT_EQ(parse_real("1e3"), 1000.0L);
  EXPECT_EQ(parse_real("+2.5E-1"), 0.25L);
  for (const char* bad :
       {"", " ", ".", "1.5x", "1,5", "e3", "1e", "1e+", "nan", "inf", "1e400", "--1", "1 2"}) {
    EXPECT_FALSE(parse_real(bad).has_value()) << '"' << bad << '"';
  }
}

TEST(ParseFixed, ScalesByTenThousandRoundingHalvesToEven) {
  EXPECT_EQ(parse_fixed("123.45678")->count(), 1234568);
  EXPECT_EQ(parse_fixed("0.00005")->count(), 0);  // 0.5 -> 0
  EXPECT_EQ(parse_fixed("0.00015")->count(), 2);  // 1.5 -> 2
  EXPECT_EQ(parse_fixed("0.00025")->count(), 2);  // 2.5 -> 2
  EXPECT_EQ(parse_fixed("-0.00015")->count(), -2);
  EXPECT_EQ(parse_fixed("35")->count(), 350000);
  EXPECT_DOUBLE_EQ(static_cast<double>(parse_fixed("1.2345")->real()), 1.2345);
  EXPECT_FALSE(parse_fixed("1e300").has_value());  // does not fit in 64 bits
  EXPECT_FALSE(parse_fixed("x").has_value());
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(round_half_even(0.5L), 0.0L);
  EXPECT_EQ(round_half_even(1.5L), 2.0L);
  EXPECT_EQ(round_half_even(2.5L), 2.0L);
  EXPECT_EQ(round_half_even(-0.5L), 0.0L);
  EXPECT_EQ(round_half_even(-1.5L), -2.0L);
  EXPECT_EQ(round_half_even(-2.5L), -2.0L);
  EXPECT_EQ(round_half_even(2.4999L), 2.0L);
  EXPECT_EQ(round_half_even(2.5001L), 3.0L);
  EXPECT_EQ(round_to_int32(3e9L), std::nullopt);
  EXPECT_EQ(Fixed::from_real(0.00025L).count(), 2);
  EXPECT_THROW(Fixed::from_real(1e20L), std::overflow_error);
}

}  // namespace
}  // namespace cabsim
