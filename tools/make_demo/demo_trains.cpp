// The trains of the demo line: a 10-car suburban EMU (the default), the same
// EMU signalled in the cab (ATC), a diesel railcar and a resistance-controlled
// EMU with ATS-P.
#include "demo_trains.h"

#include <string>

namespace demo {

namespace {

/// The `[DriveSound]` list being built: a file's position is its sound number.
class DriveSounds {
 public:
  explicit DriveSounds(SoundList& all) : all_(all) {
    for (int band = 0; band <= 120; band += 10) {
      char name[64];
      std::snprintf(name, sizeof name, "sound\\train\\run%03d.wav", band);
      add(name, SoundKind::running, band);  // channels 0..12 follow the speed bands
    }
  }
  int add(const std::string& file, SoundKind kind, double param = 0) {
    std::string name = all_.add(file, kind, param);
    for (size_t i = 0; i < files_.size(); ++i)
      if (files_[i] == name) return int(i);
    files_.push_back(name);
    return int(files_.size()) - 1;
  }
  const std::vector<std::string>& files() const { return files_; }

 private:
  SoundList& all_;
  std::vector<std::string> files_;
};

void key(TextFile& t, const char* k, int v) {
  t.line(k).row(v);
}

void repeat(TextFile& t, const char* k, int lines, int value) {
  t.line(k);
  for (int i = 0; i < lines; ++i) t.row(value);
}

/// The handle, warning and door sounds every train has.
void common_sounds(TextFile& t, DriveSounds& d, int brake, int power) {
  const std::string s = "sound\\train\\";
  int apply = d.add(s + "brake_apply.wav", SoundKind::brake_apply);
  int release = d.add(s + "brake_release.wav", SoundKind::brake_release);
  int handle = d.add(s + "handle.wav", SoundKind::handle);
  t.line("- ハンドル音");
  repeat(t, "[Sound_BK]", brake, release);
  repeat(t, "[Sound_BR]", brake, release);
  repeat(t, "[Sound_BA]", brake + 1, handle);
  repeat(t, "[Sound_PA]", power, handle);
  repeat(t, "[Sound_PR]", power, handle);
  key(t, "[Sound_EB]", d.add(s + "emergency.wav", SoundKind::emergency));
  key(t, "[Sound_Apply]", apply);
  key(t, "[Sound_Ats1]", d.add(s + "ats_bell.wav", SoundKind::ats_bell));
  key(t, "[Sound_Ats2]", d.add(s + "ats_chime.wav", SoundKind::ats_chime));
  key(t, "[Sound_Atc]", d.add(s + "cab_signal_bell.wav", SoundKind::cab_bell));
  int horn = d.add(s + "horn_air.wav", SoundKind::horn, 370);
  int horn2 = d.add(s + "horn_electric.wav", SoundKind::horn, 660);
  key(t, "[Sound_Horn]", horn);
  key(t, "[Sound_Horn2]", horn2);
  key(t, "[Sound_Horn3]", horn2);
  key(t, "[Sound_DoorOpen]", d.add(s + "door_open.wav", SoundKind::door_open));
  key(t, "[Sound_DoorClose]", d.add(s + "door_close.wav", SoundKind::door_close));
  key(t, "[Sound_EBring]", d.add(s + "vigilance.wav", SoundKind::vigilance));
  key(t, "[Sound_squeak]", d.add(s + "squeal.wav", SoundKind::squeal));
  key(t, "[CP_Start]", d.add(s + "compressor_start.wav", SoundKind::compressor_start));
  key(t, "[CP_Cnt]", d.add(s + "compressor_run.wav", SoundKind::compressor_run));
  key(t, "[CP_End]", d.add(s + "compressor_stop.wav", SoundKind::compressor_stop));
  key(t, "[Stop]", d.add(s + "stop_warning.wav", SoundKind::stop_warning));
  t.line("[Buzzer]")
      .row(d.add(s + "buzzer1.wav", SoundKind::buzzer, 440))
      .row(d.add(s + "buzzer2.wav", SoundKind::buzzer, 700));
  key(t, "[DepSign]", d.add(s + "departure_signal.wav", SoundKind::departure_signal));
  key(t, "[ATS_Warn]", d.add(s + "ats_warning.wav", SoundKind::ats_warning));
  int slow = d.add(s + "switch_slow.wav", SoundKind::switch_click, 2);
  int fast = d.add(s + "switch_fast.wav", SoundKind::switch_click, 4);
  t.line("[SwitchSound]").row(slow, 40, 0).row(fast, 200, 0).row(slow, 200, 1).line("#");
}

void drive_sounds(TextFile& t, const DriveSounds& d) {
  t.line("[DriveSound]");
  for (const std::string& f : d.files()) t.line(f);
  t.line("#");
}

/// The cab panel keys, laid out as the picture generator draws them.
void panel(TextFile& t, const PanelDesign& p) {
  auto f = [&](const char* name) { return p.dir + name; };
  auto lamp = [&](const char* k, const char* file, int x, int y) {
    t.line(k).line(f(file)).row(x).row(y);
  };
  const int top = kPanelTop;
  t.line("- アナログ時計").line("[Clock]").row(616).row(top + 250).row(20);
  t.line("- 運転台パネル");
  lamp("[Panel]", "panel.bmp", 0, top);
  lamp("[Panel2]", "panel_shade.bmp", 0, top);
  t.line("- 運転台パネル2");
  lamp("[Lamp_Door]", "lamp_door.bmp", 20, top + 12);
  lamp("[Lamp_Power]", "lamp_power.bmp", 76, top + 12);
  lamp("[Lamp_EB]", "lamp_eb.bmp", 132, top + 12);
  lamp(p.diesel ? "[Lamp_Air]" : "[Lamp_Gen]", p.diesel ? "lamp_air.bmp" : "lamp_gen.bmp", 188,
       top + 12);
  if (!p.diesel) lamp("[Lamp_Fin]", "lamp_fin.bmp", 244, top + 12);
  lamp("[Lamp_Ats1]", "lamp_ats1.bmp", 300, top + 12);
  lamp("[Lamp_Ats2]", "lamp_ats2.bmp", 356, top + 12);
  if (p.cab_signal) {
    lamp("[Lamp_ATSP1]", "lamp_atsp1.bmp", 412, top + 12);
    lamp("[Lamp_ATSP2]", "lamp_atsp2.bmp", 468, top + 12);
  }
  t.line("- 運転台パネル3");
  const char* aspects[] = {"[Lamp_G]", "[Lamp_YG]", "[Lamp_Y]", "[Lamp_YY]", "[Lamp_R]"};
  const char* files[] = {"lamp_g.bmp", "lamp_yg.bmp", "lamp_y.bmp", "lamp_yy.bmp", "lamp_r.bmp"};
  for (int i = 0; i < 5; ++i) lamp(aspects[i], files[i], 524, top + 40 + 20 * i);
  lamp("[Lamp_Fwd]", "lamp_fwd.bmp", 20, top + 44);
  lamp("[Lamp_Back]", "lamp_back.bmp", 76, top + 44);
  if (!p.diesel) lamp("[Lamp_Const]", "lamp_const.bmp", 132, top + 44);
  lamp("[Lamp_Stop]", "lamp_stop.bmp", 188, top + 44);
  // Speedometer: 0 km/h at -135 degrees, 140 km/h at +135 degrees.
  t.line("- 速度計")
      .line("[Needle_Speed]")
      .line(f("needle_speed.bmp"))
      .row(60)
      .row(top + 80)
      .row(0)
      .row(0)
      .row(-135)
      .row(270.0 / 140)
      .row(0);
  // Pressure gauge: 0 to 1000 kPa over 270 degrees.
  t.line("- BC圧力計")
      .line("[Needle_BC]")
      .line(f("needle_bc.bmp"))
      .row(300)
      .row(top + 110)
      .row(0)
      .row(0)
      .row(-135)
      .row(0.27);
  t.line("- BC圧力計（リニア）")
      .line("[Needle_BC_L]")
      .line(f("bar_bc.bmp"))
      .row(452)
      .row(top + 280)
      .row(0.3);
  if (p.one_lever && p.diesel) {
    t.line("- BP圧力計")
        .line("[Needle_BP]")
        .line(f("needle_bp.bmp"))
        .row(300)
        .row(top + 110)
        .row(0)
        .row(0)
        .row(-135)
        .row(0.27);
  }
  t.line("- MR圧力計")
      .line("[Needle_MR]")
      .line(f("needle_mr.bmp"))
      .row(300)
      .row(top + 110)
      .row(0)
      .row(0)
      .row(-135)
      .row(0.27);
  if (!p.diesel) {
    t.line("- 電圧計")
        .line("[Needle_V]")
        .line(f("needle_v.bmp"))
        .row(600)
        .row(top + 60)
        .row(0)
        .row(0)
        .row(-135)
        .row(0.135);
    t.line("- 電流計")
        .line("[Needle_I]")
        .line(f("needle_i.bmp"))
        .row(600)
        .row(top + 160)
        .row(0)
        .row(0)
        .row(0)
        .row(0.27)
        .row(0);
  }
  if (p.cab_signal) {
    t.line("[Lamp_signal]").row(280).row(top + 262).row(64).row(32).line(f("cabsignal.bmp"));
    for (int v : {0, 25, 45, 75, 100}) t.row(v);
    t.line("#");
  }
  if (p.atc) {
    // One pattern for each cab-signal aspect 0 to 5.
    t.line("- ATC車内信号")
        .line("[Lamp_signal]")
        .row(280)
        .row(top + 262)
        .row(64)
        .row(32)
        .line(f("atc_signal.bmp"));
    for (int v : kAtcSpeeds) t.row(v);
    t.line("#");
  }
  t.line("[NotchImageP]").row(470).row(top + 70).row(48).row(24).line(f("notch_p.bmp"));
  t.line("[NotchImageB]").row(470).row(top + 100).row(48).row(24).line(f("notch_b.bmp"));
  if (p.diesel) {
    t.line("[GearImageList]").row(470).row(top + 130).row(48).row(24).line(f("gear.bmp"));
    t.line("[GearImageList2]").row(470).row(top + 160).row(48).row(48).line(f("gear_lever.bmp"));
  }
  t.line("[Digi_Speed]").row(136).row(top + 215).row(16).row(24).line(f("digits.bmp"));
  t.line("[Others]");
  const char* others[] = {"lamp_dooropen.bmp", "lamp_dooropen_special.bmp", "lamp_conductor.bmp",
                          "lamp_pantograph.bmp", "lamp_request.bmp"};
  for (int i = 0; i < 5; ++i) t.line(f(others[i])).row(20 + 56 * i).row(top + 290);
  t.line("#");
}

void header(TextFile& t, const char* name) {
  t.line(std::string("; ") + name + " — デモ路線用の列車データ (make_demo が生成)")
      .line("- 列車の基本設定");
}

void stop_line(TextFile& t, const PanelDesign& p) {
  t.line("[StopLine]").line(p.dir + "stop_marker.bmp").line(p.dir + "stopline.bmp");
}

/// 10-car suburban EMU: two handles, notch curves with two power modes,
/// electro-pneumatic brake with 8 steps and regenerative braking, ATS-S; or,
/// `atc`, the same train signalled in the cab.
PanelDesign tz100(Output& out, SoundList& sounds, bool atc) {
  PanelDesign p{atc ? "image\\panel\\tz100atc\\" : "image\\panel\\tz100\\",
                atc ? "TZ100 ATC" : "TZ100",
                4,
                10,
                false,
                false,
                false,
                atc ? 0x4f6a78u : 0x5a6e82u,
                atc};
  TextFile t;
  DriveSounds d(sounds);
  header(t, atc ? "TZ100形 10両編成 (ATC車内信号)" : "TZ100形 10両編成");
  key(t, "[Handle]", 1);
  key(t, "[BrakeType]", 2);
  key(t, "[BrakeType2]", 2);
  key(t, "[Brake]", 9);
  key(t, "[Power]", 4);
  key(t, "[NotchBack]", 1);
  key(t, "[Hold]", 0);
  key(t, "[Const]", 0);
  key(t, "[Back]", 1);
  t.line("[BrakeRate]").line("4.0").line("3.6").line("4.5");
  t.line("[BrakeRate2]").line("1.0");
  key(t, "[PowerDelay]", 4);
  key(t, "[BrakeDelay]", 6);
  key(t, "[EBrakeDelay]", 4);
  key(t, "[PowerJerk]", 0);
  key(t, "[SAPDelay]", 3);
  key(t, "[BrakeUp]", 220);
  key(t, "[BrakeDown]", 180);
  key(t, "[SAPUp]", 300);
  key(t, "[SAPDown]", 250);
  key(t, "[EBrakeUp]", 450);
  key(t, "[EBrakeDown]", 600);
  key(t, "[EBrakeCurr]", 420);
  key(t, "[BPReturn]", 100);
  key(t, "[EBPress]", 460);
  key(t, "[SAPPress]", 400);
  key(t, "[HighAirPress]", 880);
  key(t, "[LowAirPress]", 780);
  key(t, "[Engine_Type]", 1);
  key(t, "[Power_Type]", 1);
  key(t, "[Brake_Type]", 1);
  key(t, "[DoorType]", 0);
  // The masses are those of all motor cars, trailers and driving trailers
  // (6M 2T 2Tc), adding up to [Tons]: the motor cars' mass carries the
  // traction and the three masses weigh the brake force.
  t.line("[Mt]").line("196.0").line("[Tt]").line("46.0").line("[Tct]").line("48.0");
  key(t, "[Cars]", 10);
  stop_line(t, p);
  t.line("[Tons]").line("290.0");
  key(t, "[EB]", 1);
  key(t, "[MaxSpeed]", 110);
  key(t, "[Lose_elec]", 6);
  key(t, "[ELBR]", 60);
  key(t, "[Mc]", 1);
  key(t, "[ATS_Type]", atc ? 2 : 0);  // 2: the signals are shown in the cab
  key(t, "[ATS_Alert]", 0);
  key(t, "[ATS_Time]", 5);
  key(t, "[ATS_Cnt]", 1);
  common_sounds(t, d, 9, 4);
  // Notch curves: mode 0 "normal" reaches 3.0 km/h/s in P4, mode 1 "wet rail"
  // starts gently (2.2 km/h/s).
  t.line("[Notch]");
  const double a0[] = {1.0, 2.0, 2.6, 3.0};
  const int v1[] = {15, 25, 35, 42};
  for (int group = 0; group < 2; ++group)
    for (int n = 0; n < 4; ++n) {
      double scale = group == 0 ? 1.0 : 0.75;
      t.row(a0[n] * scale).row(a0[n] * scale).row(v1[n]).row(v1[n] + 38).row(0.99).row(group);
    }
  t.line("#");
  t.line("[BrakeCurr]");
  for (int k = 0; k <= 9; ++k) t.row(k == 0 ? 0 : std::min(9, k) * 52);
  t.line("#");
  t.line("[PowerMode]").line("通常,Normal").line("空転防止,Wet rail").line("#");
  t.line("[EngineSound1]");
  auto motor = [&](const char* file, int mode, double base, double s0, double s1, double s2,
                   double p0, double p1, double p2) {
    t.line(sounds.add(std::string("sound\\train\\") + file, SoundKind::motor, base))
        .row(mode)
        .row(s0)
        .row(s1)
        .row(s2)
        .row(p0)
        .row(p1)
        .row(p2)
        .row(30.0)
        .row(100.0)
        .row(80.0);
  };
  motor("motor_power.wav", 0, 240, 0, 40, 110, 0.3, 1.0, 2.4);
  motor("motor_brake.wav", 1, 240, 5, 40, 110, 0.35, 1.0, 2.4);
  motor("motor_fan.wav", 2, 900, 0, 60, 120, 0.8, 1.0, 1.3);
  t.line("#");
  drive_sounds(t, d);
  t.line("- 運転台の設定");
  panel(t, p);
  out.write(atc ? "train_tz100_atc.dat" : "train_tz100.dat", t);
  return p;
}

/// Diesel railcar: one lever with hold, automatic air brake, automatic gears.
PanelDesign kiha10(Output& out, SoundList& sounds) {
  PanelDesign p{"image\\panel\\kiha10\\", "KIHA10", 4, 5, true, true, false, 0x6e7a5a};
  TextFile t;
  DriveSounds d(sounds);
  header(t, "キハ10形 単行気動車");
  key(t, "[Handle]", 0);
  key(t, "[BrakeType]", 0);
  key(t, "[BrakeType2]", 1);
  key(t, "[Brake]", 4);
  key(t, "[Power]", 4);
  key(t, "[NotchBack]", 0);
  key(t, "[Hold]", 1);
  key(t, "[Const]", 0);
  key(t, "[Back]", 0);
  t.line("[BrakeRate]").line("3.5").line("3.0").line("4.0");
  t.line("[BrakeRate2]").line("1.0");
  key(t, "[PowerDelay]", 6);
  key(t, "[BrakeDelay]", 12);
  key(t, "[EBrakeDelay]", 8);
  key(t, "[PowerJerk]", 8);
  key(t, "[SAPDelay]", 5);
  key(t, "[BrakeUp]", 120);
  key(t, "[BrakeDown]", 90);
  key(t, "[SAPUp]", 150);
  key(t, "[SAPDown]", 120);
  key(t, "[BPReturn]", 80);
  key(t, "[EBPress]", 380);
  key(t, "[SAPPress]", 340);
  key(t, "[HighAirPress]", 800);
  key(t, "[LowAirPress]", 700);
  key(t, "[Engine_Type]", 0);
  // One railcar: all of its mass is the powered car's.
  t.line("[Mt]").line("36.0").line("[Tt]").line("0").line("[Tct]").line("0");
  key(t, "[Cars]", 1);
  stop_line(t, p);
  t.line("[Tons]").line("36.0");
  key(t, "[EB]", 1);
  key(t, "[MaxSpeed]", 95);
  key(t, "[Mc]", 0);
  key(t, "[ATS_Type]", 0);
  key(t, "[ATS_Alert]", 0);
  key(t, "[ATS_Time]", 5);
  key(t, "[ATS_Cnt]", 0);
  common_sounds(t, d, 4, 4);
  // Engine speed (rpm) = offset + |speed| x factor in gears 1 to 3.
  t.line("[EngineRate]")
      .line("600,0")
      .line("800,42.0")
      .line("900,17.5")
      .line("1000,13.0")
      .line("#");
  t.line("[Gear_Type]").line("AT");
  t.line("[Engine]");
  t.row(0).row(0).row(0).row(0.0).row(0.0).row(0.0);
  t.row(0).row(40).row(48).row(2.2).row(1.4).row(0.6);
  t.row(35).row(70).row(78).row(1.2).row(0.8).row(0.4);
  t.row(60).row(95).row(100).row(0.8).row(0.45).row(0.1);
  t.line("#");
  t.line("[EngineSound1]");
  for (int gear = 1; gear <= 3; ++gear)
    t.line(sounds.add("sound\\train\\engine" + std::to_string(gear) + ".wav", SoundKind::engine,
                      30 + 6 * gear))
        .row(gear)
        .row(800.0)
        .row(1400.0)
        .row(2000.0)
        .row(0.6)
        .row(1.0)
        .row(1.5)
        .row(40.0)
        .row(100.0)
        .row(90.0);
  t.line("#");
  int idle = d.add("sound\\train\\engine_idle.wav", SoundKind::engine, 20);
  int idle_door = d.add("sound\\train\\engine_idle_door.wav", SoundKind::engine, 18);
  int start = d.add("sound\\train\\engine_start.wav", SoundKind::engine, 12);
  int stop = d.add("sound\\train\\engine_stop.wav", SoundKind::engine, 8);
  t.line("[EngineSound2]").row(idle).row(idle_door).row(start).row(stop);
  t.line("[EngineSound3]");
  for (int gear = 1; gear <= 3; ++gear)
    t.line(sounds.add("sound\\train\\gear" + std::to_string(gear) + ".wav", SoundKind::gear_change,
                      gear))
        .row(1)
        .row(gear)
        .row(0.0)
        .row(95.0)
        .row(0.8)
        .row(1.4)
        .row(60.0)
        .row(90.0);
  t.line(sounds.add("sound\\train\\retarder.wav", SoundKind::retarder))
      .row(2)
      .row(0)
      .row(20.0)
      .row(95.0)
      .row(0.9)
      .row(1.2)
      .row(40.0)
      .row(80.0);
  t.line("#");
  drive_sounds(t, d);
  t.line("- 運転台の設定");
  panel(t, p);
  out.write("train_kiha10.dat", t);
  return p;
}

/// Resistance-controlled EMU: current-limit traction, straight-air brake, ATS-P.
PanelDesign tx300(Output& out, SoundList& sounds) {
  PanelDesign p{"image\\panel\\tx300\\", "TX300", 4, 9, false, false, true, 0x7a6450};
  TextFile t;
  DriveSounds d(sounds);
  header(t, "TX300形 6両編成");
  key(t, "[Handle]", 1);
  key(t, "[BrakeType]", 1);
  key(t, "[BrakeType2]", 1);
  key(t, "[Brake]", 8);
  key(t, "[Power]", 4);
  key(t, "[NotchBack]", 2);
  key(t, "[Hold]", 0);
  key(t, "[Const]", 0);
  key(t, "[Back]", 0);
  t.line("[BrakeRate]").line("3.8").line("3.4").line("4.5");
  t.line("[BrakeRate2]").line("1.0");
  key(t, "[PowerDelay]", 5);
  key(t, "[BrakeDelay]", 9);
  key(t, "[EBrakeDelay]", 6);
  key(t, "[PowerJerk]", 0);
  key(t, "[SAPDelay]", 4);
  key(t, "[BrakeUp]", 180);
  key(t, "[BrakeDown]", 150);
  key(t, "[SAPUp]", 260);
  key(t, "[SAPDown]", 220);
  key(t, "[EBrakeUp]", 300);
  key(t, "[EBrakeDown]", 400);
  key(t, "[EBrakeCurr]", 350);
  key(t, "[BPReturn]", 90);
  key(t, "[EBPress]", 440);
  key(t, "[SAPPress]", 400);
  key(t, "[HighAirPress]", 880);
  key(t, "[LowAirPress]", 780);
  key(t, "[Engine_Type]", 1);
  key(t, "[Power_Type]", 0);
  key(t, "[Brake_Type]", 0);
  key(t, "[DoorType]", 0);
  // 4M 2Tc, adding up to [Tons].
  t.line("[Mt]").line("134.0").line("[Tt]").line("0").line("[Tct]").line("62.0");
  key(t, "[Cars]", 6);
  stop_line(t, p);
  t.line("[Tons]").line("196.0");
  key(t, "[EB]", 0);
  key(t, "[MaxSpeed]", 100);
  key(t, "[Lose_elec]", 8);
  key(t, "[ELBR]", 50);
  key(t, "[Mc]", 0);
  key(t, "[ATS_Type]", 1);
  key(t, "[ATS_Alert]", 0);
  key(t, "[ATS_Time]", 5);
  key(t, "[ATS_Cnt]", 1);
  common_sounds(t, d, 8, 4);
  // Current limit 380 A: 2.8 km/h/s up to 36 km/h, then constant power. Each
  // resistance step gives current = c1 / (speed - c2).
  t.line("[CurrentP]").row(380).row(2.8).row(36.0);
  const int notch_of_step[] = {1, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4};
  for (int i = 0; i < 12; ++i) t.row(notch_of_step[i], 6000.0 + 800.0 * i, -16.0 + 4.0 * i, 0);
  t.line("#");
  t.line("[CurrentB]").line("350.0,100.0,0").line("350.0,40.0,1").line("200.0,10.0,2").line("#");
  t.line("[EngineSound1]");
  t.line(sounds.add("sound\\train\\motor_dc.wav", SoundKind::motor, 180))
      .row(0)
      .row(0.0)
      .row(40.0)
      .row(100.0)
      .row(0.3)
      .row(1.0)
      .row(2.2)
      .row(40.0)
      .row(100.0)
      .row(80.0);
  t.line(sounds.add("sound\\train\\motor_dc_brake.wav", SoundKind::motor, 170))
      .row(1)
      .row(8.0)
      .row(40.0)
      .row(100.0)
      .row(0.35)
      .row(1.0)
      .row(2.2)
      .row(30.0)
      .row(90.0)
      .row(70.0);
  t.line("#");
  drive_sounds(t, d);
  t.line("- 運転台の設定");
  panel(t, p);
  out.write("train_tx300.dat", t);
  return p;
}

}  // namespace

const std::vector<std::string>& train_files() {
  static const std::vector<std::string> files = {"train_tz100.dat", "train_kiha10.dat",
                                                 "train_tx300.dat", "train_tz100_atc.dat"};
  return files;
}

std::vector<PanelDesign> write_trains(Output& out, SoundList& sounds) {
  return {tz100(out, sounds, false), kiha10(out, sounds), tx300(out, sounds),
          tz100(out, sounds, true)};
}

}  // namespace demo
