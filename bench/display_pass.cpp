// The driving form's display pass on the demo line: a run driven for 60 s of
// simulated time (the form's own timers, real time) offscreen, with the cab
// panel, the clock and the film. Prints the median and 99th percentile time
// of a pass and of the passes that drew, and the process's CPU time per
// second of driving; then plays the same film with ffplay for the same time
// (offscreen too, unless a display is set) and prints its CPU share and the
// ratio of the two.
//
//   display_pass [demo directory] [route file] [seconds]
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "operation/film_segments.h"
#include "shell/cab_panel.h"
#include "shell/driving_form.h"
#include "state/settings_store.h"

namespace {

using Clock = std::chrono::steady_clock;

double cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string load_average() {
  std::ifstream in("/proc/loadavg");
  std::string a, b, c;
  in >> a >> b >> c;
  return a + " " + b + " " + c;
}

void press(cabsim::TForm1& form, char c) {
  QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
  form.key_pressed(&event);
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

double seconds_of(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

/// CPU seconds ffplay takes to show `film` for `seconds` of wall time
/// (looping it, without sound); negative when it cannot be run.
double ffplay_cpu_seconds(const std::string& film, int seconds) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    execlp("ffplay", "ffplay", "-v", "error", "-nostats", "-an", "-loop", "0", "-window_title",
           "display_pass ffplay", film.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto until = Clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  rusage usage{};
  while (Clock::now() < until) {
    if (wait4(child, &status, WNOHANG, &usage) == child) return -1;  // ended by itself
    usleep(50000);
  }
  kill(child, SIGTERM);
  if (wait4(child, &status, 0, &usage) != child) return -1;
  return seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string demo = argc > 1 ? argv[1] : CABSIM_DEMO_DIR;
  const std::string route = argc > 2 ? argv[2] : "line_up_827M.dat";
  const int seconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 60;

  cabsim::MemorySettingsStore settings;
  bool failed = false;
  cabsim::ShellServices services{
      {},
      [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); },
      [&failed](const QString& text) {
        std::fprintf(stderr, "failure: %s\n", qPrintable(text));
        failed = true;
      }};
  cabsim::TForm1 form(settings, services, std::make_unique<cabsim::CabPanel>());
  cabsim::RunSelection selection;
  selection.program_dir = demo;
  selection.route_file = route;
  if (!form.FormCreate(selection) || failed) return 1;
  form.show();
  app.processEvents();

  std::vector<double> pass_ms, drawing_ms;
  struct DrawnPass {
    double ms;
    QRect area;
    size_t number;  ///< counted over every pass
  };
  std::vector<DrawnPass> drawn_areas;
  drawn_areas.reserve(100000);
  pass_ms.reserve(100000);
  drawing_ms.reserve(100000);
  bool measuring = false;
  form.on_display_pass = [&](std::chrono::nanoseconds took) {
    if (!measuring) return;
    const double ms = std::chrono::duration<double, std::milli>(took).count();
    pass_ms.push_back(ms);
    if (!form.last_pass_drew()) return;
    drawing_ms.push_back(ms);
    drawn_areas.push_back({ms, form.last_drawn_area(), pass_ms.size()});
  };

  form.start1Click();
  cabsim::RunState& s = form.run()->state;
  // The minute is spent driving, not waiting for the departure time: the
  // doors of the start station are taken as closed at once.
  s.doors_open = 0;
  s.doors_not_closed = 0;
  const int32_t first_frame = s.current_frame;

  // The driver: brakes off, then power up to about 60 km/h and coast, with a
  // notch of power again below 50 km/h; the vigilance device is answered
  // when its lamp lights (the reverser key, already forward, does nothing
  // else), or it brakes the train to a stand after 85 s without input.
  QTimer driver;
  driver.setInterval(300);
  QObject::connect(&driver, &QTimer::timeout, [&] {
    if (!form.run()) return;
    if (form.run()->view.vigilance_lamp) return press(form, 'f');
    if (s.brake_handle < 0) return press(form, '8');
    if (s.speed < 50 && s.power_handle < form.run()->train.Power) return press(form, '8');
    if (s.speed > 60 && s.power_handle > 0) return press(form, '2');
  });
  driver.start();

  const double cpu_start = cpu_seconds();
  const auto wall_start = Clock::now();
  const std::string load_before = load_average();
  measuring = true;
  // A loop of its own: quitting the application would close the form, and
  // with it the run whose state is printed below.
  QEventLoop driving;
  QTimer::singleShot(seconds * 1000, &driving, &QEventLoop::quit);
  driving.exec();
  measuring = false;
  const double wall = std::chrono::duration<double>(Clock::now() - wall_start).count();
  const double cpu = cpu_seconds() - cpu_start;
  const std::string load_after = load_average();

  std::printf("display pass, demo line %s, %d s of driving (%.1f s wall)\n", route.c_str(), seconds,
              wall);
  std::printf("  passes %zu (%.1f a second), frames %d -> %d, speed %.1f km/h, power %d\n",
              pass_ms.size(), static_cast<double>(pass_ms.size()) / wall, first_frame,
              s.current_frame, static_cast<double>(s.speed), s.power_handle);
  std::printf("  pass time: median %.3f ms, 99th percentile %.3f ms, longest %.3f ms\n",
              percentile(pass_ms, 0.5), percentile(pass_ms, 0.99), percentile(pass_ms, 1.0));
  std::printf(
      "  passes that drew %zu (%.1f a second): median %.3f ms, 99th percentile %.3f ms, "
      "longest %.3f ms\n",
      drawing_ms.size(), static_cast<double>(drawing_ms.size()) / wall, percentile(drawing_ms, 0.5),
      percentile(drawing_ms, 0.99), percentile(drawing_ms, 1.0));
  std::sort(drawn_areas.begin(), drawn_areas.end(),
            [](const auto& a, const auto& b) { return a.ms > b.ms; });
  std::printf("  longest passes that drew:");
  for (size_t i = 0; i < std::min<size_t>(5, drawn_areas.size()); ++i) {
    const QRect& r = drawn_areas[i].area;
    std::printf(" %.2f ms (pass %zu, %dx%d at %d,%d)", drawn_areas[i].ms, drawn_areas[i].number,
                r.width(), r.height(), r.x(), r.y());
  }
  std::printf("\n");
  const double share = 100.0 * cpu / wall;
  std::printf("  process CPU %.2f s = %.1f %% of one core\n", cpu, share);
  std::printf("  load average before %s, after %s\n", load_before.c_str(), load_after.c_str());
  const std::string film = cabsim::main_film_file(*form.run()).string();
  form.close();
  app.processEvents();

  const std::string player_load_before = load_average();
  const double player_cpu = ffplay_cpu_seconds(film, seconds);
  if (player_cpu < 0) {
    std::printf("ffplay could not show %s\n", film.c_str());
    return 0;
  }
  const double player_share = 100.0 * player_cpu / seconds;
  std::printf("ffplay showing %s for %d s: CPU %.2f s = %.1f %% of one core\n", film.c_str(),
              seconds, player_cpu, player_share);
  std::printf("  load average before %s, after %s\n", player_load_before.c_str(),
              load_average().c_str());
  std::printf("driving form / ffplay CPU share: %.2f\n", share / player_share);
  return 0;
}
