// Film frame fetching as the display pass sees it, for each codec, beside the
// time FFmpeg's own command takes to decode the same file:
//   - fetch throughput: forward at 1x and 4x, backward at 1x, random jumps
//     (every frame waited for until exact: the cost of a frame);
//   - display waits: the display asking once per 33 ms, as at 30 frames a
//     second, with the read-ahead running.
// The films are made at the start by the ffmpeg command (684 x 384).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "../tests/support/test_films.h"
#include "platform/film_source_ffmpeg.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using cabsim::FilmFrame;
using cabsim::FilmSourceFfmpeg;

constexpr int kWidth = 684;
constexpr int kHeight = 384;
constexpr auto kDisplayPeriod = std::chrono::microseconds(33333);
constexpr int kDisplayPasses = 120;
constexpr int kWarmUpPasses = 15;

struct Film {
  std::string name;
  int frames;
  std::string options;
  fs::path path;
  double ffmpeg_ms_per_frame = 0;
  double ffmpeg_cpu_ms_per_frame = 0;
};

std::vector<Film> films = {
    {"mjpeg", 600, "-c:v mjpeg -q:v 3 -pix_fmt yuvj420p", {}},
    {"h264_gop250_bf3",
     600,
     "-c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -bf 3 -pix_fmt yuv420p",
     {}},
    {"h264_gop250_bf0",
     600,
     "-c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -bf 0 -pix_fmt yuv420p",
     {}},
    {"uncompressed", 150, "-c:v rawvideo -pix_fmt bgr24", {}},
};

/// results[film][measure] in milliseconds
std::map<std::string, std::map<std::string, double>> results;

double ms_since(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

/// Processor time of the whole process (every thread), ms.
double cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/// rtime (and utime + stime) of `ffmpeg -benchmark -i FILE -f null -` per
/// frame, the best of three runs.
void measure_ffmpeg(Film& film) {
  film.ffmpeg_ms_per_frame = film.ffmpeg_cpu_ms_per_frame = 1e9;
  for (int run = 0; run < 3; ++run) {
    const std::string command =
        "ffmpeg -nostdin -hide_banner -benchmark -i '" + film.path.string() + "' -f null - 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return;
    char line[4096];
    double rtime = 0, utime = 0, stime = 0;
    while (std::fgets(line, sizeof line, pipe)) {
      if (const char* at = std::strstr(line, "utime=")) utime = std::atof(at + 6);
      if (const char* at = std::strstr(line, "stime=")) stime = std::atof(at + 6);
      if (const char* at = std::strstr(line, "rtime=")) rtime = std::atof(at + 6);
    }
    ::pclose(pipe);
    film.ffmpeg_ms_per_frame = std::min(film.ffmpeg_ms_per_frame, rtime * 1000.0 / film.frames);
    film.ffmpeg_cpu_ms_per_frame =
        std::min(film.ffmpeg_cpu_ms_per_frame, (utime + stime) * 1000.0 / film.frames);
  }
}

/// One film source per film, opened anew for every run, as a run reopens its
/// films on one source (the pictures' memory is reused from the first run on).
FilmSourceFfmpeg& open_or_skip(benchmark::State& state, const Film& film) {
  static std::map<std::string, std::unique_ptr<FilmSourceFfmpeg>> sources;
  auto& source = sources[film.name];
  if (!source) source = std::make_unique<FilmSourceFfmpeg>();
  const std::string failure = source->open(film.path);
  if (!failure.empty()) state.SkipWithError(failure.c_str());
  return *source;
}

/// Fetches the frames of `order`, each waited for until exact.
void fetch_run(benchmark::State& state, const Film& film, const std::string& measure,
               std::vector<int> order) {
  for (auto _ : state) {
    FilmSourceFfmpeg& source = open_or_skip(state, film);
    int wrong = 0;
    const auto t0 = Clock::now();
    const double cpu0 = cpu_ms();
    for (int n : order) {
      FilmFrame got = source.frame(n, std::chrono::seconds(5));
      wrong += !got.exact;
    }
    const double per_frame = ms_since(t0) / static_cast<double>(order.size());
    const double cpu_per_frame = (cpu_ms() - cpu0) / static_cast<double>(order.size());
    // The best of the repetitions: other work on the machine only slows.
    auto keep_best = [&](const std::string& key, double v) {
      auto& r = results[film.name];
      r[key] = r.count(key) ? std::min(r[key], v) : v;
    };
    keep_best(measure, per_frame);
    keep_best(measure + "_cpu", cpu_per_frame);
    state.counters["ms_per_frame"] = per_frame;
    state.counters["cpu_ms_per_frame"] = cpu_per_frame;
    state.counters["not_exact"] = wrong;
    if (film.ffmpeg_ms_per_frame > 0)
      state.counters["x_ffmpeg"] = per_frame / film.ffmpeg_ms_per_frame;
  }
}

/// The display at 30 passes a second, moving `step` frames a pass.
void display_run(benchmark::State& state, const Film& film, const std::string& measure, int start,
                 int step) {
  for (auto _ : state) {
    FilmSourceFfmpeg& source = open_or_skip(state, film);
    double worst = 0, total = 0;
    int late = 0, counted = 0, unready = 0;
    auto next_pass = Clock::now();
    int n = start;
    for (int pass = 0; pass < kDisplayPasses; ++pass, n += step) {
      if (n < 0 || n >= source.frame_count()) break;
      std::this_thread::sleep_until(next_pass);
      next_pass += kDisplayPeriod;
      const bool was_ready = source.ready(n);
      const auto t0 = Clock::now();
      FilmFrame got = source.frame(n, std::chrono::milliseconds(100));
      const double waited = ms_since(t0);
      if (pass < kWarmUpPasses) continue;
      unready += !was_ready;
      worst = std::max(worst, waited);
      total += waited;
      late += !got.exact;
      ++counted;
    }
    auto& r = results[film.name];
    r[measure] = std::max(r[measure], worst);  // the worst of all repetitions
    state.counters["max_wait_ms"] = worst;
    state.counters["mean_wait_ms"] = counted ? total / counted : 0;
    state.counters["not_exact"] = late;
    state.counters["not_decoded_yet"] = unready;
    results[film.name][measure + "_unready"] += unready;
  }
}

void register_all() {
  for (const Film& film : films) {
    const int n = film.frames;
    std::vector<int> forward, forward4, backward, random;
    for (int i = 0; i < n; ++i) forward.push_back(i);
    for (int i = 0; i < n; i += 4) forward4.push_back(i);
    for (int i = n - 1; i >= 0; --i) backward.push_back(i);
    std::mt19937 generator(42);
    for (int i = 0; i < 60; ++i) random.push_back(static_cast<int>(generator() % n));
    auto add_fetch = [&](const std::string& measure, std::vector<int> order) {
      benchmark::RegisterBenchmark(
          ("fetch/" + film.name + "/" + measure).c_str(),
          [&film, measure, order](benchmark::State& s) { fetch_run(s, film, measure, order); })
          ->Iterations(1)
          ->Repetitions(3)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    };
    add_fetch("forward_1x", forward);
    add_fetch("forward_4x", forward4);
    add_fetch("backward_1x", backward);
    add_fetch("random", random);
    auto add_display = [&](const std::string& measure, int start, int step) {
      benchmark::RegisterBenchmark(("display/" + film.name + "/" + measure).c_str(),
                                   [&film, measure, start, step](benchmark::State& s) {
                                     display_run(s, film, measure, start, step);
                                   })
          ->Iterations(1)
          ->Repetitions(2)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    };
    add_display("wait_forward_1x", 0, 1);
    add_display("wait_forward_4x", 0, 4);
    add_display("wait_backward_1x", n - 1, -1);
  }
}

void print_table() {
  std::printf("\nper-frame fetch time, wall ms, best of 3 (ratio to ffmpeg's rtime per frame)\n");
  std::printf("%-17s %8s %16s %16s %16s %16s\n", "film", "ffmpeg", "forward 1x", "forward 4x",
              "backward 1x", "random");
  for (const Film& film : films) {
    auto& r = results[film.name];
    std::printf("%-17s %8.3f", film.name.c_str(), film.ffmpeg_ms_per_frame);
    for (const char* m : {"forward_1x", "forward_4x", "backward_1x", "random"})
      std::printf(" %8.3f (%5.2f)", r[m], r[m] / film.ffmpeg_ms_per_frame);
    std::printf("\n");
  }
  std::printf("\nthe same in processor time of all threads, ms (ratio to ffmpeg's utime+stime)\n");
  for (const Film& film : films) {
    auto& r = results[film.name];
    std::printf("%-17s %8.3f", film.name.c_str(), film.ffmpeg_cpu_ms_per_frame);
    for (const char* m : {"forward_1x_cpu", "forward_4x_cpu", "backward_1x_cpu", "random_cpu"})
      std::printf(" %8.3f (%5.2f)", r[m], r[m] / film.ffmpeg_cpu_ms_per_frame);
    std::printf("\n");
  }
  std::printf(
      "\nlongest display wait at 30 passes a second after %d passes, ms (%d passes, 2 runs)\n",
      kWarmUpPasses, kDisplayPasses);
  std::printf("(in brackets: passes whose frame was not decoded yet when asked)\n");
  std::printf("%-17s %14s %14s %14s\n", "film", "forward 1x", "forward 4x", "backward 1x");
  for (const Film& film : films) {
    auto& r = results[film.name];
    std::printf("%-17s", film.name.c_str());
    for (const char* m : {"wait_forward_1x", "wait_forward_4x", "wait_backward_1x"})
      std::printf(" %8.3f (%3.0f)", r[m], r[std::string(m) + "_unready"]);
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir =
      fs::temp_directory_path() / ("cabsim-film-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (Film& film : films) {
    film.path = dir / (film.name + ".avi");
    const std::string failure =
        cabsim::test::make_numbered_film(film.path, kWidth, kHeight, film.frames, film.options);
    if (!failure.empty()) {
      std::fprintf(stderr, "%s\n", failure.c_str());
      return 1;
    }
    measure_ffmpeg(film);
  }
  register_all();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  print_table();
  fs::remove_all(dir);
  return 0;
}
