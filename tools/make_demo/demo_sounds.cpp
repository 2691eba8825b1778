// Synthesis of the demo line's sounds: rail noise, motors, engines, air,
// bells, horns, chimes, melodies and speech.
#include "demo_sounds.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace demo {

namespace {

constexpr double kPi = 3.14159265358979323846;

/// A small deterministic noise source (xorshift), seeded per sound.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  double next() {  // -1 .. 1
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ / 4294967295.0) * 2 - 1;
  }

 private:
  uint32_t state_;
};

uint32_t seed_of(const std::string& s) {
  uint32_t h = 2166136261u;
  for (unsigned char c : s) h = (h ^ c) * 16777619u;
  return h;
}

/// A buffer of samples in -1 .. 1 being mixed.
struct Mix {
  std::vector<double> v;
  explicit Mix(double seconds) : v(size_t(seconds * kSampleRate), 0.0) {}
  size_t n() const { return v.size(); }
  static double t(size_t i) { return double(i) / kSampleRate; }
  /// A sine at `hz` from `at` for `len` seconds with attack and decay times.
  void tone(double hz, double at, double len, double amp, double decay = 0, double attack = 0.005) {
    size_t a = size_t(at * kSampleRate), b = std::min(n(), size_t((at + len) * kSampleRate));
    for (size_t i = a; i < b; ++i) {
      double x = t(i - a);
      double env = std::min(1.0, x / attack) * (decay > 0 ? std::exp(-x / decay) : 1.0);
      env *= std::min(1.0, (len - x) / 0.01);
      v[i] += amp * env * std::sin(2 * kPi * hz * x);
    }
  }
  /// Noise through a one-pole low-pass of `cutoff` Hz, shaped by `env(t)`.
  template <typename Env>
  void noise(Noise& rng, double cutoff, double amp, Env env, double at = 0, double len = -1) {
    size_t a = size_t(at * kSampleRate);
    size_t b = len < 0 ? n() : std::min(n(), size_t((at + len) * kSampleRate));
    double k = 1 - std::exp(-2 * kPi * cutoff / kSampleRate), y = 0;
    for (size_t i = a; i < b; ++i) {
      y += k * (rng.next() - y);
      v[i] += amp * env(t(i - a)) * y * (1 + 0.5 * cutoff / 2000.0);
    }
  }
  /// A short knock: a decaying low tone with a noise burst.
  void knock(Noise& rng, double at, double hz, double amp) {
    tone(hz, at, 0.12, amp, 0.03, 0.001);
    noise(
        rng, 3000, amp * 0.6, [](double x) { return std::exp(-x / 0.01); }, at, 0.05);
  }
  std::vector<int16_t> pcm(double peak = 0.8) const {
    double m = 1e-9;
    for (double x : v) m = std::max(m, std::fabs(x));
    std::vector<int16_t> out(v.size());
    for (size_t i = 0; i < v.size(); ++i) out[i] = int16_t(std::lround(v[i] / m * peak * 32767));
    return out;
  }
};

auto flat = [](double) { return 1.0; };

/// Frequency that makes a whole number of cycles in `seconds`, so loops join.
double loop_hz(double hz, double seconds) {
  return std::max(1.0, std::round(hz * seconds)) / seconds;
}

std::vector<int16_t> running(const SoundSpec& s, Noise& rng) {
  double kmh = s.param;
  if (kmh <= 0) {  // standing: the quiet hum of the auxiliary supply
    Mix m(2.0);
    m.tone(loop_hz(120, 2), 0, 2, 0.05);
    m.noise(rng, 300, 0.03, flat);
    return m.pcm(0.15);
  }
  double ms = kmh / 3.6;
  double joint = 25.0 / ms;  // one rail length
  double len = joint <= 4 ? joint * std::max(1.0, std::round(2.0 / joint)) : 4.0;
  Mix m(len);
  double level = 0.2 + kmh / 120.0;
  m.noise(rng, 200 + kmh * 8, level * 0.5, flat);
  m.noise(rng, 60 + kmh, level * 0.5, flat);
  double axle = 2.1 / ms, bogie = 13.8 / ms;  // wheel sets of the two bogies passing a rail joint
  for (double j = 0; j < len - 1e-9; j += joint)
    for (double off : {0.0, axle, bogie, bogie + axle}) {
      double at = j + off;
      if (at < len - 0.12) m.knock(rng, at, 90 + kmh * 0.6, 0.5 + kmh / 200.0);
    }
  return m.pcm(0.35 + 0.5 * std::min(1.0, kmh / 120.0));
}

std::vector<int16_t> motor(const SoundSpec& s, Noise& rng) {
  Mix m(3.0);
  double f = loop_hz(s.param, 3.0);
  m.tone(f, 0, 3, 0.5);
  m.tone(loop_hz(f * 2, 3), 0, 3, 0.25);
  m.tone(loop_hz(f * 3.02, 3), 0, 3, 0.12);
  m.tone(loop_hz(f * 4.5, 3), 0, 3, 0.06);
  m.noise(rng, 800, 0.15, flat);
  return m.pcm(0.6);
}

std::vector<int16_t> engine(const SoundSpec& s, Noise& rng) {
  Mix m(2.0);
  double f = loop_hz(s.param, 2.0);
  size_t period = size_t(kSampleRate / f);
  for (size_t i = 0; i + 1 < m.n(); i += period) m.knock(rng, Mix::t(i), f * 2.5, 0.6);
  m.tone(loop_hz(f / 2, 2), 0, 2, 0.3);
  m.noise(rng, 400, 0.2, flat);
  if (s.file.find("start") != std::string::npos) {  // cranking, then firing
    Mix c(3.0);
    for (double at = 0; at < 1.2; at += 0.18) c.knock(rng, at, 60, 0.4);
    for (double at = 1.2; at < 2.9; at += 1.0 / (10 + (at - 1.2) * 15)) c.knock(rng, at, 80, 0.7);
    return c.pcm(0.7);
  }
  if (s.file.find("stop") != std::string::npos) {
    Mix c(2.0);
    for (double at = 0, gap = 0.05; at < 1.8; at += gap, gap *= 1.12)
      c.knock(rng, at, 70, 0.7 * (1 - at / 2));
    return c.pcm(0.6);
  }
  return m.pcm(0.6);
}

std::vector<int16_t> air(double seconds, double cutoff, Noise& rng, double attack, double decay) {
  Mix m(seconds);
  m.noise(rng, cutoff, 1.0,
          [&](double x) { return std::min(1.0, x / attack) * std::exp(-x / decay); });
  return m.pcm(0.5);
}

std::vector<int16_t> bell(double seconds, double hz, double strike_hz, Noise&) {
  Mix m(seconds);
  for (double at = 0; at < seconds - 0.05; at += 1 / strike_hz) {
    m.tone(hz, at, 0.3, 0.5, 0.15, 0.001);
    m.tone(hz * 2.76, at, 0.2, 0.2, 0.05, 0.001);
  }
  return m.pcm(0.7);
}

/// An original tune for the departure melodies and the title: bell-like notes.
std::vector<int16_t> melody(int tune, double seconds) {
  static const int tunes[2][16] = {
      {72, 76, 79, 84, 83, 79, 76, 79, 77, 81, 84, 81, 79, 76, 74, 72},
      {67, 71, 74, 79, 76, 72, 74, 71, 69, 72, 76, 74, 71, 67, 69, 67}};
  Mix m(seconds);
  const int* notes = tunes[tune % 2];
  double step = (seconds - 1.0) / 16;
  for (int i = 0; i < 16; ++i) {
    double hz = 440.0 * std::pow(2.0, (notes[i] - 69) / 12.0);
    m.tone(hz, i * step, step * 2.5, 0.5, 0.4);
    m.tone(hz * 2, i * step, step * 2, 0.15, 0.2);
    if (i % 4 == 0) m.tone(hz / 2, i * step, step * 4, 0.2, 0.8);
  }
  return m.pcm(0.7);
}

std::vector<int16_t> title_music() {
  Mix m(24.0);
  const int chords[4][3] = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}};
  for (int bar = 0; bar < 12; ++bar) {
    const int* c = chords[bar % 4];
    for (int k = 0; k < 3; ++k)
      m.tone(440.0 * std::pow(2.0, (c[k] - 69) / 12.0), bar * 2.0, 2.2, 0.25, 1.2, 0.05);
    for (int beat = 0; beat < 4; ++beat) {
      int note = c[(beat + bar) % 3] + 12;
      m.tone(440.0 * std::pow(2.0, (note - 69) / 12.0), bar * 2.0 + beat * 0.5, 0.5, 0.3, 0.25);
    }
  }
  return m.pcm(0.6);
}

}  // namespace

std::vector<int16_t> opening_music(double seconds) {
  // A rising fanfare over two chords, fading out at the end of the film.
  Mix m(seconds);
  const int notes[8] = {60, 64, 67, 72, 67, 72, 76, 79};
  const double step = (seconds - 1.5) / 8;
  for (int i = 0; i < 8; ++i) {
    const double hz = 440.0 * std::pow(2.0, (notes[i] - 69) / 12.0);
    m.tone(hz, i * step, step * 1.6, 0.35, 0.5);
    m.tone(hz / 2, i * step, step * 2, 0.15, 0.8);
  }
  for (int k : {72, 76, 79})
    m.tone(440.0 * std::pow(2.0, (k - 69) / 12.0), 8 * step, 1.4, 0.2, 0.7);
  return m.pcm(0.6);
}

namespace {

std::vector<int16_t> passing_train(Noise& rng) {
  Mix m(6.0);
  auto env = [](double x) { return 0.3 + 0.7 * std::exp(-std::pow((x - 3) / 1.2, 2)); };
  m.noise(rng, 900, 0.8, env);
  for (double at = 0.6; at < 5.5; at += 0.45) m.knock(rng, at, 110, 0.5 * env(at));
  return m.pcm(0.8);
}

/// Distinct tones for a phrase when no speech synthesiser is installed.
std::vector<int16_t> phrase_tones(const SoundSpec& s) {
  uint32_t h = seed_of(s.text);
  Mix m(1.2);
  for (int i = 0; i < 4; ++i)
    m.tone(500 + ((h >> (i * 8)) & 0xFF) * 3, 0.05 + i * 0.28, 0.25, 0.5, 0.1);
  return m.pcm(0.6);
}

std::vector<int16_t> espeak(const SoundSpec& s, const QString& program) {
  QTemporaryDir dir;
  QString file = dir.filePath("speech.wav");
  QProcess p;
  p.start(program,
          {"-v", "ja", "-s", "150", "-a", "160", "-w", file, QString::fromStdString(s.text)});
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return phrase_tones(s);
  std::ifstream in(file.toStdString(), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  // espeak-ng writes 16-bit mono at 22050 Hz; take the samples after "data".
  size_t at = bytes.find("data");
  if (at == std::string::npos || bytes.size() < at + 8) return phrase_tones(s);
  std::vector<int16_t> out((bytes.size() - at - 8) / 2);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = int16_t(uint8_t(bytes[at + 8 + 2 * i]) | (uint8_t(bytes[at + 9 + 2 * i]) << 8));
  return out;
}

}  // namespace

std::string wave_file(const std::vector<int16_t>& samples) {
  std::string out;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
  };
  auto u16 = [&](uint16_t v) { out += char(v & 0xFF), out += char(v >> 8); };
  uint32_t data = uint32_t(samples.size() * 2);
  out += "RIFF";
  u32(36 + data);
  out += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kSampleRate);
  u32(kSampleRate * 2);  // bytes per second
  u16(2);
  u16(16);
  out += "data";
  u32(data);
  for (int16_t s : samples) u16(uint16_t(s));
  return out;
}

std::vector<int16_t> synthesise(const SoundSpec& s) {
  Noise rng(seed_of(s.file));
  switch (s.kind) {
    case SoundKind::running:
      return running(s, rng);
    case SoundKind::motor:
      return motor(s, rng);
    case SoundKind::engine:
      return engine(s, rng);
    case SoundKind::brake_apply:
      return air(0.7, 2500, rng, 0.05, 0.3);
    case SoundKind::brake_release:
      return air(1.2, 1800, rng, 0.02, 0.45);
    case SoundKind::air_release:
      return air(1.6, 1500, rng, 0.05, 0.6);
    case SoundKind::emergency:
      return air(3.0, 2200, rng, 0.01, 1.5);
    case SoundKind::handle: {
      Mix m(0.15);
      m.knock(rng, 0.0, 900, 0.8);
      return m.pcm(0.6);
    }
    case SoundKind::ats_bell:
      return bell(2.0, 1050, 18, rng);
    case SoundKind::ats_chime: {
      Mix m(1.4);
      m.tone(988, 0, 0.7, 0.6, 0.35), m.tone(784, 0.5, 0.9, 0.6, 0.45);
      return m.pcm(0.6);
    }
    case SoundKind::cab_bell:
      return bell(0.6, 1400, 2, rng);
    case SoundKind::horn: {
      double len = s.param > 1000 ? 1.0 : 1.6;
      Mix m(len);
      for (int k = 1; k <= 6; ++k) m.tone(s.param * k, 0.02, len - 0.06, 0.5 / k, 0, 0.05);
      if (s.param < 500)
        for (int k = 1; k <= 4; ++k) m.tone(s.param * 1.26 * k, 0.02, len - 0.06, 0.4 / k, 0, 0.05);
      return m.pcm(0.7);
    }
    case SoundKind::door_open: {
      Mix m(1.6);
      m.noise(rng, 1500, 0.5, [](double x) { return std::exp(-x / 0.4); });
      m.knock(rng, 1.3, 120, 0.8);
      return m.pcm(0.6);
    }
    case SoundKind::door_close: {
      Mix m(3.0);
      for (int i = 0; i < 3; ++i) m.tone(1320, 0.1 + i * 0.4, 0.25, 0.4, 0.1);
      m.noise(
          rng, 1200, 0.4, [](double x) { return std::exp(-x / 0.5); }, 1.4, 1.0);
      m.knock(rng, 2.6, 110, 0.9);
      return m.pcm(0.6);
    }
    case SoundKind::vigilance: {
      Mix m(2.0);
      for (int i = 0; i < 8; ++i) m.tone(i % 2 ? 1800 : 1500, i * 0.25, 0.2, 0.5);
      return m.pcm(0.6);
    }
    case SoundKind::squeal: {
      Mix m(2.0);
      m.tone(loop_hz(3150, 2), 0, 2, 0.4);
      m.tone(loop_hz(4400, 2), 0, 2, 0.15);
      m.noise(rng, 5000, 0.1, flat);
      return m.pcm(0.35);
    }
    case SoundKind::compressor_start: {
      Mix m(1.0);
      for (double at = 0, gap = 0.2; at < 0.95; at += gap, gap = std::max(0.05, gap * 0.8))
        m.knock(rng, at, 150, 0.6);
      return m.pcm(0.5);
    }
    case SoundKind::compressor_run: {
      Mix m(2.0);
      for (double at = 0; at < 1.95; at += 0.05) m.knock(rng, at, 160, 0.5);
      m.tone(loop_hz(100, 2), 0, 2, 0.2);
      return m.pcm(0.5);
    }
    case SoundKind::compressor_stop: {
      Mix m(1.5);
      for (double at = 0, gap = 0.05; at < 1.0; at += gap, gap *= 1.25) m.knock(rng, at, 150, 0.6);
      m.noise(
          rng, 2000, 0.4, [](double x) { return std::exp(-x / 0.3); }, 1.0, 0.5);
      return m.pcm(0.5);
    }
    case SoundKind::stop_warning: {
      Mix m(1.0);
      m.tone(2000, 0, 0.2, 0.5), m.tone(2000, 0.35, 0.2, 0.5);
      return m.pcm(0.6);
    }
    case SoundKind::buzzer: {
      Mix m(0.6);
      for (int k = 1; k <= 9; k += 2) m.tone(s.param * k, 0, 0.6, 0.5 / k);
      return m.pcm(0.6);
    }
    case SoundKind::departure_signal:
      return bell(3.0, 900, 15, rng);
    case SoundKind::ats_warning: {
      Mix m(1.6);
      for (int i = 0; i < 8; ++i) m.tone(i % 2 ? 700 : 950, i * 0.2, 0.2, 0.5);
      return m.pcm(0.6);
    }
    case SoundKind::switch_click: {
      Mix m(1.0);
      int n = int(s.param);
      for (int i = 0; i < n; ++i) m.knock(rng, 0.05 + i * (0.8 / n), 140, 0.8);
      m.noise(rng, 2500, 0.2, [](double x) { return std::exp(-x / 0.2); });
      return m.pcm(0.6);
    }
    case SoundKind::melody:
      return melody(int(s.param), 8.0);
    case SoundKind::crossing_bell: {
      Mix m(1.6);
      for (int i = 0; i < 4; ++i) m.tone(i % 2 ? 700 : 750, i * 0.4, 0.4, 0.6, 0.12, 0.001);
      return m.pcm(0.7);
    }
    case SoundKind::passing_train:
      return passing_train(rng);
    case SoundKind::gear_change: {
      Mix m(0.7);
      m.knock(rng, 0.02, 90, 0.8);
      m.noise(rng, 600, 0.3, [](double x) { return std::exp(-x / 0.2); });
      return m.pcm(0.5);
    }
    case SoundKind::retarder: {
      Mix m(2.0);
      m.tone(loop_hz(330, 2), 0, 2, 0.4);
      m.noise(rng, 700, 0.3, flat);
      return m.pcm(0.4);
    }
    case SoundKind::ambient: {
      Mix m(3.0);
      m.noise(rng, s.param > 0 ? 250 : 500, 0.6, flat);
      m.tone(loop_hz(s.param > 0 ? 55 : 180, 3), 0, 3, 0.2);
      return m.pcm(s.param > 0 ? 0.6 : 0.15);
    }
    case SoundKind::title_music:
      return title_music();
    case SoundKind::speech:
      return phrase_tones(s);
  }
  return {};
}

void write_sounds(Output& out, const SoundList& sounds) {
  QString espeak_program = QStandardPaths::findExecutable("espeak-ng");
  for (const SoundSpec& s : sounds.all()) {
    std::vector<int16_t> samples = s.kind == SoundKind::speech && !espeak_program.isEmpty()
                                       ? espeak(s, espeak_program)
                                       : synthesise(s);
    out.write(s.file, wave_file(samples));
  }
}

}  // namespace demo
