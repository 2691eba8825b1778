// The driving form's display pass on the demo line: a run driven for 60 s of
// simulated time (the form's own timers, real time) offscreen, with the cab
// panel, the clock and the film. Prints the median and 99th percentile time
// of a pass and the process's CPU time per second of driving.
//
//   display_pass [demo directory] [route file] [seconds]
#include <sys/resource.h>

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

  std::vector<double> pass_ms;
  bool measuring = false;
  form.on_display_pass = [&](std::chrono::nanoseconds took) {
    if (measuring) pass_ms.push_back(std::chrono::duration<double, std::milli>(took).count());
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
  std::printf("  process CPU %.2f s = %.1f %% of one core\n", cpu, 100.0 * cpu / wall);
  std::printf("  load average before %s, after %s\n", load_before.c_str(), load_after.c_str());
  form.close();
  return 0;
}
