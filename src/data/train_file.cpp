// The key table of the train file, in the reader's fixed order, with its
// section labels, counted blocks, lists and the two type checks.
#include "data/train_file.h"

#include <vector>

#include "data/definition_error.h"
#include "data/definition_reader.h"
#include "data/value_parse.h"

namespace cabsim {
namespace {

using R = DefinitionReader;

/// Builds the train file's key table over one record.
class TrainKeyTable {
 public:
  TrainKeyTable(TrainParams& train, std::string_view prefix) : t_(train), prefix_(prefix) {}

  std::vector<KeyEntry> build();

 private:
  void add(std::string_view key, std::function<void(R&)> read, std::string_view label = {}) {
    table_.push_back({key, label, std::move(read)});
  }
  void integer(std::string_view key, int32_t& field) {
    add(key, [&field](R& r) { field = r.read_integer(); });
  }
  void fixed(std::string_view key, Fixed& field) {
    add(key, [&field](R& r) { field = r.read_fixed(); });
  }
  template <size_t N>
  void integers(std::string_view key, std::array<int32_t, N>& fields) {
    add(key, [&fields](R& r) {
      for (auto& f : fields) f = r.read_integer();
    });
  }
  /// A block of as many lines as `count` says when the key is read.
  template <size_t N>
  void counted(std::string_view key, std::array<int32_t, N>& fields, int32_t& read_count,
               const int32_t& count, int32_t extra) {
    add(key, [&fields, &read_count, &count, extra](R& r) {
      int64_t lines = int64_t{count} + extra;
      if (lines < 0) lines = 0;
      if (static_cast<uint64_t>(lines) > N) throw ReadFailure{};
      for (int64_t i = 0; i < lines; ++i) fields[static_cast<size_t>(i)] = r.read_integer();
      read_count = static_cast<int32_t>(lines);
    });
  }
  std::string file(const std::string& name) const {
    return name.empty() ? std::string() : prefix_ + name;
  }
  std::string read_file(R& r) const { return file(r.read_text()); }

  void basic_keys();
  void list_keys();
  void panel_keys();
  void lamp(std::string_view key, Lamp& lamp, std::string_view label = {});
  void meter(std::string_view key, Meter& meter, std::string_view label, int extra);
  void bar(std::string_view key, Meter& meter, std::string_view label);
  void indicator(std::string_view key, IndicatorImage& image);

  TrainParams& t_;
  std::string prefix_;
  std::vector<KeyEntry> table_;
};

std::vector<KeyEntry> TrainKeyTable::build() {
  basic_keys();
  list_keys();
  panel_keys();
  return std::move(table_);
}

void TrainKeyTable::basic_keys() {
  integer("[Handle]", t_.Handle);
  integer("[BrakeType]", t_.BrakeType);
  integer("[BrakeType2]", t_.BrakeType2);
  integer("[Brake]", t_.Brake);
  integer("[Power]", t_.Power);
  integer("[NotchBack]", t_.NotchBack);
  integer("[Hold]", t_.Hold);
  integer("[Const]", t_.Const);
  integer("[Back]", t_.Back);
  add("[BrakeRate]", [this](R& r) {
    for (auto& rate : t_.BrakeRate) rate = r.read_fixed();
  });
  add("[BrakeRate2]", [this](R& r) { t_.BrakeRate2 = r.read_fixed().real(); });
  integer("[PowerDelay]", t_.PowerDelay);
  integer("[BrakeDelay]", t_.BrakeDelay);
  integer("[EBrakeDelay]", t_.EBrakeDelay);
  integer("[PowerJerk]", t_.PowerJerk);
  integer("[SAPDelay]", t_.SAPDelay);
  integer("[BrakeUp]", t_.BrakeUp);
  integer("[BrakeDown]", t_.BrakeDown);
  integer("[SAPUp]", t_.SAPUp);
  integer("[SAPDown]", t_.SAPDown);
  integer("[EBrakeUp]", t_.EBrakeUp);
  integer("[EBrakeDown]", t_.EBrakeDown);
  integer("[EBrakeCurr]", t_.EBrakeCurr);
  integer("[BPReturn]", t_.BPReturn);
  integer("[EBPress]", t_.EBPress);
  integer("[SAPPress]", t_.SAPPress);
  integer("[HighAirPress]", t_.HighAirPress);
  integer("[LowAirPress]", t_.LowAirPress);
  integer("[Engine_Type]", t_.Engine_Type);
  integer("[Power_Type]", t_.Power_Type);
  integer("[Brake_Type]", t_.Brake_Type);
  integer("[DoorType]", t_.DoorType);
  fixed("[Mt]", t_.Mt);
  fixed("[Tt]", t_.Tt);
  fixed("[Tct]", t_.Tct);
  integer("[Cars]", t_.Cars);
  add("[StopLine]", [this](R& r) {
    for (auto& name : t_.StopLine) name = read_file(r);
  });
  fixed("[Tons]", t_.Tons);
  integer("[EB]", t_.EB);
  integer("[MaxSpeed]", t_.MaxSpeed);
  integer("[Lose_elec]", t_.Lose_elec);
  integer("[ELBR]", t_.ELBR);
  integer("[Mc]", t_.Mc);
  integer("[ATS_Type]", t_.ATS_Type);
  integer("[ATS_Alert]", t_.ATS_Alert);
  integer("[ATS_Time]", t_.ATS_Time);
  integer("[ATS_Cnt]", t_.ATS_Cnt);
  counted("[Sound_BK]", t_.Sound_BK, t_.Sound_BK_count, t_.Brake, 0);
  counted("[Sound_BR]", t_.Sound_BR, t_.Sound_BR_count, t_.Brake, 0);
  counted("[Sound_BA]", t_.Sound_BA, t_.Sound_BA_count, t_.Brake, 1);
  counted("[Sound_PA]", t_.Sound_PA, t_.Sound_PA_count, t_.Power, 0);
  counted("[Sound_PR]", t_.Sound_PR, t_.Sound_PR_count, t_.Power, 0);
  integer("[Sound_EB]", t_.Sound_EB);
  integer("[Sound_Apply]", t_.Sound_Apply);
  integer("[Sound_Ats1]", t_.Sound_Ats1);
  integer("[Sound_Ats2]", t_.Sound_Ats2);
  integer("[Sound_Atc]", t_.Sound_Atc);
  integer("[Sound_Horn]", t_.Sound_Horn);
  integer("[Sound_Horn2]", t_.Sound_Horn2);
  integer("[Sound_Horn3]", t_.Sound_Horn3);
  integer("[Sound_DoorOpen]", t_.Sound_DoorOpen);
  integer("[Sound_DoorClose]", t_.Sound_DoorClose);
  integer("[Sound_EBring]", t_.Sound_EBring);
  integer("[Sound_squeak]", t_.Sound_squeak);
  integer("[CP_Start]", t_.CP_Start);
  integer("[CP_Cnt]", t_.CP_Cnt);
  integer("[CP_End]", t_.CP_End);
  integer("[Stop]", t_.Stop);
  integers("[Buzzer]", t_.Buzzer);
  integer("[DepSign]", t_.DepSign);
  integer("[ATS_Warn]", t_.ATS_Warn);
  add("[SwitchSound]", [this](R& r) {
    t_.SwitchSound_count = 0;
    while (r.next_list_entry()) {
      const std::string& line = r.current();
      SwitchSoundRow row{csv_integer(line, 1), csv_integer(line, 2), csv_integer(line, 3)};
      append_entry(t_.SwitchSound, t_.SwitchSound_count, kMaxSwitchSounds, row);
    }
  });
  add("[EngineRate]", [this](R& r) {
    int32_t n = 0;
    while (r.next_list_entry()) {
      const std::string& line = r.current();
      EngineRateRow row{csv_integer(line, 1), csv_real(line, 2)};
      append_entry(t_.EngineRate, n, kMaxEngineRates, row);
      if (n > t_.EngineRate_filled) t_.EngineRate_filled = n;
    }
  });
  add("[Gear_Type]", [this](R& r) {
    const std::string& text = r.read_text();
    if (text == "AT") t_.Gear_Type = 0;
    if (text == "MT") t_.Gear_Type = 1;
  });
}

void TrainKeyTable::list_keys() {
  add(
      "[Notch]",
      [this](R& r) {
        t_.Notch_count = 0;
        t_.notch_group_count = 0;
        while (r.next_list_entry()) {
          NotchRow row;
          row.a0 = to_real(r.current());
          row.a1 = r.read_real();
          row.V1 = r.read_integer();
          row.V2 = r.read_integer();
          row.D = r.read_real();
          row.group = r.read_integer();
          int32_t index = t_.Notch_count;
          append_entry(t_.Notch, t_.Notch_count, kMaxNotches, row);
          // A row whose mode differs from the modes recorded so far opens the next one.
          if (row.group != t_.notch_group_count)
            append_entry(t_.notch_group_starts, t_.notch_group_count, kMaxNotchGroupStarts, index);
        }
        if (t_.Engine_Type == 0) throw DefinitionError(std::string(kDieselWithNotch));
      },
      "[Notch]");
  add(
      "[CurrentP]",
      [this](R& r) {
        t_.CurrentPHeader.limit_current = r.read_integer();
        t_.CurrentPHeader.limit_acceleration = r.read_real();
        t_.CurrentPHeader.constant_force_speed = r.read_real();
        t_.CurrentP_count = 0;
        while (r.next_list_entry()) {
          const std::string& line = r.current();
          CurrentPRow row{csv_integer(line, 1), csv_real(line, 2), csv_real(line, 3),
                          csv_integer(line, 4)};
          append_entry(t_.CurrentP, t_.CurrentP_count, kMaxCurrentP, row);
        }
      },
      "[CurrentP]");
  add(
      "[BrakeCurr]",
      [this](R& r) {
        int32_t n = 0;
        while (r.next_list_entry()) {
          append_entry(t_.BrakeCurr, n, kMaxBrakeCurr, to_integer(r.current()));
          if (n > t_.BrakeCurr_filled) t_.BrakeCurr_filled = n;
        }
      },
      "[BrakeCurr]");
  add(
      "[CurrentB]",
      [this](R& r) {
        t_.CurrentB_count = 0;
        while (r.next_list_entry()) {
          const std::string& line = r.current();
          CurrentBRow row{csv_real(line, 1), csv_real(line, 2), csv_integer(line, 3)};
          append_entry(t_.CurrentB, t_.CurrentB_count, kMaxCurrentB, row);
        }
      },
      "[CurrentB]");
  add(
      "[Engine]",
      [this](R& r) {
        t_.Engine_count = 0;
        while (r.next_list_entry()) {
          EngineRow row;
          row.e0 = to_integer(r.current());
          row.e1 = r.read_integer();
          row.e2 = r.read_integer();
          row.e3 = r.read_real();
          row.e4 = r.read_real();
          row.e5 = r.read_real();
          append_entry(t_.Engine, t_.Engine_count, kMaxEngineGears, row);
        }
        if (t_.Engine_Type == 1) throw DefinitionError(std::string(kElectricWithEngine));
      },
      "[Engine]");
  add(
      "[PowerMode]",
      [this](R& r) {
        t_.PowerMode_count = 0;
        while (r.next_list_entry()) {
          const std::string& line = r.current();
          append_entry(t_.PowerMode, t_.PowerMode_count, kMaxPowerModes,
                       PowerModeRow{CsvField(line, 1), CsvField(line, 2)});
        }
      },
      "[PowerMode]");
  add(
      "[EngineSound1]",
      [this](R& r) {
        t_.EngineSound1_count = 0;
        while (r.next_list_entry()) {
          MotorSoundData row;
          row.file = file(r.current());
          row.mode = r.read_integer();
          for (long double* v :
               {&row.s0, &row.s1, &row.s2, &row.p0, &row.p1, &row.p2, &row.q0, &row.q1, &row.q2})
            *v = r.read_real();
          append_entry(t_.EngineSound1, t_.EngineSound1_count, kMaxEngineSound1, std::move(row));
        }
      },
      "[EngineSound1]");
  integers("[EngineSound2]", t_.EngineSound2);
  add(
      "[EngineSound3]",
      [this](R& r) {
        t_.EngineSound3_count = 0;
        while (r.next_list_entry()) {
          HensokuSoundData row;
          row.file = file(r.current());
          row.kind = r.read_integer();
          row.gear = r.read_integer();
          for (long double* v : {&row.s0, &row.s1, &row.p0, &row.p1, &row.q0, &row.q1})
            *v = r.read_real();
          append_entry(t_.EngineSound3, t_.EngineSound3_count, kMaxEngineSound3, std::move(row));
        }
      },
      "[EngineSound3]");
  add(
      "[DriveSound]",
      [this](R& r) {
        t_.DriveSound_count = 0;
        while (r.next_list_entry())
          append_entry(t_.DriveSound, t_.DriveSound_count, kMaxDriveSounds, file(r.current()));
      },
      "[DriveSound]");
}

void TrainKeyTable::lamp(std::string_view key, Lamp& lamp, std::string_view label) {
  add(
      key,
      [this, &lamp](R& r) {
        lamp.file = read_file(r);
        lamp.x = r.read_integer();
        lamp.y = r.read_integer();
      },
      label);
}

/// A round gauge; `extra` 1 reads the speedometer's low-speed scale, 2 the
/// ammeter's mode.
void TrainKeyTable::meter(std::string_view key, Meter& meter, std::string_view label, int extra) {
  add(
      key,
      [this, &meter, extra](R& r) {
        meter.file = read_file(r);
        meter.x = r.read_integer();
        meter.y = r.read_integer();
        meter.reserved1 = r.read_integer();
        meter.reserved2 = r.read_integer();
        meter.zero_angle = r.read_integer();
        meter.scale = r.read_real();
        if (extra == 1) meter.low_speed_scale = r.read_real();
        if (extra == 2) meter.mode = r.read_integer();
      },
      label);
}

void TrainKeyTable::bar(std::string_view key, Meter& meter, std::string_view label) {
  add(
      key,
      [this, &meter](R& r) {
        meter.file = read_file(r);
        meter.x = r.read_integer();
        meter.zero_angle = r.read_integer();  // base y
        meter.scale = r.read_real();
      },
      label);
}

void TrainKeyTable::indicator(std::string_view key, IndicatorImage& image) {
  add(
      key,
      [this, &image](R& r) {
        image.x = r.read_integer();
        image.y = r.read_integer();
        image.pattern_width = r.read_integer();
        image.pattern_height = r.read_integer();
        image.file = read_file(r);
      },
      key);
}

void TrainKeyTable::panel_keys() {
  CabPanelDefinition& p = t_.panel;
  add(
      "[Clock]",
      [&p](R& r) {
        p.Clock.x = r.read_integer();
        p.Clock.y = r.read_integer();
        p.Clock.hand_length = r.read_integer();
      },
      "- アナログ時計");
  lamp("[Panel]", p.Panel, "- 運転台パネル");
  lamp("[Panel2]", p.Panel2);
  lamp("[Lamp_Door]", p.Lamp_Door, "- 運転台パネル2");
  lamp("[Lamp_Power]", p.Lamp_Power);
  lamp("[Lamp_EB]", p.Lamp_EB);
  lamp("[Lamp_Gen]", p.Lamp_Gen);
  lamp("[Lamp_Air]", p.Lamp_Air);
  lamp("[Lamp_Fin]", p.Lamp_Fin);
  lamp("[Lamp_Ele]", p.Lamp_Ele);
  lamp("[Lamp_Ats1]", p.Lamp_Ats1);
  lamp("[Lamp_Ats2]", p.Lamp_Ats2);
  lamp("[Lamp_ATSP1]", p.Lamp_ATSP1);
  lamp("[Lamp_ATSP2]", p.Lamp_ATSP2);
  lamp("[Lamp_G]", p.Lamp_G, "- 運転台パネル3");
  lamp("[Lamp_YG]", p.Lamp_YG);
  lamp("[Lamp_Y]", p.Lamp_Y);
  lamp("[Lamp_YY]", p.Lamp_YY);
  lamp("[Lamp_R]", p.Lamp_R);
  lamp("[Lamp_Fwd]", p.Lamp_Fwd);
  lamp("[Lamp_Back]", p.Lamp_Back);
  lamp("[Lamp_Const]", p.Lamp_Const);
  lamp("[Lamp_Stop]", p.Lamp_Stop);
  meter("[Needle_Speed]", p.Needle_Speed, "- 速度計", 1);
  meter("[Needle_BC]", p.Needle_BC, "- BC圧力計", 0);
  bar("[Needle_BC_L]", p.Needle_BC_L, "- BC圧力計（リニア）");
  meter("[Needle_SAP]", p.Needle_SAP, "- SAP圧力計", 0);
  meter("[Needle_ER]", p.Needle_ER, "- ER圧力計", 0);
  meter("[Needle_BP]", p.Needle_BP, "- BP圧力計", 0);
  meter("[Needle_MR]", p.Needle_MR, "- MR圧力計", 0);
  bar("[Needle_MR_L]", p.Needle_MR_L, "- MR圧力計（リニア）");
  meter("[Needle_V]", p.Needle_V, "- 電圧計", 0);
  meter("[Needle_I]", p.Needle_I, "- 電流計", 2);
  add(
      "[Lamp_signal]",
      [this, &p](R& r) {
        p.Lamp_signal.x = r.read_integer();
        p.Lamp_signal.y = r.read_integer();
        p.Lamp_signal.pattern_width = r.read_integer();
        p.Lamp_signal.pattern_height = r.read_integer();
        p.Lamp_signal.file = read_file(r);
        p.Lamp_signal_count = 0;
        while (r.next_list_entry()) {
          // An empty line takes a pattern but leaves its speed as it was.
          if (p.Lamp_signal_count >= static_cast<int32_t>(kMaxCabSignalSpeeds)) throw ReadFailure{};
          if (!r.current().empty())
            p.Lamp_signal_speeds[static_cast<size_t>(p.Lamp_signal_count)] =
                to_integer(r.current());
          ++p.Lamp_signal_count;
        }
      },
      "[Lamp_signal]");
  indicator("[NotchImageP]", p.NotchImageP);
  indicator("[NotchImageB]", p.NotchImageB);
  indicator("[NotchImageP2]", p.NotchImageP2);
  indicator("[NotchImageB2]", p.NotchImageB2);
  indicator("[GearImageList]", p.GearImageList);
  indicator("[GearImageList2]", p.GearImageList2);
  indicator("[Digi_Speed]", p.Digi_Speed);
  add(
      "[Others]",
      [this, &p](R& r) {
        p.Others_count = 0;
        while (r.next_list_entry()) {
          Lamp other;
          other.file = file(r.current());
          other.x = r.read_integer();
          other.y = r.read_integer();
          append_entry(p.Others, p.Others_count, kMaxOtherPictures, std::move(other));
        }
      },
      "[Others]");
}

TrainParams read_train(DefinitionReader reader, std::string_view train_dir_prefix) {
  TrainParams train;
  train.train_dir_prefix = std::string(train_dir_prefix);
  TrainKeyTable keys(train, train_dir_prefix);
  std::vector<KeyEntry> table = keys.build();
  try {
    if (read_keyed_file(reader, table, kTrainPassLabel) == 0) {
      // Not one key of a train file: not a train file at all, told as a
      // missing one is.
      throw DefinitionError(std::string(kTrainFileError));
    }
  } catch (const ReadFailure&) {
    throw DefinitionError(std::string(kTrainFileError) + reader.label);
  }
  return train;
}

}  // namespace

TrainParams read_train_bytes(std::string bytes, std::string_view train_dir_prefix) {
  return read_train(DefinitionReader(std::move(bytes)), train_dir_prefix);
}

TrainParams read_train_file(const std::filesystem::path& path, std::string_view train_dir_prefix) {
  DefinitionReader reader("");
  try {
    reader = DefinitionReader::open(path);
  } catch (const ReadFailure&) {
    // A missing train file gets the message of a malformed one; no section
    // has been examined yet, so no label follows it.
    throw DefinitionError(std::string(kTrainFileError));
  }
  return read_train(std::move(reader), train_dir_prefix);
}

void check_brake_steps(TrainParams& train) {
  if (train.BrakeType == 0) {
    train.Brake = 4;
  } else if (train.Brake < 3) {
    throw DefinitionError(std::string(kTooFewBrakeSteps));
  }
}

}  // namespace cabsim
