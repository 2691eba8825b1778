// The train parameter record: every value of a train definition file, one
// record per run. Fields are named after the file's keys without brackets;
// multi-line keys are arrays (line n at index n - 1); lists are fixed-capacity
// tables with a count.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/cab_panel.h"
#include "data/fixed_point.h"

namespace cabsim {

// Table capacities. A list longer than its table is an error of the train file.
constexpr size_t kMaxBrakeSteps =
    64;  ///< lines of `[Sound_BK]`, `[Sound_BR]` (`[Sound_BA]` one more)
constexpr size_t kMaxPowerNotches = 64;     ///< lines of `[Sound_PA]`, `[Sound_PR]`
constexpr size_t kMaxSwitchSounds = 501;    ///< `[SwitchSound]` rows
constexpr size_t kMaxEngineRates = 10;      ///< `[EngineRate]` rows, one per gear
constexpr size_t kMaxNotches = 11;          ///< `[Notch]` rows, row n (from 1) is power notch n
constexpr size_t kMaxNotchGroupStarts = 9;  ///< recorded first rows of power modes 1 to 9
constexpr size_t kMaxCurrentP = 100;        ///< `[CurrentP]` rows after its header
constexpr size_t kMaxBrakeCurr = 10;        ///< `[BrakeCurr]` entries, entry k for brake step -k
constexpr size_t kMaxCurrentB = 100;        ///< `[CurrentB]` rows
constexpr size_t kMaxEngineGears = 11;      ///< `[Engine]` rows, one per gear
constexpr size_t kMaxPowerModes = 10;       ///< `[PowerMode]` rows
constexpr size_t kMaxEngineSound1 = 100;    ///< `[EngineSound1]` rows
constexpr size_t kMaxEngineSound3 = 100;    ///< `[EngineSound3]` rows
constexpr size_t kMaxDriveSounds = 100;     ///< `[DriveSound]` files

/// `[SwitchSound]` row: the sound a point makes at speeds below `speed`.
struct SwitchSoundRow {
  int32_t sound = 0;
  int32_t speed = 0;  ///< km/h
  int32_t kind = 0;
};

/// `[EngineRate]` row: engine speed = offset + |speed| x factor in that gear.
struct EngineRateRow {
  int32_t offset = 0;
  long double factor = 0;
};

/// `[Notch]` row: the acceleration curve of one power notch.
struct NotchRow {
  long double a0 = 0;
  long double a1 = 0;
  int32_t V1 = 0;
  int32_t V2 = 0;
  long double D = 0;
  int32_t group = 0;  ///< power mode number
};

/// `[CurrentP]` header: the current-limit traction model's constants.
struct CurrentLimitHeader {
  int32_t limit_current = 0;             ///< A
  long double limit_acceleration = 0;    ///< km/h/s at the limit current
  long double constant_force_speed = 0;  ///< km/h
};

/// `[CurrentP]` row, values in file order.
struct CurrentPRow {
  int32_t c0 = 0;
  long double c1 = 0;
  long double c2 = 0;
  int32_t c3 = 0;
};

/// `[CurrentB]` row: electric brake current against speed.
struct CurrentBRow {
  long double r0 = 0;
  long double r1 = 0;  ///< km/h
  int32_t r2 = 0;
};

/// `[Engine]` row: one gear of a diesel train.
struct EngineRow {
  int32_t e0 = 0, e1 = 0, e2 = 0;      ///< km/h
  long double e3 = 0, e4 = 0, e5 = 0;  ///< accelerations
};

/// `[PowerMode]` row: the two names of a power mode.
struct PowerModeRow {
  std::string first;
  std::string second;
};

/// `[EngineSound1]` row: a motor sound and how it follows speed.
struct MotorSoundData {
  std::string file;
  int32_t mode = 0;                    ///< 0 while powering, 1 while braking, 2 always
  long double s0 = 0, s1 = 0, s2 = 0;  ///< speed breakpoints
  long double p0 = 0, p1 = 0, p2 = 0;  ///< frequency factors
  long double q0 = 0, q1 = 0, q2 = 0;  ///< levels
};

/// `[EngineSound3]` row: a gear or brake sound of a diesel train.
struct HensokuSoundData {
  std::string file;
  int32_t kind = 0;
  int32_t gear = 0;
  long double s0 = 0, s1 = 0;
  long double p0 = 0, p1 = 0;
  long double q0 = 0, q1 = 0;
};

struct TrainParams {
  /// The train directory prefix every file named in the train file is opened
  /// with (already prepended to the file fields below).
  std::string train_dir_prefix;

  int32_t Handle = 0;
  int32_t BrakeType = 0;
  int32_t BrakeType2 = 0;
  int32_t Brake = 0;
  int32_t Power = 0;
  int32_t NotchBack = 0;
  int32_t Hold = 0;
  int32_t Const = 0;
  int32_t Back = 0;
  std::array<Fixed, 3> BrakeRate{};
  long double BrakeRate2 = 0;  ///< read as fixed-point, kept as a real
  int32_t PowerDelay = 0;
  int32_t BrakeDelay = 0;
  int32_t EBrakeDelay = 0;
  int32_t PowerJerk = 0;
  int32_t SAPDelay = 0;
  int32_t BrakeUp = 0;
  int32_t BrakeDown = 0;
  int32_t SAPUp = 0;
  int32_t SAPDown = 0;
  int32_t EBrakeUp = 0;
  int32_t EBrakeDown = 0;
  int32_t EBrakeCurr = 0;
  int32_t BPReturn = 0;
  int32_t EBPress = 0;
  int32_t SAPPress = 0;
  int32_t HighAirPress = 0;
  int32_t LowAirPress = 0;
  int32_t Engine_Type = 0;  ///< 1 electric, 0 diesel
  int32_t Power_Type = 0;   ///< 1 notch curves, 0 current limit
  int32_t Brake_Type = 0;   ///< 1 rate-driven, 0 table-driven electric brake
  int32_t DoorType = 0;
  Fixed Mt, Tt, Tct;
  int32_t Cars = 0;
  std::array<std::string, 2> StopLine{};  ///< stop marker image, `stopline` picture
  Fixed Tons;
  int32_t EB = 0;
  int32_t MaxSpeed = 0;
  int32_t Lose_elec = 0;
  int32_t ELBR = 0;
  int32_t Mc = 0;
  int32_t ATS_Type = 0;
  int32_t ATS_Alert = 0;
  int32_t ATS_Time = 0;
  int32_t ATS_Cnt = 0;

  // Counted blocks: entry n (from 1) at index n - 1; the count is the number of
  // lines the block read.
  std::array<int32_t, kMaxBrakeSteps> Sound_BK{};
  int32_t Sound_BK_count = 0;
  std::array<int32_t, kMaxBrakeSteps> Sound_BR{};
  int32_t Sound_BR_count = 0;
  std::array<int32_t, kMaxBrakeSteps + 1> Sound_BA{};
  int32_t Sound_BA_count = 0;
  std::array<int32_t, kMaxPowerNotches> Sound_PA{};
  int32_t Sound_PA_count = 0;
  std::array<int32_t, kMaxPowerNotches> Sound_PR{};
  int32_t Sound_PR_count = 0;

  int32_t Sound_EB = 0;
  int32_t Sound_Apply = 0;
  int32_t Sound_Ats1 = 0;
  int32_t Sound_Ats2 = 0;
  int32_t Sound_Atc = 0;
  int32_t Sound_Horn = 0;
  int32_t Sound_Horn2 = 0;
  int32_t Sound_Horn3 = 0;
  int32_t Sound_DoorOpen = 0;
  int32_t Sound_DoorClose = 0;
  int32_t Sound_EBring = 0;
  int32_t Sound_squeak = 0;
  int32_t CP_Start = 0;
  int32_t CP_Cnt = 0;
  int32_t CP_End = 0;
  int32_t Stop = 0;
  std::array<int32_t, 2> Buzzer{};
  int32_t DepSign = 0;
  int32_t ATS_Warn = 0;

  std::array<SwitchSoundRow, kMaxSwitchSounds> SwitchSound{};
  int32_t SwitchSound_count = 0;
  /// The rules read this table without a count; `EngineRate_filled` is one past
  /// the highest entry any `[EngineRate]` list wrote.
  std::array<EngineRateRow, kMaxEngineRates> EngineRate{};
  int32_t EngineRate_filled = 0;

  int32_t Gear_Type = 0;  ///< 0 automatic ("AT"), 1 manual ("MT")

  std::array<NotchRow, kMaxNotches> Notch{};
  int32_t Notch_count = 0;
  /// Recorded start k (from 0) is the first `[Notch]` row of power mode k + 1;
  /// mode 0 starts at row 0.
  std::array<int32_t, kMaxNotchGroupStarts> notch_group_starts{};
  int32_t notch_group_count = 0;

  CurrentLimitHeader CurrentPHeader;
  std::array<CurrentPRow, kMaxCurrentP> CurrentP{};
  int32_t CurrentP_count = 0;
  /// Entry k (from 0) is the brake current of brake step -k; no count is kept,
  /// `BrakeCurr_filled` is one past the highest entry written.
  std::array<int32_t, kMaxBrakeCurr> BrakeCurr{};
  int32_t BrakeCurr_filled = 0;
  std::array<CurrentBRow, kMaxCurrentB> CurrentB{};
  int32_t CurrentB_count = 0;
  std::array<EngineRow, kMaxEngineGears> Engine{};
  int32_t Engine_count = 0;
  std::array<PowerModeRow, kMaxPowerModes> PowerMode{};
  int32_t PowerMode_count = 0;
  std::array<MotorSoundData, kMaxEngineSound1> EngineSound1{};
  int32_t EngineSound1_count = 0;
  std::array<int32_t, 4> EngineSound2{};  ///< idle, idle with doors open, start, stop
  std::array<HensokuSoundData, kMaxEngineSound3> EngineSound3{};
  int32_t EngineSound3_count = 0;
  std::array<std::string, kMaxDriveSounds> DriveSound{};
  int32_t DriveSound_count = 0;

  CabPanelDefinition panel;
};

}  // namespace cabsim
