// Every kind of file a route folder brings, damaged every way a stranger's
// download can be, through cabsim-tool simulate and the driving form: each
// case ends with the file's own message (the same words in both) or runs on
// where a missing film lets it; never a crash, a hang or a silent wrong read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QKeyEvent>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/qt_app.h"
#include "platform/settings_store_qt.h"
#include "platform/shared_demo.h"
#include "platform/tool_runner.h"
#include "shell/cab_panel.h"
#include "shell/driving_form.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRoute = "line_up_827M.dat";
constexpr const char* kTrain = "train_tz100.dat";

std::string read_all(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_all(const fs::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

/// A copy of the demo line that costs nothing: its folders made anew, its
/// files links to the shared demo's, so one file can be replaced.
void mirror(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const auto& entry : fs::recursive_directory_iterator(from)) {
    const fs::path target = to / fs::relative(entry.path(), from);
    if (entry.is_directory())
      fs::create_directories(target);
    else
      fs::create_symlink(entry.path(), target);
  }
}

/// One way of damaging a file: `make` writes the damaged file at its path,
/// given the good file's bytes.
struct Damage {
  std::string name;
  std::function<void(const fs::path&, const std::string&)> make;
};

std::string random_bytes(size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

/// What every kind gets: empty, cut short, noise, a folder, a pipe, a file
/// nobody may read, and `other`, a good file of another format, under its name.
std::vector<Damage> common_damages(const std::string& other) {
  std::vector<Damage> d;
  d.push_back({"empty", [](const fs::path& p, const std::string&) { write_all(p, ""); }});
  for (int percent : {10, 50, 90})
    d.push_back({"truncated at " + std::to_string(percent) + " %",
                 [percent](const fs::path& p, const std::string& good) {
                   write_all(p, good.substr(0, good.size() * percent / 100));
                 }});
  d.push_back({"random bytes", [](const fs::path& p, const std::string& good) {
                 write_all(p, random_bytes(std::min<size_t>(good.size(), 1 << 20), 7));
               }});
  d.push_back(
      {"another format", [other](const fs::path& p, const std::string&) { write_all(p, other); }});
  d.push_back(
      {"a directory", [](const fs::path& p, const std::string&) { fs::create_directory(p); }});
  d.push_back({"a named pipe", [](const fs::path& p, const std::string&) {
                 ASSERT_EQ(mkfifo(p.c_str(), 0644), 0);
               }});
  if (geteuid() != 0)  // the superuser reads every file
    d.push_back({"no read permission", [](const fs::path& p, const std::string& good) {
                   write_all(p, good);
                   fs::permissions(p, fs::perms::none);
                 }});
  return d;
}

void put_le32(std::string& bytes, size_t at, uint32_t v) {
  if (at + 4 > bytes.size()) return;
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

/// `good` with the 32-bit field `offset` bytes into the body of each chunk
/// called `chunk` set to `v`.
std::string set_chunk_field(std::string good, std::string_view chunk, size_t offset, uint32_t v) {
  for (size_t at = good.find(chunk); at != std::string::npos; at = good.find(chunk, at + 1))
    put_le32(good, at + 8 + offset, v);
  return good;
}

Damage absurd(std::function<std::string(const std::string&)> edit) {
  return {"absurd sizes",
          [edit](const fs::path& p, const std::string& good) { write_all(p, edit(good)); }};
}

/// A line far longer than any definition file holds, first in the file.
Damage endless_line() {
  return absurd([](const std::string& good) { return std::string(2 << 20, 'x') + "\r\n" + good; });
}

/// How one damaged folder went, in the tool and in the form.
struct Outcome {
  int tool_exit = -1;
  std::string tool_out, tool_err;
  bool form_created = false;
  std::vector<std::string> form_messages, form_failures;
  int film_frames = 0;  ///< as the tool counted them
};

std::string last_line(const std::string& text) {
  std::string t = text;
  while (!t.empty() && t.back() == '\n') t.pop_back();
  return t.substr(t.rfind('\n') == std::string::npos ? 0 : t.rfind('\n') + 1);
}

Outcome try_run(const fs::path& folder, const fs::path& work) {
  Outcome o;
  const fs::path script = work / "drive.txt";
  write_all(script, "0 start\n500 char 5\n1000 char 8\n1100 char 8\n1200 char 8\n");
  auto r = test::run_tool({"simulate", "--data", folder.string(), "--route", kRoute, "--train",
                           kTrain, "--script", script.string(), "--until-ms", "2000", "--every-ms",
                           "1000", "--fields", "speed,film_frame_count"});
  o.tool_exit = r.exit_code;
  o.tool_out = r.out;
  o.tool_err = r.err;
  if (o.tool_exit == 0)
    o.film_frames = std::atoi(last_line(r.out).substr(last_line(r.out).rfind(',') + 1).c_str());

  QtSettingsStore store(SettingsFiles::in_folder(work / "settings"));
  ShellServices services{{},
                         [&o](const QString& t) { o.form_messages.push_back(t.toStdString()); },
                         [&o](const QString& t) { o.form_failures.push_back(t.toStdString()); }};
  TForm1 form(store, services, std::make_unique<CabPanel>());
  RunSelection selection;
  selection.program_dir = folder;
  selection.route_file = kRoute;
  selection.train_file = kTrain;
  o.form_created = form.FormCreate(selection);
  if (o.form_created) {
    form.show();
    form.movieclick();
    QKeyEvent five(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, "5");
    form.key_pressed(&five);
    test::process_events_until([] { return false; }, 150);
    form.close();
  }
  return o;
}

/// What a damaged file must give: the program's message and its end
/// (`ends`), or the run going on, with `message` shown (empty: none).
struct Expected {
  bool ends = true;
  std::string message;
  bool message_ends = false;  ///< the message ends so (it names a path of the test's)
};

/// Runs every damage of `file` through the tool and the form. `expect`
/// names the outcome of a damage; none (a file cut short whose head may
/// still read) asks only that the tool and the form agree.
void run_matrix(const std::string& file, const std::vector<Damage>& damages,
                const std::function<std::optional<Expected>(const std::string&)>& expect,
                int whole_film_frames = 0) {
  test::ensure_qt_app();
  const fs::path demo = test::shared_demo();
  const std::string good = read_all(demo / file);
  for (const Damage& damage : damages) {
    SCOPED_TRACE(file + ", " + damage.name);
    test::TempDir work;
    const fs::path folder = work / "line";
    mirror(demo, folder);
    fs::remove(folder / file);
    damage.make(folder / file, good);
    const Outcome o = try_run(folder, work.path());

    // Never a crash or a hang: the tool ends by itself, with 0 or 1.
    ASSERT_TRUE(o.tool_exit == 0 || o.tool_exit == 1) << o.tool_exit << "\n" << o.tool_err;
    // The tool and the form agree, word for word.
    EXPECT_EQ(o.tool_exit == 1, !o.form_created);
    if (o.tool_exit == 1) {
      EXPECT_EQ(o.form_failures, std::vector<std::string>{last_line(o.tool_out)});
    } else {
      std::vector<std::string> said;
      std::istringstream lines(o.tool_err);
      for (std::string line; std::getline(lines, line);)
        said.push_back(line.substr(std::string("cabsim-tool: ").size()));
      EXPECT_EQ(o.form_messages, said);
      EXPECT_TRUE(o.form_failures.empty());
    }
    const std::optional<Expected> wanted = expect(damage.name);
    if (!wanted) continue;
    if (wanted->ends && wanted->message_ends) {
      EXPECT_EQ(o.tool_exit, 1);
      EXPECT_TRUE(last_line(o.tool_out).ends_with(wanted->message)) << last_line(o.tool_out);
    } else if (wanted->ends) {
      EXPECT_EQ(o.tool_exit, 1);
      EXPECT_EQ(last_line(o.tool_out), wanted->message);
    } else {
      EXPECT_EQ(o.tool_exit, 0);
      EXPECT_EQ(o.form_messages, wanted->message.empty()
                                     ? std::vector<std::string>{}
                                     : std::vector<std::string>{wanted->message});
    }
    if (whole_film_frames > 0 && damage.name.starts_with("truncated")) {
      // A film cut short plays the frames it still holds.
      EXPECT_GT(o.film_frames,
                whole_film_frames * (std::atoi(damage.name.c_str() + 13) - 10) / 100);
      EXPECT_LT(o.film_frames, whole_film_frames);
    }
    if (whole_film_frames > 0 && damage.name == "absurd sizes")
      EXPECT_EQ(o.film_frames, whole_film_frames);
  }
}

bool cut_short(const std::string& damage) {
  return damage.starts_with("truncated");
}

/// Any damage but a cut (and absurd sizes, when `absurd_too`) gives `message`.
std::function<std::optional<Expected>(const std::string&)> ends_with(std::string message,
                                                                     bool absurd_too = true) {
  return [message, absurd_too](const std::string& damage) -> std::optional<Expected> {
    if (cut_short(damage) || (!absurd_too && damage == "absurd sizes")) return std::nullopt;
    return Expected{true, message};
  };
}

TEST(DamagedFiles, KeyMapIsAPlainListThatOnlyAnUnreadableFileEnds) {
  auto damages = common_damages("BM\x36\0\0\0");
  damages.push_back(endless_line());
  run_matrix("mascon.dat", damages, [](const std::string& damage) -> std::optional<Expected> {
    if (damage == "a directory" || damage == "a named pipe" || damage == "no read permission" ||
        damage == "absurd sizes")  // a line of megabytes is not read
      return Expected{true, "mascon.datを読み込めません"};
    return Expected{false, ""};  // any bytes are codes; none may match
  });
}

TEST(DamagedFiles, TextFile) {
  auto damages = common_damages("BM\x36\0\0\0");
  damages.push_back(endless_line());
  run_matrix("cabworks.dat", damages, ends_with("stringファイルに誤りがあります"));
}

TEST(DamagedFiles, TrainFile) {
  auto damages = common_damages("BM\x36\0\0\0");
  damages.push_back(endless_line());
  run_matrix(kTrain, damages, ends_with("車両ファイルに誤りがあります", false));
}

TEST(DamagedFiles, RouteFile) {
  auto damages = common_damages("BM\x36\0\0\0");
  damages.push_back(endless_line());
  run_matrix(kRoute, damages, ends_with("路線ファイルに誤りがあります。:", false));
}

TEST(DamagedFiles, WaveFile) {
  const std::string file = "sound/train/motor_power.wav";
  auto damages = common_damages("BM\x36\0\0\0");
  damages.push_back(absurd([](const std::string& good) {
    return set_chunk_field(set_chunk_field(good, "fmt ", 4, 0x7FFFFFFF), "data", -4, 0xFFFFFFFF);
  }));
  run_matrix(file, damages, [](const std::string& damage) -> std::optional<Expected> {
    if (cut_short(damage)) return Expected{false, ""};  // plays what it holds
    if (damage == "a directory" || damage == "a named pipe")
      return Expected{true, "sound/train/motor_power.wav が見つかりません", true};
    return Expected{true, "sound/train/motor_power.wav は正しいWAVEファイルではありません", true};
  });
}

TEST(DamagedFiles, PanelPicture) {
  auto damages = common_damages("RIFF\x24\0\0\0WAVE");
  damages.push_back(absurd([](std::string good) {
    put_le32(good, 18, 0x7FFFFFFF);
    put_le32(good, 22, 0x7FFFFFFF);
    return good;
  }));
  run_matrix("image/panel/tz100/panel.bmp", damages,
             [](const std::string&) -> std::optional<Expected> {
               return Expected{true, "image\\panel\\tz100\\panel.bmpの生成エラー"};
             });
}

TEST(DamagedFiles, TimetableCard) {
  auto damages = common_damages("RIFF\x24\0\0\0WAVE");
  damages.push_back(absurd([](std::string good) {
    put_le32(good, 18, 0xFFFFFFFF);
    put_le32(good, 2, 0x7FFFFFFF);
    return good;
  }));
  run_matrix("image/staf/staf_827M.bmp", damages,
             [](const std::string&) -> std::optional<Expected> {
               return Expected{true, "image\\staf\\staf_827M.bmpが見つかりません"};
             });
}

TEST(DamagedFiles, FilmGoesOnWithoutItOrWithTheFramesItHolds) {
  const std::string file = "movie/demo_up.avi";
  auto damages = common_damages("BM\x36\0\0\0");
  // Frame counts far beyond the frames there are: the frames are counted.
  damages.push_back(absurd([](const std::string& good) {
    return set_chunk_field(set_chunk_field(good, "avih", 16, 0x7FFFFFFF), "strh", 32, 0x7FFFFFFF);
  }));
  const int whole = 8458;
  run_matrix(
      file, damages,
      [](const std::string& damage) -> std::optional<Expected> {
        if (cut_short(damage) || damage == "absurd sizes") return Expected{false, ""};
        return Expected{false, "映像ファイルを開けませんmovie\\demo_up.avi"};
      },
      whole);
}

}  // namespace
}  // namespace cabsim
