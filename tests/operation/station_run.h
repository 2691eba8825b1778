// A run for the station tests: the test train with door, departure-signal and
// stop-warning sounds, and a line of three stations (a stop with doors, a
// pass station with a zone sound, a last stop with doors), every sound with
// a length the silent channels play out in simulated time.
#pragma once

#include <string>

#include "data/shift_jis.h"
#include "run/run_assembly.h"
#include "support/test_run.h"

namespace cabsim::test {

/// Train sounds of the station tests.
constexpr int kDoorOpen = 20;
constexpr int kDoorClose = 21;
constexpr int kDepSign = 22;
constexpr int kStopWarning = 23;
/// The train has five running sounds: environment sound k plays on channel
/// 5 + k. The channels of the environment sounds:
constexpr int kRunningSounds = 5;
constexpr int kStartCall = kRunningSounds + 0;
constexpr int kArrival = kRunningSounds + 1;
constexpr int kMelody = kRunningSounds + 2;
constexpr int kZoneSound = kRunningSounds + 3;

/// Departure of the first station, 10:00:00.
constexpr int32_t kFirstDeparture = 1080000;

inline TrainFileText station_train() {
  return TrainFileText{}
      .set("[Sound_DoorOpen]", std::to_string(kDoorOpen))
      .set("[Sound_DoorClose]", std::to_string(kDoorClose))
      .set("[DepSign]", std::to_string(kDepSign))
      .set("[Stop]", std::to_string(kStopWarning))
      .set("[DriveSound]", "r0.wav\nr1.wav\nr2.wav\nr3.wav\nr4.wav\n#");
}

/// `stations` are the `[Station]` rows; by default 東駅 (stop, melody of 20
/// s, departs 10:00:00), 中駅 (passed, zone sound), 西駅 (the last stop).
/// Station 2 calls 140 on arrival and 141 when its doors have opened (calls
/// without a sound, spoken in silence).
inline std::string station_route(int one_man, const std::string& stations = "") {
  const std::string rows = !stations.empty()
                               ? stations
                               : "東駅,0,100,1000,1,2,0,1080000,60,1,0,0,0,300,5,0,50\n"
                                 "中駅,1,2000,1000,1,2,3,1100000,70,0,0,0,0,300,5,0,50\n"
                                 "西駅,0,4000,1000,1,2,0,1110000,60,1,0,0,0,300,5,0,50\n";
  return "[LineName]\n試験線\n[StartPos]\n100\n[Speed_Signal]\n0\n25\n45\n75\n110\n#\n"
         "[Friction]\n0.35\n[Perspective]\n12.5\n80\n[OneMan]\n" +
         std::to_string(one_man) +
         "\n[SoundData]\nstart.wav\narrive.wav\nmelody.wav\nzone.wav\n#\n"
         "[Station]\n" +
         rows +
         "#\n[StationKanko]\n2,4,140\n2,0,141\n#\n"
         "[SpeedUnit]\n0,9000,60,60\n#\n";
}

/// `utf8` in the files' Shift-JIS, as station names and cabworks texts are.
inline std::string sjis(const std::string& utf8) {
  return utf8_to_sjis(utf8);
}

/// Texts of cabworks.dat the stations use.
inline CabworksText station_texts() {
  CabworksText t = test_texts();
  t.Stop = sjis(" 停車");
  t.Pass = sjis(" 通過");
  t.Stop2 = sjis(" 運転停車");
  t.InfoLabel[0] = sjis("回送");
  t.InfoLabel[1] = sjis("ドアを閉めてください");
  return t;
}

struct StationRun : TestRun {
  explicit StationRun(int one_man = 0, const std::string& stations = "",
                      const TrainFileText& train = station_train())
      : TestRun(train, station_route(one_man, stations)) {
    run->text = station_texts();
    RouteTables& route = *run->route;
    const int32_t seconds[] = {3, 4, 20, 10};  // start call, arrival, melody, zone sound
    for (size_t k = 0; k < 4; ++k) {
      route.SoundData_seconds[k] = seconds[k];
      sounds.set_length(kRunningSounds + static_cast<int>(k), 1000 * int64_t{seconds[k]});
    }
    sounds.set_length(kDoorOpen, 2000);
    sounds.set_length(kDoorClose, 3000);
    sounds.set_length(kDepSign, 1000);
    sounds.set_length(kStopWarning, 1500);
    set_up_run_state(*run);  // again, with the melody's length for the clock
  }

  const StationData& station(int i) const { return run->route->Station[static_cast<size_t>(i)]; }
  bool playing(int channel) const { return sounds.status(channel) != ChannelStatus::kStopped; }
  /// One operation tick in simulated time (the run must be started).
  void tick() { run_for(100); }
  /// Ticks until `done` holds, at most `limit`; returns the ticks run.
  template <typename F>
  int ticks_until(F done, int limit) {
    for (int n = 1; n <= limit; ++n) {
      tick();
      if (done()) return n;
    }
    return -1;
  }
};

}  // namespace cabsim::test
