// The route tables as JSON, in the order of the file's keys, with the
// positions, events and menu items the set-up derives from them.
#include "json_out.h"

namespace cabsim::tool {
namespace {

/// A row of integer fields, in file order.
template <typename Row>
Json int_fields(const Row& row) {
  Json out = Json::array();
  Row::file_fields(row, [&out](const int32_t& value) { out.push_back(value); });
  return out;
}

template <typename Array>
Json int_rows(const Array& table, int32_t count) {
  return rows(table, count, [](const auto& row) { return int_fields(row); });
}

/// A list of one value per line: each entry an array of that one value.
template <typename Array>
Json single_values(const Array& table, int32_t count) {
  return rows(table, count, [](int32_t value) { return Json::array({value}); });
}

Json files(const ImageList& list) {
  return rows(list.files, list.count, [](const std::string& f) { return Json::array({text(f)}); });
}

Json text_block(const auto& lines) {
  Json out = Json::array();
  for (const std::string& line : lines) out.push_back(text(line));
  return out;
}

void film_keys(Json& j, const RouteTables& r) {
  j["LineName"] = text(r.LineName);
  j["LineName2"] = text(r.LineName2);
  j["StartPos"] = r.StartPos;
  j["FrameRate"] = r.FrameRate;
  j["Staf"] = text_block(r.Staf);
  j["Friction"] = fixed(r.Friction);
  j["StafSwitch"] = single_values(r.StafSwitch, r.StafSwitch_count);
  j["MovieStop"] = single_values(r.MovieStop, r.MovieStop_filled);
  j["MovieSwitch"] = rows(r.MovieSwitch, r.MovieSwitch_count, [](const MovieSwitchData& m) {
    return Json::array({m.kind, m.first_frame, m.last_frame, text(m.film), m.length, m.target,
                        m.start_clock, m.cue_frame, m.cue_sound});
  });
  j["Speed_Signal"] = single_values(r.Speed_Signal, r.Speed_Signal_count);
  j["DataName"] = text(r.DataName);
  j["Perspective"] = Json::array({real(r.perspective.P1), r.perspective.P2});
  j["Pre_TrainHeader"] = Json::array({r.Pre_TrainHeader.field1, r.Pre_TrainHeader.removal_frame});
  j["Pre_Train"] = int_rows(r.Pre_Train, r.Pre_Train_count);
  j["OneMan"] = r.OneMan;
}

void sound_keys(Json& j, const RouteTables& r) {
  j["SoundData"] = rows(r.SoundData, r.SoundData_count,
                        [](const std::string& f) { return Json::array({text(f)}); });
  const IndicatorImage& m = r.Monitor.image;
  j["Monitor"] = r.Monitor.present
                     ? Json::array({m.x, m.y, m.pattern_width, m.pattern_height, text(m.file)})
                     : Json();
  j["AnnounceHeader"] = r.AnnounceHeader;
  j["Announce"] = int_rows(r.Announce, r.Announce_count);
  j["KankoSound1"] = text_block(r.KankoSound1);
  j["KankoSound2"] = rows(r.KankoSound2, r.KankoSound2_count,
                          [](const KankoData& k) { return Json::array({text(k.file)}); });
  j["Sound"] = int_rows(r.Sound, r.Sound_count);
  j["Sound2"] = int_rows(r.Sound2, r.Sound2_count);
  j["Doppler"] = int_rows(r.Doppler, r.Doppler_count);
  j["Tunnel"] = int_rows(r.Tunnel, r.Tunnel_count);
  j["Atten"] = int_rows(r.Atten, r.Atten_count);
  j["TunnelR"] = r.TunnelR;
}

void track_keys(Json& j, const RouteTables& r) {
  j["Station"] = rows(r.Station, r.Station_count, [](const StationData& s) {
    Json out = Json::array({text(s.name)});
    StationData::file_fields(s, [&out](const int32_t& value) { out.push_back(value); });
    return out;
  });
  j["StopSound"] = single_values(r.StopSound, r.StopSound_count);
  j["Signal"] = int_rows(r.Signal, r.Signal_count);
  j["TrafficSignal"] = int_rows(r.TrafficSignal, r.TrafficSignal_count);
  j["Slope"] = rows(r.Slope, r.Slope_count, [](const SlopeRow& s) {
    return Json::array({fixed(s.gradient), s.first_frame, s.last_frame});
  });
  j["Sign"] = int_rows(r.Sign, r.Sign_count);
  j["Anim"] = int_rows(r.Anim, r.Anim_count);
  j["SignalKanko"] = int_rows(r.SignalKanko, r.SignalKanko_count);
  j["StationKanko"] = int_rows(r.StationKanko, r.StationKanko_count);
  j["SpeedLimit"] = int_rows(r.SpeedLimit, r.SpeedLimit_count);
  j["SpeedCheck1"] = int_rows(r.SpeedCheck1, r.SpeedCheck1_count);
  j["SpeedCheck2"] = int_rows(r.SpeedCheck2, r.SpeedCheck2_count);
  j["SignImageList"] = files(r.SignImageList);
  j["OtherImageList"] = rows(r.OtherImageList, r.OtherImageList_count, [](const auto& o) {
    return Json::array({text(o.image), text(o.sound)});
  });
  j["AnimImageList"] = files(r.AnimImageList);
  j["SignalImageList"] = files(r.SignalImageList);
  j["TrafficSignalImageList"] = files(r.TrafficSignalImageList);
  j["SignalImageList2"] = files(r.SignalImageList2);
  j["SpeedUnit"] = rows(r.SpeedUnit, r.SpeedUnit_count, [](const SpeedUnitData& s) {
    return Json::array({s.start_frame, s.end_frame, real(s.start_speed), real(s.end_speed)});
  });
  j["CrossImageList"] = files(r.CrossImageList);
  j["Cross"] = int_rows(r.Cross, r.Cross_count);
  j["Time"] = int_rows(r.Time, r.Time_count);
  j["Switch"] = int_rows(r.Switch, r.Switch_count);
}

Json derived(const RouteTables& r) {
  Json d = Json::object();
  d["speed_unit_end_distance"] =
      rows(r.SpeedUnit, r.SpeedUnit_count, [](const auto& s) { return s.end_distance; });
  d["station_positions"] = rows(r.Station, r.Station_count, [](const StationData& s) {
    return Json::array({s.stop_position, s.zone_start, s.zone_end});
  });
  d["events"] = rows(r.events, r.event_count, [](const RouteEvent& e) {
    return Json::array({e.position, e.value, e.signal, e.station, e.kind});
  });
  d["move_menu"] = rows(r.move_menu, r.move_menu_count, [](const MoveMenuItem& m) {
    return Json::array({text(m.caption), m.name});
  });
  d["speed_check1_positions"] =
      rows(r.SpeedCheck1, r.SpeedCheck1_count, [](const auto& c) { return c.position; });
  d["speed_check1_passed"] =
      rows(r.SpeedCheck1, r.SpeedCheck1_count, [](const auto& c) { return c.passed != 0; });
  d["speed_check2_positions"] =
      rows(r.SpeedCheck2, r.SpeedCheck2_count, [](const auto& c) { return c.position; });
  d["traffic_signal_positions"] = rows(r.TrafficSignal, r.TrafficSignal_count, [](const auto& t) {
    return Json::array({t.position, t.second_position});
  });
  d["doppler_positions"] =
      rows(r.Doppler, r.Doppler_count, [](const auto& p) { return p.position; });
  d["tunnel_positions"] = rows(r.Tunnel, r.Tunnel_count, [](const auto& t) {
    return Json::array({t.entry_position, t.exit_position});
  });
  d["speed_limit_positions"] =
      rows(r.SpeedLimit, r.SpeedLimit_count, [](const auto& l) { return l.position; });
  d["kanko_sound2_numbers"] = rows(r.KankoSound2, r.KankoSound2_count,
                                   [](const KankoData& k) { return k.number + kFirstKankoSound2; });
  d["sound_data_seconds"] = int_block(r.SoundData_seconds, r.SoundData_count);
  return d;
}

}  // namespace

Json route_json(const RouteTables& route) {
  Json j = Json::object();
  film_keys(j, route);
  sound_keys(j, route);
  track_keys(j, route);
  j["derived"] = derived(route);
  return j;
}

}  // namespace cabsim::tool
