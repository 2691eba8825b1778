// Where the program starts: the route folder chosen among the command line,
// the executable's folder, the folder remembered from the title and the
// installed demo line; and the settings of an earlier version taken over.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/program_folder.h"
#include "platform/settings_store_qt.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

namespace fs = std::filesystem;

TEST(ProgramFolder, TheCommandLineThenTheExecutablesFolderThenTheRememberedThenTheDemo) {
  test::TempDir root;
  const fs::path exe = root / "bin";
  const fs::path remembered = root / "routes" / "mine";
  const fs::path demo = root / "share" / "cabsim" / "demo";
  for (const fs::path& p : {exe, remembered, demo}) fs::create_directories(p);
  EXPECT_EQ(bundled_demo_folder(exe), demo);

  // Nothing is a program folder: the executable's folder, so the title
  // reports it misplaced.
  ProgramFolder chosen = choose_program_folder("", exe, remembered, demo);
  EXPECT_EQ(chosen.folder, exe);
  EXPECT_EQ(chosen.source, ProgramFolderSource::none);

  root.write_bytes("share/cabsim/demo/cabworks.dat", "[Path]\n");
  chosen = choose_program_folder("", exe, remembered, demo);
  EXPECT_EQ(chosen.folder, demo);
  EXPECT_EQ(chosen.source, ProgramFolderSource::bundled);
  // No folder remembered yet.
  EXPECT_EQ(choose_program_folder("", exe, "", demo).source, ProgramFolderSource::bundled);

  // The mark found without regard to case.
  root.write_bytes("routes/mine/Cabworks.DAT", "[Path]\n");
  chosen = choose_program_folder("", exe, remembered, demo);
  EXPECT_EQ(chosen.folder, remembered);
  EXPECT_EQ(chosen.source, ProgramFolderSource::remembered);

  // A remembered folder that went away, or became a file, is passed over.
  fs::remove_all(remembered);
  root.write_bytes("routes/mine", "not a folder");
  EXPECT_EQ(choose_program_folder("", exe, remembered, demo).source, ProgramFolderSource::bundled);

  // The executable standing in its program folder keeps it, as always.
  root.write_bytes("bin/cabworks.dat", "[Path]\n");
  chosen = choose_program_folder("", exe, remembered, demo);
  EXPECT_EQ(chosen.folder, exe);
  EXPECT_EQ(chosen.source, ProgramFolderSource::executable);

  // --data wins, checked later by the title as any folder.
  chosen = choose_program_folder(root / "elsewhere", exe, remembered, demo);
  EXPECT_EQ(chosen.folder, root / "elsewhere");
  EXPECT_EQ(chosen.source, ProgramFolderSource::command_line);
}

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ProgramFolder, SettingsOfAnEarlierVersionAreTakenOverOnceAndLeftAsTheyWere) {
  test::TempDir root;
  const fs::path earlier = root / "config" / "Cabworks";
  const fs::path own = root / "config" / "Cabworks" / "cabsim";
  root.write_bytes("config/Cabworks/hanabira.ini",
                   "[General]\nKanko=1\nInformation=0\nATS=1\nTunnel=1\nSave1Title=A\n");

  // Only hanabira.ini was there: it is copied, padcontroller.ini is not made.
  SettingsFiles files = SettingsFiles::adopting(own, earlier);
  EXPECT_EQ(files.hanabira, own / "hanabira.ini");
  EXPECT_EQ(contents(files.hanabira), contents(earlier / "hanabira.ini"));
  EXPECT_FALSE(fs::exists(files.padcontroller));
  QtSettingsStore store(files);
  const DrivingSwitches read = store.read_switches();
  EXPECT_EQ(read.Kanko, 1);
  EXPECT_EQ(read.Information, 0);
  EXPECT_EQ(read.ATS, 1);
  EXPECT_EQ(read.Tunnel, 1);
  EXPECT_EQ(store.read_text("Save1Title"), "A");

  // The program's own file is never written over by the earlier one, and
  // writes go to the own file only.
  EXPECT_TRUE(store.write_switches({0, 1, 0, 0}));
  const std::string earlier_text = contents(earlier / "hanabira.ini");
  SettingsFiles again = SettingsFiles::adopting(own, earlier);
  EXPECT_EQ(QtSettingsStore(again).read_switches().Kanko, 0);
  EXPECT_EQ(contents(earlier / "hanabira.ini"), earlier_text);
  EXPECT_FALSE(fs::exists(own / "hanabira.ini.part"));

  // No earlier files: nothing is made until the store writes.
  test::TempDir fresh;
  SettingsFiles none = SettingsFiles::adopting(fresh / "own", fresh / "earlier");
  EXPECT_FALSE(fs::exists(none.hanabira));
  EXPECT_FALSE(fs::exists(none.padcontroller));
}

}  // namespace
}  // namespace cabsim
