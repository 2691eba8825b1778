// Speed of the headless simulation: a 30-minute drive between the stations
// of a 30 km line under the virtual clock, every 33 ms cycle and 100 ms tick
// run as the driving form would run them. Prints simulated seconds per
// wall-clock second.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "data/route_file.h"
#include "data/shift_jis.h"
#include "data/train_file.h"
#include "run/keyboard.h"
#include "run/motion_cycle.h"
#include "run/operation_tick.h"
#include "run/run_assembly.h"
#include "run/scheduler.h"
#include "run/start_pause.h"
#include "sound/sound_channels_silent.h"

namespace {

constexpr int64_t kDriveMs = 30 * 60 * 1000;
constexpr int kDriveSounds = 18;       ///< 13 running-sound bands, then the handle sounds
constexpr int kEnvironmentSounds = 4;  ///< sound points, passing trains, bells
constexpr int kMotorRows = 3;

std::string file_text(const std::string& utf8) {
  std::string crlf;
  for (char c : utf8) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return cabsim::utf8_to_sjis(crlf);
}

std::string train_text() {
  std::string t =
      "[Handle]\n0\n[BrakeType]\n1\n[BrakeType2]\n1\n[Brake]\n8\n[Power]\n4\n[NotchBack]\n1\n"
      "[BrakeRate]\n4.0\n3.5\n10\n[BrakeRate2]\n0.02\n[PowerDelay]\n5\n[BrakeDelay]\n10\n"
      "[EBrakeDelay]\n3\n[PowerJerk]\n5\n[SAPDelay]\n4\n[BrakeUp]\n300\n[BrakeDown]\n240\n"
      "[SAPUp]\n330\n[SAPDown]\n270\n[EBrakeUp]\n400\n[EBrakeDown]\n300\n[EBrakeCurr]\n700\n"
      "[BPReturn]\n150\n[EBPress]\n440\n[SAPPress]\n420\n[HighAirPress]\n880\n"
      "[LowAirPress]\n780\n[Engine_Type]\n1\n[Power_Type]\n1\n[Brake_Type]\n1\n[Mt]\n120\n"
      "[Tt]\n80\n[Tct]\n60\n[Cars]\n8\n[Tons]\n260\n[MaxSpeed]\n120\n[Lose_elec]\n8\n"
      "[ELBR]\n100\n[EB]\n1\n[Notch]\n";
  for (int n = 0; n < 4; ++n) t += "3.0\n2.5\n40\n80\n0.98\n0\n";
  t += "#\n[PowerMode]\nP,M\n#\n";
  // Handle, squeal and switch sounds, three motor rows and the running
  // sounds, so that every sound rule works on every tick.
  auto lines = [&](const char* key, int count, int sound) {
    t += key;
    for (int i = 0; i < count; ++i) t += std::to_string(sound) + "\n";
  };
  lines("[Sound_BK]\n", 8, 13);
  lines("[Sound_BR]\n", 8, 13);
  lines("[Sound_BA]\n", 9, 14);
  lines("[Sound_PA]\n", 4, 14);
  lines("[Sound_PR]\n", 4, 14);
  t += "[Sound_squeak]\n15\n[SwitchSound]\n16,40,0\n17,200,0\n#\n[EngineSound1]\n";
  for (int mode = 0; mode < 3; ++mode)
    t += "motor.wav\n" + std::to_string(mode) + "\n0\n40\n110\n0.3\n1.0\n2.4\n30\n100\n80\n";
  t += "#\n[DriveSound]\n";
  for (int i = 0; i < kDriveSounds; ++i) t += "run.wav\n";
  return t + "#\n";
}

/// 54000 frames (30 minutes of film) in 300 segments between 40 and 90
/// km/h; a station every 4500 frames, gradients and tunnels along the way.
std::string route_text() {
  std::string r =
      "[LineName]\n試験線\n[StartPos]\n100\n[FrameRate]\n30\n[Friction]\n0.35\n"
      "[DataName]\nline\n[TunnelR]\n12\n[Speed_Signal]\n0\n25\n45\n75\n110\n#\n[Station]\n";
  for (int i = 0; i < 12; ++i)
    r += "駅" + std::to_string(i) + ",2," + std::to_string(100 + 4500 * i) +
         ",1000,0,0,0,972000,80,1,0,0,0,300,5,0,100\n";
  r += "#\n[Slope]\n";
  for (int i = 0; i < 60; ++i)
    r += std::to_string((i % 7) - 3) + "," + std::to_string(900 * i) + "," +
         std::to_string(900 * i + 880) + "\n";
  r += "#\n[Tunnel]\n";
  for (int i = 0; i < 10; ++i)
    r += std::to_string(5000 * i + 2000) + "," + std::to_string(5000 * i + 2600) + ",128\n";
  r += "#\n[SpeedUnit]\n";
  for (int i = 0; i < 300; ++i)
    r += std::to_string(180 * i) + "," + std::to_string(180 * (i + 1)) + "," +
         std::to_string(40 + (i * 13) % 50) + "," + std::to_string(40 + ((i + 1) * 13) % 50) + "\n";
  r += "#\n[SoundData]\n";
  for (int i = 0; i < kEnvironmentSounds; ++i) r += "env.wav\n";
  r += "#\n[Sound]\n";
  for (int i = 0; i < 54; ++i) r += "0," + std::to_string(1000 * i + 500) + ",60,0,1,1,0\n";
  for (int i = 0; i < 10; ++i)
    r += "2," + std::to_string(5000 * i + 2000) + ",60,2,1,1,600\n3," +
         std::to_string(5000 * i + 4000) + ",0,1,0,0,300\n";
  r += "#\n[Doppler]\n";
  for (int i = 0; i < 18; ++i) r += "1," + std::to_string(3000 * i + 1500) + ",30000,0\n";
  r += "#\n[Atten]\n";
  for (int i = 0; i < 10; ++i)
    r += std::to_string(5000 * i + 2000) + "," + std::to_string(5000 * i + 2600) + ",0,160\n";
  r += "#\n[Switch]\n";
  for (int i = 0; i < 108; ++i) r += std::to_string(500 * i + 250) + ",0\n";
  return r + "#\n";
}

/// The driver: power to 80 km/h, coast, brake for the next station, stop,
/// start again for the one after; the horn answers the vigilance warning.
struct Driver {
  int32_t next_stop = 100 + 4500;  ///< frame of the next station

  void operator()(cabsim::Run& run) {
    const cabsim::RunState& s = run.state;
    const int32_t f = s.current_frame;
    if (s.speed == 0 && f > next_stop - 700) next_stop += 4500;  // stopped: depart
    const bool approaching = f > next_stop - 700;
    if (run.view.vigilance_lamp) {
      cabsim::AsciiDown(run, '3');
    } else if (approaching && s.speed > 0 && s.brake_handle > -4) {
      cabsim::AsciiDown(run, s.power_handle > 0 ? '5' : '2');
    } else if (!approaching && s.brake_handle < 0) {
      cabsim::AsciiDown(run, '5');
    } else if (!approaching && s.speed > 80 && s.power_handle > 0) {
      cabsim::AsciiDown(run, '5');
    } else if (!approaching && s.speed < 60 && s.power_handle < 4) {
      cabsim::AsciiDown(run, '8');
    }
  }
};

}  // namespace

int main() {
  cabsim::VirtualClock clock;
  cabsim::SilentSoundChannels sounds;
  std::unique_ptr<cabsim::Run> run;
  cabsim::Scheduler scheduler(
      clock, [&] { cabsim::MMTimer1Timer(*run); }, [&] { cabsim::Timer1Timer(*run); },
      [&](int64_t ms) { sounds.advance(ms); });
  run = std::make_unique<cabsim::Run>(sounds, clock, scheduler);
  run->train = cabsim::read_train_bytes(file_text(train_text()), "");
  run->route = cabsim::read_route_bytes(file_text(route_text()), cabsim::RouteReadContext{});
  run->state.current_frame = run->route->StartPos;
  cabsim::set_up_run_state(*run);
  // Every sound bound, three seconds long.
  for (int c = 0; c < kDriveSounds + kEnvironmentSounds + kMotorRows; ++c)
    sounds.set_length(c, 3000);

  Driver drive;
  auto begin = std::chrono::steady_clock::now();
  cabsim::start1Click(*run);
  for (int64_t t = 1000; t <= kDriveMs; t += 1000) {
    scheduler.advance_to(t);
    drive(*run);
    scheduler.run_due();
  }
  auto end = std::chrono::steady_clock::now();
  double wall = std::chrono::duration<double>(end - begin).count();
  std::printf("simulated %.0f s in %.3f s wall clock: %.0f simulated s per wall-clock s\n",
              kDriveMs / 1000.0, wall, kDriveMs / 1000.0 / wall);
  std::printf("stations passed: %d\n", (drive.next_stop - 100) / 4500 - 1);
  std::printf("end: frame %d, position %.0f cm, clock %d, ticks %d\n", run->state.current_frame,
              static_cast<double>(run->state.position), run->state.clock, run->state.tick_count);
  return 0;
}
