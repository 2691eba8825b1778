// The route tables: every value of a route file, one record per run, each list
// a fixed-capacity table with its count, plus the values the set-up derives.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/cab_panel.h"
#include "data/fixed_point.h"
#include "data/route_rows.h"

namespace cabsim {

// Table capacities. A list longer than its table is an error of the route file.
constexpr size_t kMaxStafPages = 10;           ///< `[StafSwitch]` entries, entry 0 included
constexpr size_t kMaxMovieStops = 100;         ///< `[MovieStop]` frames
constexpr size_t kMaxMovieSwitches = 100;      ///< `[MovieSwitch]` rows
constexpr size_t kMaxSignalSpeeds = 11;        ///< `[Speed_Signal]` values
constexpr size_t kMaxPreTrainRows = 1000;      ///< `[Pre_Train]` rows after the header
constexpr size_t kMaxEnvironmentSounds = 100;  ///< `[SoundData]` files
constexpr size_t kMaxAnnouncements = 500;      ///< `[Announce]` rows after the header
constexpr size_t kKankoSound1Count = 22;       ///< `[KankoSound1]` lines, call sounds 0 to 21
constexpr int32_t kFirstKankoSound2 = 22;      ///< number of the first `[KankoSound2]` call
constexpr int32_t kLastKankoSound = 299;       ///< highest call sound number
constexpr size_t kMaxKankoSound2 = kLastKankoSound - kFirstKankoSound2 + 1;  ///< 278 files
constexpr size_t kMaxSoundPoints = 501;                                      ///< `[Sound]` rows
constexpr size_t kMaxSoundPoints2 = 501;                                     ///< `[Sound2]` rows
constexpr size_t kMaxDopplers = 501;                                         ///< `[Doppler]` rows
constexpr size_t kMaxTunnels = 501;                                          ///< `[Tunnel]` rows
constexpr size_t kMaxAttens = 501;                                           ///< `[Atten]` rows
constexpr size_t kMaxStations = 501;        ///< `[Station]` rows (one empty row follows them)
constexpr size_t kMaxStopSounds = 501;      ///< `[StopSound]` values
constexpr size_t kMaxSignals = 501;         ///< `[Signal]` rows
constexpr size_t kMaxTrafficSignals = 501;  ///< `[TrafficSignal]` rows
constexpr size_t kMaxSlopes = 501;          ///< `[Slope]` rows
constexpr size_t kMaxSigns = 501;           ///< `[Sign]` rows
constexpr size_t kMaxAnims = 501;           ///< `[Anim]` rows
constexpr size_t kMaxSignalKanko = 501;     ///< `[SignalKanko]` rows
constexpr size_t kMaxStationKanko = 501;    ///< `[StationKanko]` rows
constexpr size_t kMaxSpeedLimits = 501;     ///< `[SpeedLimit]` rows
constexpr size_t kMaxSpeedChecks1 = 501;    ///< `[SpeedCheck1]` rows
constexpr size_t kMaxSpeedChecks2 = 501;    ///< `[SpeedCheck2]` rows
constexpr size_t kMaxOtherImages = 1000;    ///< `[OtherImageList]` entries
/// Pictures of each of the other image lists, over all their key's blocks.
constexpr size_t kMaxListImages = 1000;
constexpr size_t kMaxSpeedUnits = 10000;  ///< `[SpeedUnit]` segments
constexpr size_t kMaxCrossings = 1000;    ///< `[Cross]` rows
constexpr size_t kMaxTimes = 100;         ///< `[Time]` rows
constexpr size_t kMaxSwitches = 501;      ///< `[Switch]` rows
constexpr size_t kMaxRouteEvents = 501;   ///< events of the route event list

/// A list of picture files that keeps growing when its key appears again.
struct ImageList {
  std::array<std::string, kMaxListImages> files{};
  int32_t count = 0;
};

/// `[Perspective]`: the two values that place the stop-line marker.
struct Perspective {
  long double P1 = 0;  ///< distance scale of the marker's approach
  int32_t P2 = 0;      ///< height over which the marker rises, pixels
};

/// `[Monitor]` block of the current train: the monitor picture `img_mon`.
struct MonitorImage {
  bool present = false;  ///< a block named the current train file
  IndicatorImage image;  ///< file with the train directory prefix
};

/// One item of the driving form's Move menu: a station the driver can jump to.
struct MoveMenuItem {
  std::string caption;  ///< the station name (Shift-JIS)
  std::string name;     ///< "Sta" + station index
  int32_t station = 0;
};

/// Fields are named after the route file's keys without brackets; list
/// sections are tables with a `_count`; lists the program keeps no count of
/// have a `_filled`, one past the highest entry written.
struct RouteTables {
  std::string LineName;
  std::string LineName2;
  int32_t StartPos = 0;  ///< film frame of a run from the first station
  int32_t FrameRate = 0;
  /// Line 1: timetable card picture (empty: none); line 2: the picture shown
  /// in the cab view before the run starts. Program directory names.
  std::array<std::string, 2> Staf{};
  Fixed Friction;
  std::string DataName;  ///< film base name
  Perspective perspective;
  int32_t OneMan = 0;  ///< 1 or more: one-man operation
  MonitorImage Monitor;
  int32_t TunnelR = 0;  ///< tunnel resistance coefficient x 10000

  std::array<int32_t, kMaxStafPages> StafSwitch{};  ///< entry 0 page height, then stations
  int32_t StafSwitch_count = 0;
  std::array<int32_t, kMaxMovieStops> MovieStop{};
  int32_t MovieStop_filled = 0;
  std::array<MovieSwitchData, kMaxMovieSwitches> MovieSwitch{};
  int32_t MovieSwitch_count = 0;
  std::array<int32_t, kMaxSignalSpeeds> Speed_Signal{};
  int32_t Speed_Signal_count = 0;
  PreTrainHeader Pre_TrainHeader;
  std::array<PreTrainRow, kMaxPreTrainRows> Pre_Train{};
  int32_t Pre_Train_count = 0;
  std::array<std::string, kMaxEnvironmentSounds> SoundData{};
  /// Length of environment sound k in whole seconds, set when the sounds load.
  std::array<int32_t, kMaxEnvironmentSounds> SoundData_seconds{};
  int32_t SoundData_count = 0;
  int32_t AnnounceHeader = -1;  ///< the arrival announcement sound; -1 without `[Announce]`
  std::array<AnnounceRow, kMaxAnnouncements> Announce{};
  int32_t Announce_count = 0;
  std::array<std::string, kKankoSound1Count> KankoSound1{};
  std::array<KankoData, kMaxKankoSound2> KankoSound2{};
  int32_t KankoSound2_count = 0;
  std::array<SoundPointRow, kMaxSoundPoints> Sound{};
  int32_t Sound_count = 0;
  std::array<SoundPoint2Row, kMaxSoundPoints2> Sound2{};
  int32_t Sound2_count = 0;
  std::array<DopplerRow, kMaxDopplers> Doppler{};
  int32_t Doppler_count = 0;
  std::array<TunnelRow, kMaxTunnels> Tunnel{};
  int32_t Tunnel_count = 0;
  std::array<AttenRow, kMaxAttens> Atten{};
  int32_t Atten_count = 0;
  /// One row more than the capacity: the row after the last station is empty.
  std::array<StationData, kMaxStations + 1> Station{};
  int32_t Station_count = 0;
  std::array<int32_t, kMaxStopSounds> StopSound{};
  int32_t StopSound_count = 0;
  std::array<SignalData, kMaxSignals> Signal{};
  int32_t Signal_count = 0;
  std::array<TrafficSignalData, kMaxTrafficSignals> TrafficSignal{};
  int32_t TrafficSignal_count = 0;
  std::array<SlopeRow, kMaxSlopes> Slope{};
  int32_t Slope_count = 0;
  std::array<SignRow, kMaxSigns> Sign{};
  int32_t Sign_count = 0;
  std::array<SignRow, kMaxAnims> Anim{};
  int32_t Anim_count = 0;
  std::array<SignalKankoRow, kMaxSignalKanko> SignalKanko{};
  int32_t SignalKanko_count = 0;
  std::array<StationKankoRow, kMaxStationKanko> StationKanko{};
  int32_t StationKanko_count = 0;
  std::array<SpeedLimitData, kMaxSpeedLimits> SpeedLimit{};
  int32_t SpeedLimit_count = 0;
  std::array<SpeedCheck1Data, kMaxSpeedChecks1> SpeedCheck1{};
  int32_t SpeedCheck1_count = 0;
  std::array<SpeedCheck2Data, kMaxSpeedChecks2> SpeedCheck2{};
  int32_t SpeedCheck2_count = 0;
  ImageList SignImageList;  ///< after the train's stop marker in the sign image list
  std::array<OtherImageEntry, kMaxOtherImages> OtherImageList{};
  int32_t OtherImageList_count = 0;
  ImageList AnimImageList;
  ImageList SignalImageList;
  ImageList TrafficSignalImageList;
  ImageList SignalImageList2;
  std::array<SpeedUnitData, kMaxSpeedUnits> SpeedUnit{};
  int32_t SpeedUnit_count = 0;
  /// Run time: the segments follow one another without overlapping, so a
  /// frame lies in at most one, found by halving.
  uint8_t SpeedUnit_ordered = 0;
  ImageList CrossImageList;
  std::array<CrossRow, kMaxCrossings> Cross{};
  int32_t Cross_count = 0;
  std::array<TimeRow, kMaxTimes> Time{};
  int32_t Time_count = 0;
  std::array<SwitchRow, kMaxSwitches> Switch{};
  int32_t Switch_count = 0;

  // Built by the set-up.
  std::array<RouteEvent, kMaxRouteEvents> events{};
  int32_t event_count = 0;
  std::array<MoveMenuItem, kMaxStations> move_menu{};
  int32_t move_menu_count = 0;
};

}  // namespace cabsim
