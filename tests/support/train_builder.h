// Train files for tests: a complete electric train whose keys a test may
// replace, written as a real Shift-JIS file and read by the train file reader.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "data/cabworks_text.h"
#include "data/train_file.h"
#include "data/train_params.h"
#include "support/test_files.h"

namespace cabsim::test {

/// Sound numbers of the test train (channels the tests bind).
constexpr int kSoundEB = 10;
constexpr int kSoundCPStart = 11;
constexpr int kSoundCPCnt = 12;
constexpr int kSoundCPEnd = 13;
constexpr int kSoundATSWarn = 14;
constexpr int kSoundEBring = 15;

/// The keys of a train file in file order; each value is the lines after the
/// key (for lists, ending with the "#" line).
class TrainFileText {
 public:
  TrainFileText() {
    set("[Handle]", "0");
    set("[BrakeType]", "1");
    set("[BrakeType2]", "1");
    set("[Brake]", "8");
    set("[Power]", "4");
    set("[NotchBack]", "1");
    set("[Hold]", "0");
    set("[Const]", "0");
    set("[Back]", "1");
    set("[BrakeRate]", "4.0\n3.5\n10");
    set("[BrakeRate2]", "0.02");
    set("[PowerDelay]", "5");
    set("[BrakeDelay]", "10");
    set("[EBrakeDelay]", "3");
    set("[PowerJerk]", "5");
    set("[SAPDelay]", "4");
    set("[BrakeUp]", "300");
    set("[BrakeDown]", "240");
    set("[SAPUp]", "330");
    set("[SAPDown]", "270");
    set("[EBrakeUp]", "400");
    set("[EBrakeDown]", "300");
    set("[EBrakeCurr]", "700");
    set("[BPReturn]", "150");
    set("[EBPress]", "440");
    set("[SAPPress]", "420");
    set("[HighAirPress]", "880");
    set("[LowAirPress]", "780");
    set("[Engine_Type]", "1");
    set("[Power_Type]", "1");
    set("[Brake_Type]", "1");
    set("[Mt]", "120");
    set("[Tt]", "80");
    set("[Tct]", "60");
    set("[Cars]", "8");
    set("[Tons]", "260");
    set("[MaxSpeed]", "120");
    set("[Lose_elec]", "8");
    set("[ELBR]", "100");
    set("[Sound_EB]", std::to_string(kSoundEB));
    set("[Sound_EBring]", std::to_string(kSoundEBring));
    set("[CP_Start]", std::to_string(kSoundCPStart));
    set("[CP_Cnt]", std::to_string(kSoundCPCnt));
    set("[CP_End]", std::to_string(kSoundCPEnd));
    set("[ATS_Warn]", std::to_string(kSoundATSWarn));
    // Four notches of mode 0: a0, a1, V1, V2, D, group.
    set("[Notch]",
        "3.0\n2.5\n40\n80\n0.98\n0\n"
        "3.0\n2.5\n40\n80\n0.98\n0\n"
        "3.0\n2.5\n40\n80\n0.98\n0\n"
        "3.0\n2.5\n40\n80\n0.98\n0\n#");
    set("[PowerMode]", "P,M\n#");
  }

  /// Replaces the value of `key`, or adds the key at the end.
  TrainFileText& set(const std::string& key, const std::string& lines) {
    for (auto& [k, v] : keys_)
      if (k == key) {
        v = lines;
        return *this;
      }
    keys_.emplace_back(key, lines);
    return *this;
  }

  /// Leaves `key` out of the file.
  TrainFileText& remove(const std::string& key) {
    std::erase_if(keys_, [&](const auto& kv) { return kv.first == key; });
    return *this;
  }

  std::string text() const {
    std::string out = "- 試験用の車両\n";
    for (const auto& [k, v] : keys_) out += k + "\n" + v + "\n";
    return out;
  }

  /// Writes the file in Shift-JIS and reads it as the program does, with the
  /// brake step check of the run set-up.
  TrainParams read() const {
    TempDir dir;
    auto path = dir.write_sjis("train_test.dat", text());
    TrainParams train = read_train_file(path, "");
    check_brake_steps(train);
    return train;
  }

 private:
  std::vector<std::pair<std::string, std::string>> keys_;
};

/// Handle and reverser texts as a cabworks.dat would give them.
inline CabworksText test_texts() {
  CabworksText t;
  t.Forward = "前";
  t.Neutral = "中";
  t.Reverse = "後";
  t.Neut = "ブレーキ緩め";
  t.Neut2 = "切";
  t.Apply = "重なり込め";
  t.Hold = "重なり";
  t.Maintain = "緩め込め";
  t.Hold2 = "抑速";
  t.EB = "非常";
  t.Const = "定速";
  t.Gears = {"中立", "1段", "2段", "3段", "4段", "5段"};
  return t;
}

}  // namespace cabsim::test
