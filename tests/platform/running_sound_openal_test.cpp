// The running-sound band heard through the OpenAL channels: thirteen 10 km/h
// recordings, each a pure tone of its own, played by the band rule through
// OpenAL Soft's loopback device and measured in the rendered samples, tick
// after tick as the operation tick plays them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sound_channels_openal.h"
#include "sound/running_sounds.h"
#include "state/run.h"
#include "state/virtual_clock.h"
#include "support/bare_run.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

namespace fs = std::filesystem;

constexpr int kRate = 22050;
/// The sound rendered between two operation ticks (100 ms).
constexpr int kTickSamples = kRate / 10;
/// Ticks measured once the speed has settled (400 ms, 2.5 Hz resolution).
constexpr int kMeasuredTicks = 4;
/// Recordings 0 .. 12: one per 10 km/h, the last from 120 km/h.
constexpr int kBands = 13;
/// The channel after the bands, which the band rule never touches: it plays
/// the reference tone at full level.
constexpr int kReferenceChannel = kBands;
/// Every recording's amplitude, as a fraction of full scale.
constexpr double kRecordedAmplitude = 0.4;
/// The largest step of the speed between two ticks while running up or down:
/// under 10 km/h, so the band moves by one recording a tick at most, as it
/// does at any acceleration a train is capable of.
constexpr long double kSpeedStep = 8;
constexpr double kPi = 3.14159265358979323846;

/// The tone of recording `band`: 200 Hz, and 50 Hz higher per recording.
double band_hz(int band) {
  return 200.0 + 50.0 * band;
}

void put_le(std::string& bytes, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

/// One second of recording `band` as a 16-bit mono PCM wave at 22050 Hz.
/// Every tone is a whole number of hertz, so the second holds whole periods
/// and the loop has no seam.
fs::path write_band_wave(const test::TempDir& dir, int band) {
  const uint32_t frames = kRate;
  const uint32_t data_bytes = frames * 2;
  std::string bytes = "RIFF";
  put_le(bytes, 36 + data_bytes, 4);
  bytes += "WAVEfmt ";
  put_le(bytes, 16, 4);
  put_le(bytes, 1, 2);          // PCM
  put_le(bytes, 1, 2);          // mono
  put_le(bytes, kRate, 4);      // frames a second
  put_le(bytes, kRate * 2, 4);  // bytes a second
  put_le(bytes, 2, 2);          // bytes a frame
  put_le(bytes, 16, 2);         // bits a sample
  bytes += "data";
  put_le(bytes, data_bytes, 4);
  for (uint32_t n = 0; n < frames; ++n) {
    const double v = kRecordedAmplitude * 32767 * std::sin(2 * kPi * band_hz(band) * n / kRate);
    put_le(bytes, static_cast<uint32_t>(static_cast<int16_t>(std::lround(v))), 2);
  }
  return dir.write_bytes("band" + std::to_string(band) + ".wav", bytes);
}

/// Rendered samples seen through a Blackman-Harris window, whose side lobes
/// (-92 dB) keep a tone out of the measurement of another 10 Hz away.
class Spectrum {
 public:
  explicit Spectrum(const std::vector<int16_t>& samples) {
    const size_t n = samples.size();
    windowed_.resize(n);
    for (size_t i = 0; i < n; ++i) {
      const double t = 2 * kPi * static_cast<double>(i) / static_cast<double>(n - 1);
      const double w =
          0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
      const double x = samples[i] / 32768.0;
      windowed_[i] = x * w;
      window_sum_ += w;
      power_ += x * x * w;
    }
    power_ /= window_sum_;
  }

  /// Amplitude, as a fraction of full scale, of the tone at `hz`.
  double amplitude(double hz) const {
    const double step = 2 * kPi * hz / kRate;
    const double c = std::cos(step);
    const double s = std::sin(step);
    double re = 0, im = 0, zr = 1, zi = 0;
    for (double x : windowed_) {
      re += x * zr;
      im -= x * zi;
      const double next = zr * c - zi * s;
      zi = zr * s + zi * c;
      zr = next;
    }
    return 2 * std::hypot(re, im) / window_sum_;
  }

  /// The frequency of the strongest tone between `low` and `high` Hz.
  double strongest(double low, double high) const {
    double best = low;
    double best_amplitude = -1;
    for (double hz = low; hz <= high; hz += 0.5) {
      if (const double a = amplitude(hz); a > best_amplitude) {
        best_amplitude = a;
        best = hz;
      }
    }
    // Narrowed down to a hundredth of a hertz around the best half hertz.
    double lo = std::max(low, best - 0.5), hi = std::min(high, best + 0.5);
    while (hi - lo > 0.01) {
      const double a = lo + (hi - lo) / 3, b = hi - (hi - lo) / 3;
      if (amplitude(a) < amplitude(b))
        lo = a;
      else
        hi = b;
    }
    return (lo + hi) / 2;
  }

  /// Windowed mean square of the samples.
  double power() const { return power_; }

 private:
  std::vector<double> windowed_;
  double window_sum_ = 0;
  double power_ = 0;
};

/// A tone expected in the rendered sound: its frequency and its amplitude as
/// a fraction of a recording played at full level.
struct Tone {
  double hz;
  double level;
};

std::string describe(const std::vector<Tone>& tones) {
  std::ostringstream text;
  for (const Tone& t : tones) text << t.hz << " Hz x " << t.level << "  ";
  return text.str();
}

class RunningSoundOpenAl : public testing::Test {
 protected:
  void SetUp() override {
    std::string failure;
    sound_ = OpenAlSoundChannels::open_loopback(kRate, &failure);
    if (!sound_) GTEST_SKIP() << "no OpenAL loopback device: " << failure;
    ASSERT_EQ(sound_->output_frequency(), kRate);
    run_ = std::make_unique<cabsim::Run>(*sound_, clock_, timers_);
    run_->train.DriveSound_count = kBands;
    for (int band = 0; band < kBands; ++band)
      ASSERT_EQ(sound_->load(band, write_band_wave(dir_, band)), "") << band;

    // The reference: the top recording played at full level on a channel of
    // its own, outside the band rule's reach.
    ASSERT_EQ(sound_->load(kReferenceChannel, dir_ / "band12.wav"), "");
    sound_->set_volume(kReferenceChannel, 0);
    sound_->play_looped(kReferenceChannel);
    render(1);
    full_ = Spectrum(render(kMeasuredTicks)).amplitude(band_hz(12));
    sound_->stop(kReferenceChannel);
    render(1);
    // A centred mono source reaches the mono output as recorded.
    ASSERT_NEAR(full_ / kRecordedAmplitude, 1.0, 0.03) << full_;
  }

  /// The next `ticks` x 100 ms of sound.
  std::vector<int16_t> render(int ticks) {
    std::vector<int16_t> out(static_cast<size_t>(ticks) * kTickSamples);
    EXPECT_TRUE(sound_->render(out.data(), static_cast<int>(out.size())));
    return out;
  }

  /// One operation tick at `speed`: the band rule, then the 100 ms to the next.
  std::vector<int16_t> tick(long double speed) {
    speed_ = speed;
    run_->state.speed = speed;
    running_band(*run_);
    clock_.sleep(100);
    return render(1);
  }

  /// Runs up or down to `speed` (its magnitude by at most kSpeedStep a tick,
  /// with the sign of `speed`), ending with one tick at `speed`.
  void run_to(long double speed) {
    const long double sign = speed < 0 ? -1 : 1;
    const long double target = std::fabs(speed);
    long double v = std::fabs(speed_);
    while (std::fabs(target - v) > kSpeedStep) {
      v += target > v ? kSpeedStep : -kSpeedStep;
      tick(sign * v);
    }
    tick(speed);
  }

  /// Runs to `speed` and returns the 400 ms after the first tick there (the
  /// channels' new levels and pitches settle within that tick).
  std::vector<int16_t> heard_at(long double speed) {
    run_to(speed);
    std::vector<int16_t> heard;
    for (int i = 0; i < kMeasuredTicks; ++i) {
      const std::vector<int16_t> t = tick(speed);
      heard.insert(heard.end(), t.begin(), t.end());
    }
    return heard;
  }

  /// The sound holds exactly `tones`: each at its level, the mean square
  /// theirs, nothing else between 100 and 1100 Hz, no clipped sample.
  void expect_tones(const std::vector<int16_t>& heard, const std::vector<Tone>& tones) {
    SCOPED_TRACE(testing::Message()
                 << "at " << static_cast<double>(speed_) << " km/h expecting " << describe(tones));
    const Spectrum spectrum(heard);
    double expected_power = 0;
    double sum_of_levels = 0;
    double tone_power = 0;
    for (const Tone& t : tones) {
      const double measured = spectrum.amplitude(t.hz) / full_;
      EXPECT_NEAR(measured, t.level, std::max(0.003, 0.03 * t.level)) << t.hz << " Hz";
      expected_power += t.level * t.level / 2;
      tone_power += measured * measured / 2;
      sum_of_levels += t.level;
    }
    const double power = spectrum.power() / (full_ * full_);
    // The level: the root mean square is that of the tones at their levels.
    if (tones.empty())
      EXPECT_LT(std::sqrt(power), 1e-3);
    else
      EXPECT_NEAR(std::sqrt(power / expected_power), 1.0, 0.02);
    // Nothing but the tones: no other recording, no noise, no stray pitch.
    EXPECT_LT(std::max(power - tone_power, 0.0), 0.005 * std::max(expected_power, 1e-4))
        << "power outside the expected tones";
    double loudest_other = 0, loudest_other_hz = 0;
    for (double hz = 100; hz <= 1100; hz += 1) {
      const bool near_a_tone = std::any_of(
          tones.begin(), tones.end(), [&](const Tone& t) { return std::fabs(t.hz - hz) < 12; });
      if (near_a_tone) continue;
      if (const double a = spectrum.amplitude(hz) / full_; a > loudest_other) {
        loudest_other = a;
        loudest_other_hz = hz;
      }
    }
    EXPECT_LT(loudest_other, 0.003) << "a tone at " << loudest_other_hz << " Hz";
    // Sane samples: nothing near clipping, no peak above the tones' amplitudes
    // added up.
    const auto [lowest, highest] = std::minmax_element(heard.begin(), heard.end());
    const double peak = std::max(-static_cast<double>(*lowest), static_cast<double>(*highest));
    EXPECT_LT(peak, 32767.0 * 0.9);
    EXPECT_LE(peak / 32768.0, full_ * sum_of_levels * 1.03 + 1e-4);
  }

  test::TempDir dir_;
  std::unique_ptr<OpenAlSoundChannels> sound_;
  VirtualClock clock_;
  test::NoTimers timers_;
  std::unique_ptr<cabsim::Run> run_;  // qualified: testing::Test has a Run() of its own
  /// The train is already running when a test starts: the standstill
  /// recording, which the band rule starts below 10 km/h and never stops,
  /// stays out of the measurements.
  long double speed_ = 20;
  /// The measured amplitude of a recording played at full level.
  double full_ = 0;
};

TEST_F(RunningSoundOpenAl, CrossFadesTheTwoNeighbouringRecordingsInAmplitude) {
  // 40 km/h: recording 4 at full, recording 5 at -40 dB (weight 0 taken as 1).
  expect_tones(heard_at(40), {{band_hz(4), 1.0}, {band_hz(5), 0.01}});
  // The weights are 100 - 10 x (r mod 10) and 10 x (r mod 10) per cent.
  expect_tones(heard_at(42), {{band_hz(4), 0.8}, {band_hz(5), 0.2}});
  // -602 hundredths of a decibel each: half the amplitude, and the root mean
  // square 1/sqrt(2) of that at 40 km/h.
  expect_tones(heard_at(45), {{band_hz(4), 0.5}, {band_hz(5), 0.5}});
  // The speed is rounded to whole km/h (47.6 is 48) ...
  expect_tones(heard_at(47.6L), {{band_hz(4), 0.2}, {band_hz(5), 0.8}});
  // ... and taken without its sign: running backwards sounds the same.
  expect_tones(heard_at(-41.6L), {{band_hz(4), 0.8}, {band_hz(5), 0.2}});
}

TEST_F(RunningSoundOpenAl, PitchRisesWithinEachBandFromEightyKmh) {
  // From 80 km/h the lower recording of the two plays faster by 1.1 % per
  // km/h above its band's start: the factor is (speed - 10 Z) x 0.011 + 1.
  struct Row {
    long double speed;
    std::vector<Tone> tones;  ///< the first is the louder, or as loud
  };
  const std::vector<Row> rows = {
      {33, {{band_hz(3), 0.7}, {band_hz(4), 0.3}}},
      {57, {{band_hz(6), 0.7}, {band_hz(5), 0.3}}},
      // Below 80 km/h both recordings keep their own pitch.
      {75, {{band_hz(7), 0.5}, {band_hz(8), 0.5}}},
      {83, {{band_hz(8) * 1.033, 0.7}, {band_hz(9), 0.3}}},
      {85, {{band_hz(8) * 1.055, 0.5}, {band_hz(9), 0.5}}},
      {92, {{band_hz(9) * 1.022, 0.8}, {band_hz(10), 0.2}}},
      {95, {{band_hz(9) * 1.055, 0.5}, {band_hz(10), 0.5}}},
      {112, {{band_hz(11) * 1.022, 0.8}, {band_hz(12), 0.2}}},
  };
  double previous = 0;
  for (const Row& row : rows) {
    const std::vector<int16_t> heard = heard_at(row.speed);
    expect_tones(heard, row.tones);
    // Each tone found where it is expected, by its own peak.
    const Spectrum spectrum(heard);
    for (const Tone& t : row.tones)
      EXPECT_NEAR(spectrum.strongest(t.hz * 0.99, t.hz * 1.01) / t.hz, 1.0, 0.002)
          << static_cast<double>(row.speed) << " km/h, " << t.hz << " Hz";
    // The louder tone, where one is, rises with the speed.
    if (row.tones.front().level == row.tones.back().level) continue;
    const double loudest = spectrum.strongest(100, 1100);
    EXPECT_NEAR(loudest / row.tones.front().hz, 1.0, 0.002) << static_cast<double>(row.speed);
    EXPECT_GT(loudest, previous) << static_cast<double>(row.speed);
    previous = loudest;
  }
}

TEST_F(RunningSoundOpenAl, RecordingsLeftBehindFallSilent) {
  expect_tones(heard_at(45), {{band_hz(4), 0.5}, {band_hz(5), 0.5}});
  // Running up, the recording below the pair stops as the band moves on.
  expect_tones(heard_at(65), {{band_hz(6), 0.5}, {band_hz(7), 0.5}});
  // Running down, the recording two above the pair stops.
  expect_tones(heard_at(45), {{band_hz(4), 0.5}, {band_hz(5), 0.5}});
  // 119 km/h: recording 11 at 10 %, raised by 9.9 %, recording 12 at 90 %.
  expect_tones(heard_at(119), {{band_hz(11) * 1.099, 0.1}, {band_hz(12), 0.9}});
  // From 120 km/h the rule plays recording 12 at full and touches no other
  // channel: recording 11 goes on as the last tick under 120 km/h left it.
  expect_tones(heard_at(130), {{band_hz(12), 1.0}, {band_hz(11) * 1.099, 0.1}});
}

TEST_F(RunningSoundOpenAl, TopRecordingPlaysAloneWhenFirstHeardAbove120Kmh) {
  speed_ = 130;
  expect_tones(heard_at(130), {{band_hz(12), 1.0}});
  expect_tones(heard_at(150), {{band_hz(12), 1.0}});
}

TEST_F(RunningSoundOpenAl, ChannelsBeyondTheTrainsRecordingsAreLeftAlone) {
  // Six recordings: channel 6 on belongs to other sounds (the route's first
  // environment sound would play there) and is never started by the band.
  run_->train.DriveSound_count = 6;
  expect_tones(heard_at(55), {{band_hz(5), 0.5}});
  // At 65 km/h the pair is channels 6 and 7: recording 5 stops, nothing plays.
  expect_tones(heard_at(65), {});
}

}  // namespace
}  // namespace cabsim
