// The value display's keys and buttons: F3, the filmed speeds read again,
// the jump to a frame, the resistance switch and the sound grid.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "run/form_handlers.h"
#include "run/keyboard.h"
#include "run/start_pause.h"
#include "support/test_files.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

/// A run whose route file lies in a folder, so that it can be read again.
struct ReloadRun : test::TestRun {
  ReloadRun() {
    run->selection.route_file = "line.dat";
    run->find_file = [this](std::string_view name) { return dir / name; };
  }
  void write_profile(const std::string& rows) {
    dir.write_sjis("line.dat", "[LineName]\n線\n[SpeedUnit]\n" + rows);
  }
  test::TempDir dir;
};

TEST(ValueDisplayButtons, F3ShowsAndHidesTheValueDisplay) {
  test::TestRun t;
  EXPECT_EQ(t.v().value_display_shown, 0);
  keydowns(*t.run, VirtualKey::kF3, false);
  EXPECT_EQ(t.v().value_display_shown, 1);
  keydowns(*t.run, VirtualKey::kF3, true);  // Shift+F3 is the jump to the next signal
  EXPECT_EQ(t.v().value_display_shown, 1);
  keydowns(*t.run, VirtualKey::kF3, false);
  EXPECT_EQ(t.v().value_display_shown, 0);
}

TEST(ValueDisplayButtons, TheFilmedSpeedsAreReadAgainWithTheirDistancesKept) {
  ReloadRun t;
  RouteTables& route = *t.run->route;
  ASSERT_EQ(route.SpeedUnit_count, 1);  // 0 .. 9000 at 60 km/h
  const int32_t distance = route.SpeedUnit[0].end_distance;
  t.write_profile("0,4000,40,40\n4000,9000,80,80\n#\n");
  Button1Click(*t.run);
  ASSERT_EQ(route.SpeedUnit_count, 2);
  EXPECT_EQ(route.SpeedUnit[0].end_frame, 4000);
  EXPECT_EQ(route.SpeedUnit[1].start_speed, 80);
  EXPECT_EQ(route.SpeedUnit[0].end_distance, distance);  // not computed again
  EXPECT_EQ(route.SpeedUnit_ordered, 1);

  // A row that cannot be used ends the reading; the rows before it stay.
  t.write_profile("0,3000,30,30\n3000,x,50,50\n5000,9000,90,90\n#\n");
  Button1Click(*t.run);
  ASSERT_EQ(route.SpeedUnit_count, 1);
  EXPECT_EQ(route.SpeedUnit[0].end_frame, 3000);
  // Rows out of frame order are taken as they are, and found without halving.
  t.write_profile("5000,9000,90,90\n0,5000,30,30\n#\n");
  Button1Click(*t.run);
  EXPECT_EQ(route.SpeedUnit_count, 2);
  EXPECT_EQ(route.SpeedUnit_ordered, 0);

  // No usable row, no list, no file: the profile stays as it was.
  for (const char* text : {"[SpeedUnit]\n5,5,10,10\n#\n", "[LineName]\n線\n", ""}) {
    t.dir.write_sjis("line.dat", text);
    Button1Click(*t.run);
    EXPECT_EQ(route.SpeedUnit_count, 2) << text;
  }
  std::filesystem::remove(t.dir / "line.dat");
  Button1Click(*t.run);
  EXPECT_EQ(route.SpeedUnit_count, 2);
  EXPECT_EQ(route.SpeedUnit[1].end_frame, 5000);
}

TEST(ValueDisplayButtons, JumpResistanceAndTheSoundGrid) {
  test::TestRun t;
  RunState& s = t.s();
  EXPECT_EQ(Button2Click(*t.run, "2500"), "");
  EXPECT_EQ(s.current_frame, 2500);
  EXPECT_EQ(Button2Click(*t.run, "25x"), "'25x' is not a valid integer value");
  EXPECT_EQ(Button2Click(*t.run, ""), "'' is not a valid integer value");
  EXPECT_EQ(Button2Click(*t.run, "99999999999"), "'99999999999' is not a valid integer value");
  EXPECT_EQ(s.current_frame, 2500);
  s.film_frame_count = 9000;
  EXPECT_EQ(Button2Click(*t.run, "9000"), "フレーム 9000 は映像にありません (0 ～ 8999)");
  EXPECT_EQ(Button2Click(*t.run, "-1"), "フレーム -1 は映像にありません (0 ～ 8999)");
  EXPECT_EQ(Button2Click(*t.run, " 8999"), "");
  EXPECT_EQ(s.current_frame, 8999);

  Button3Click(*t.run);
  EXPECT_EQ(s.resistance_off, 1);
  Button3Click(*t.run);
  EXPECT_EQ(s.resistance_off, 0);

  t.sounds.set_length(42, 5000);
  t.sounds.play_looped(42);
  sound_grid_selected(*t.run, 42);
  EXPECT_EQ(t.sounds.status(42), ChannelStatus::kStopped);
  sound_grid_selected(*t.run, 43);  // silent: nothing happens
  sound_grid_selected(*t.run, -5);
}

}  // namespace
}  // namespace cabsim
