// The field table: every field is found by its name, reads back what was
// written without loss, refuses values of the wrong kind or out of range, and
// writes its text as the trace shows it.
#include "state/run_fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace cabsim {
namespace {

/// A value of the field's kind that differs from `now`.
FieldValue another_value(const RunField& f, const FieldValue& now) {
  switch (f.type) {
    case FieldType::kInteger:
      return std::get<int64_t>(now) == 1 ? int64_t{0} : int64_t{1};
    case FieldType::kFixed:
      return Fixed::from_count(std::get<Fixed>(now).count() + 12345);
    case FieldType::kReal:
      return std::get<long double>(now) + 0.1L;
    case FieldType::kUtf8:
    case FieldType::kShiftJis:
      // A look-ahead entry is five numbers.
      if (f.name.starts_with("lookahead:")) return std::string("3/60/0/-12000/39600");
      // A queue is its slots.
      if (f.name == "call_queue") return std::string("19 1003 20 -1 -1 -1 -1 -1 -1 -1 -1 -1");
      if (f.name == "crossing_queue") return std::string("2 0 -1 -1 -1 -1 -1 -1 -1 -1 -1");
      return std::get<std::string>(now) + "x";
  }
  return now;
}

TEST(RunFields, EveryFieldIsFoundByItsOwnNameAndReadsBackWhatWasWritten) {
  std::set<std::string_view> names;
  RunState s;
  RunView v;
  for (const RunField& f : run_fields()) {
    EXPECT_TRUE(names.insert(f.name).second) << "twice: " << f.name;
    EXPECT_EQ(find_run_field(f.name), &f);
    const FieldValue before = f.read(s, v);
    const FieldValue changed = another_value(f, before);
    ASSERT_TRUE(f.write(s, v, changed)) << f.name;
    EXPECT_EQ(f.read(s, v), changed) << f.name;
    // Only this field changed: every other one still reads its start value.
    const RunState start_state;
    const RunView start_view;
    for (const RunField& other : run_fields()) {
      if (&other == &f) continue;
      EXPECT_EQ(other.read(s, v), other.read(start_state, start_view))
          << f.name << " moved " << other.name;
    }
    ASSERT_TRUE(f.write(s, v, before));
  }
  EXPECT_GT(names.size(), 140u);  // every value a run keeps, not a sample
  EXPECT_EQ(find_run_field("no_such_field"), nullptr);
  EXPECT_EQ(find_run_field("speed")->record, FieldRecord::kState);
  EXPECT_EQ(find_run_field("speed_text")->record, FieldRecord::kView);
}

TEST(RunFields, WritesRefuseTheWrongKindAndIntegersOutsideTheFieldsRange) {
  RunState s;
  RunView v;
  const RunField& doors = *find_run_field("doors_open");  // one byte
  EXPECT_FALSE(doors.write(s, v, int64_t{256}));
  EXPECT_FALSE(doors.write(s, v, int64_t{-1}));
  EXPECT_FALSE(doors.write(s, v, std::string("1")));
  EXPECT_EQ(s.doors_open, 0);
  EXPECT_TRUE(doors.write(s, v, int64_t{255}));
  EXPECT_EQ(s.doors_open, 255);

  const RunField& ahead = *find_run_field("lookahead:4");
  for (const char* bad : {"1/2/3/4", "1/2/3/4/5/6", "1/2/x/4/5", "1//3/4/5", "1/2/3/4/2147483648"})
    EXPECT_FALSE(ahead.write(s, v, std::string(bad))) << bad;
  EXPECT_TRUE(ahead.write(s, v, std::string("1/2/3/4/-2147483648")));
  EXPECT_EQ(s.lookahead[4].needed_distance, -2147483647 - 1);

  // A queue takes exactly its slots; a refused text leaves it as it was.
  const RunField& calls = *find_run_field("call_queue");
  for (const char* bad : {"1 2 3", "1 2 3 4 5 6 7 8 9 10 11 12 13", "1 2 x 4 5 6 7 8 9 10 11 12"})
    EXPECT_FALSE(calls.write(s, v, std::string(bad))) << bad;
  EXPECT_EQ(s.call_queue[0], -1);
  EXPECT_TRUE(calls.write(s, v, std::string("5 1999 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1")));
  EXPECT_EQ(s.call_queue[1], 1999);

  const RunField& frame = *find_run_field("current_frame");  // 32 bits, signed
  EXPECT_FALSE(frame.write(s, v, int64_t{2147483648}));
  EXPECT_TRUE(frame.write(s, v, int64_t{-2147483647 - 1}));
  EXPECT_EQ(s.current_frame, INT32_MIN);
  const RunField& cycle = *find_run_field("last_cycle_time");  // 32 bits, unsigned
  EXPECT_TRUE(cycle.write(s, v, int64_t{4294967295}));
  EXPECT_FALSE(cycle.write(s, v, int64_t{4294967296}));
  EXPECT_EQ(s.last_cycle_time, 4294967295u);

  EXPECT_FALSE(find_run_field("speed")->write(s, v, Fixed::from_real(3)));
  EXPECT_FALSE(find_run_field("brake_pipe")->write(s, v, 3.0L));
  EXPECT_FALSE(find_run_field("power_text")->write(s, v, int64_t{3}));
}

TEST(RunFields, TextsAsTheTraceWritesThem) {
  RunState s;
  RunView v;
  EXPECT_EQ(field_text(*find_run_field("line_voltage"), s, v), "1500");
  s.tractive_force = Fixed::from_count(-293985300);
  EXPECT_EQ(field_text(*find_run_field("tractive_force"), s, v), "-29398.53");
  s.speed = -0.0000000001L;
  EXPECT_EQ(field_text(*find_run_field("speed"), s, v), "-0.0000000001");
  s.speed = -0.00000000001L;  // rounds to nothing: no minus sign
  EXPECT_EQ(field_text(*find_run_field("speed"), s, v), "0");
  s.speed = 12.5L;
  EXPECT_EQ(field_text(*find_run_field("speed"), s, v), "12.5");
  s.speed = 1e300L;  // too long for ten decimals in the buffer
  EXPECT_EQ(field_text(*find_run_field("speed"), s, v).find('e') != std::string::npos, true);
  v.brake_text = "\x94\xf1\x8f\xed";  // 非常 in Shift-JIS
  EXPECT_EQ(field_text(*find_run_field("brake_text"), s, v), "非常");
  v.top_message = "ブレーキを緩めてください";  // UTF-8 as it is
  EXPECT_EQ(field_text(*find_run_field("top_message"), s, v), "ブレーキを緩めてください");
  s.reverser = -1;
  EXPECT_EQ(field_text(*find_run_field("reverser"), s, v), "-1");
}

}  // namespace
}  // namespace cabsim
