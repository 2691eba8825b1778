// The train record as JSON, in the order of the file's keys.
#include "json_out.h"

#include "data/shift_jis.h"

namespace cabsim::tool {

Json text(const std::string& sjis) {
  return sjis_to_utf8(sjis);
}
Json real(long double value) {
  return static_cast<double>(value);
}
Json fixed(Fixed value) {
  return static_cast<double>(value.count()) / Fixed::kScale;
}

namespace {

Json lamp(const Lamp& l) {
  return Json::array({text(l.file), l.x, l.y});
}

Json meter(const Meter& m, int extra) {
  Json out =
      Json::array({text(m.file), m.x, m.y, m.reserved1, m.reserved2, m.zero_angle, real(m.scale)});
  if (extra == 1) out.push_back(real(m.low_speed_scale));
  if (extra == 2) out.push_back(m.mode);
  return out;
}

Json bar(const Meter& m) {
  return Json::array({text(m.file), m.x, m.zero_angle, real(m.scale)});
}

Json indicator(const IndicatorImage& i) {
  return Json::array({i.x, i.y, i.pattern_width, i.pattern_height, text(i.file)});
}

void panel_json(Json& j, const CabPanelDefinition& p) {
  j["Clock"] = Json::array({p.Clock.x, p.Clock.y, p.Clock.hand_length});
  j["Panel"] = lamp(p.Panel);
  j["Panel2"] = lamp(p.Panel2);
  const std::pair<const char*, const Lamp*> lamps[] = {
      {"Lamp_Door", &p.Lamp_Door},   {"Lamp_Power", &p.Lamp_Power}, {"Lamp_EB", &p.Lamp_EB},
      {"Lamp_Gen", &p.Lamp_Gen},     {"Lamp_Air", &p.Lamp_Air},     {"Lamp_Fin", &p.Lamp_Fin},
      {"Lamp_Ele", &p.Lamp_Ele},     {"Lamp_Ats1", &p.Lamp_Ats1},   {"Lamp_Ats2", &p.Lamp_Ats2},
      {"Lamp_ATSP1", &p.Lamp_ATSP1}, {"Lamp_ATSP2", &p.Lamp_ATSP2}, {"Lamp_G", &p.Lamp_G},
      {"Lamp_YG", &p.Lamp_YG},       {"Lamp_Y", &p.Lamp_Y},         {"Lamp_YY", &p.Lamp_YY},
      {"Lamp_R", &p.Lamp_R},         {"Lamp_Fwd", &p.Lamp_Fwd},     {"Lamp_Back", &p.Lamp_Back},
      {"Lamp_Const", &p.Lamp_Const}, {"Lamp_Stop", &p.Lamp_Stop}};
  for (const auto& [key, l] : lamps) j[key] = lamp(*l);
  j["Needle_Speed"] = meter(p.Needle_Speed, 1);
  j["Needle_BC"] = meter(p.Needle_BC, 0);
  j["Needle_BC_L"] = bar(p.Needle_BC_L);
  j["Needle_SAP"] = meter(p.Needle_SAP, 0);
  j["Needle_ER"] = meter(p.Needle_ER, 0);
  j["Needle_BP"] = meter(p.Needle_BP, 0);
  j["Needle_MR"] = meter(p.Needle_MR, 0);
  j["Needle_MR_L"] = bar(p.Needle_MR_L);
  j["Needle_V"] = meter(p.Needle_V, 0);
  j["Needle_I"] = meter(p.Needle_I, 2);
  j["Lamp_signalHeader"] = indicator(p.Lamp_signal);
  j["Lamp_signal"] = rows(p.Lamp_signal_speeds, p.Lamp_signal_count,
                          [](int32_t speed) { return Json::array({speed}); });
  const std::pair<const char*, const IndicatorImage*> images[] = {
      {"NotchImageP", &p.NotchImageP},     {"NotchImageB", &p.NotchImageB},
      {"NotchImageP2", &p.NotchImageP2},   {"NotchImageB2", &p.NotchImageB2},
      {"GearImageList", &p.GearImageList}, {"GearImageList2", &p.GearImageList2},
      {"Digi_Speed", &p.Digi_Speed}};
  for (const auto& [key, image] : images) j[key] = indicator(*image);
  j["Others"] = rows(p.Others, p.Others_count, lamp);
}

}  // namespace

Json train_json(const TrainParams& t) {
  Json j = Json::object();
  j["Handle"] = t.Handle;
  j["BrakeType"] = t.BrakeType;
  j["BrakeType2"] = t.BrakeType2;
  j["Brake"] = t.Brake;
  j["Power"] = t.Power;
  j["NotchBack"] = t.NotchBack;
  j["Hold"] = t.Hold;
  j["Const"] = t.Const;
  j["Back"] = t.Back;
  j["BrakeRate"] =
      Json::array({fixed(t.BrakeRate[0]), fixed(t.BrakeRate[1]), fixed(t.BrakeRate[2])});
  j["BrakeRate2"] = real(t.BrakeRate2);
  const std::pair<const char*, int32_t> ints1[] = {
      {"PowerDelay", t.PowerDelay},   {"BrakeDelay", t.BrakeDelay},
      {"EBrakeDelay", t.EBrakeDelay}, {"PowerJerk", t.PowerJerk},
      {"SAPDelay", t.SAPDelay},       {"BrakeUp", t.BrakeUp},
      {"BrakeDown", t.BrakeDown},     {"SAPUp", t.SAPUp},
      {"SAPDown", t.SAPDown},         {"EBrakeUp", t.EBrakeUp},
      {"EBrakeDown", t.EBrakeDown},   {"EBrakeCurr", t.EBrakeCurr},
      {"BPReturn", t.BPReturn},       {"EBPress", t.EBPress},
      {"SAPPress", t.SAPPress},       {"HighAirPress", t.HighAirPress},
      {"LowAirPress", t.LowAirPress}, {"Engine_Type", t.Engine_Type},
      {"Power_Type", t.Power_Type},   {"Brake_Type", t.Brake_Type},
      {"DoorType", t.DoorType}};
  for (const auto& [key, value] : ints1) j[key] = value;
  j["Mt"] = fixed(t.Mt);
  j["Tt"] = fixed(t.Tt);
  j["Tct"] = fixed(t.Tct);
  j["Cars"] = t.Cars;
  j["StopLine"] = Json::array({text(t.StopLine[0]), text(t.StopLine[1])});
  j["Tons"] = fixed(t.Tons);
  const std::pair<const char*, int32_t> ints2[] = {{"EB", t.EB},
                                                   {"MaxSpeed", t.MaxSpeed},
                                                   {"Lose_elec", t.Lose_elec},
                                                   {"ELBR", t.ELBR},
                                                   {"Mc", t.Mc},
                                                   {"ATS_Type", t.ATS_Type},
                                                   {"ATS_Alert", t.ATS_Alert},
                                                   {"ATS_Time", t.ATS_Time},
                                                   {"ATS_Cnt", t.ATS_Cnt}};
  for (const auto& [key, value] : ints2) j[key] = value;
  j["Sound_BK"] = int_block(t.Sound_BK, t.Sound_BK_count);
  j["Sound_BR"] = int_block(t.Sound_BR, t.Sound_BR_count);
  j["Sound_BA"] = int_block(t.Sound_BA, t.Sound_BA_count);
  j["Sound_PA"] = int_block(t.Sound_PA, t.Sound_PA_count);
  j["Sound_PR"] = int_block(t.Sound_PR, t.Sound_PR_count);
  const std::pair<const char*, int32_t> sounds[] = {{"Sound_EB", t.Sound_EB},
                                                    {"Sound_Apply", t.Sound_Apply},
                                                    {"Sound_Ats1", t.Sound_Ats1},
                                                    {"Sound_Ats2", t.Sound_Ats2},
                                                    {"Sound_Atc", t.Sound_Atc},
                                                    {"Sound_Horn", t.Sound_Horn},
                                                    {"Sound_Horn2", t.Sound_Horn2},
                                                    {"Sound_Horn3", t.Sound_Horn3},
                                                    {"Sound_DoorOpen", t.Sound_DoorOpen},
                                                    {"Sound_DoorClose", t.Sound_DoorClose},
                                                    {"Sound_EBring", t.Sound_EBring},
                                                    {"Sound_squeak", t.Sound_squeak},
                                                    {"CP_Start", t.CP_Start},
                                                    {"CP_Cnt", t.CP_Cnt},
                                                    {"CP_End", t.CP_End},
                                                    {"Stop", t.Stop}};
  for (const auto& [key, value] : sounds) j[key] = value;
  j["Buzzer"] = Json::array({t.Buzzer[0], t.Buzzer[1]});
  j["DepSign"] = t.DepSign;
  j["ATS_Warn"] = t.ATS_Warn;
  j["SwitchSound"] = rows(t.SwitchSound, t.SwitchSound_count, [](const SwitchSoundRow& r) {
    return Json::array({r.sound, r.speed, r.kind});
  });
  j["EngineRate"] = rows(t.EngineRate, t.EngineRate_filled, [](const EngineRateRow& r) {
    return Json::array({r.offset, real(r.factor)});
  });
  j["Gear_Type"] = t.Gear_Type;
  j["Notch"] = rows(t.Notch, t.Notch_count, [](const NotchRow& r) {
    return Json::array({real(r.a0), real(r.a1), r.V1, r.V2, real(r.D), r.group});
  });
  j["CurrentPHeader"] =
      Json::array({t.CurrentPHeader.limit_current, real(t.CurrentPHeader.limit_acceleration),
                   real(t.CurrentPHeader.constant_force_speed)});
  j["CurrentP"] = rows(t.CurrentP, t.CurrentP_count, [](const CurrentPRow& r) {
    return Json::array({r.c0, real(r.c1), real(r.c2), r.c3});
  });
  j["BrakeCurr"] =
      rows(t.BrakeCurr, t.BrakeCurr_filled, [](int32_t current) { return Json::array({current}); });
  j["CurrentB"] = rows(t.CurrentB, t.CurrentB_count, [](const CurrentBRow& r) {
    return Json::array({real(r.r0), real(r.r1), r.r2});
  });
  j["Engine"] = rows(t.Engine, t.Engine_count, [](const EngineRow& r) {
    return Json::array({r.e0, r.e1, r.e2, real(r.e3), real(r.e4), real(r.e5)});
  });
  j["PowerMode"] = rows(t.PowerMode, t.PowerMode_count, [](const PowerModeRow& r) {
    return Json::array({text(r.first), text(r.second)});
  });
  j["EngineSound1"] = rows(t.EngineSound1, t.EngineSound1_count, [](const MotorSoundData& r) {
    return Json::array({text(r.file), r.mode, real(r.s0), real(r.s1), real(r.s2), real(r.p0),
                        real(r.p1), real(r.p2), real(r.q0), real(r.q1), real(r.q2)});
  });
  j["EngineSound2"] = int_block(t.EngineSound2, 4);
  j["EngineSound3"] = rows(t.EngineSound3, t.EngineSound3_count, [](const HensokuSoundData& r) {
    return Json::array({text(r.file), r.kind, r.gear, real(r.s0), real(r.s1), real(r.p0),
                        real(r.p1), real(r.q0), real(r.q1)});
  });
  j["DriveSound"] = rows(t.DriveSound, t.DriveSound_count,
                         [](const std::string& file) { return Json::array({text(file)}); });
  panel_json(j, t.panel);
  j["derived"] = Json{
      {"notch_group_starts", int_block(t.notch_group_starts, t.notch_group_count)},
      {"train_dir_prefix", text(t.train_dir_prefix)},
  };
  return j;
}

}  // namespace cabsim::tool
