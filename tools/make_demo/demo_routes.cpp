// The route files of the run catalogue. Every frame number is derived from
// the line description and the filming train's speed profile.
#include "demo_routes.h"

#include "demo_trains.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace demo {

namespace {

std::string numbered(const char* pattern, int n) {
  char buf[96];
  std::snprintf(buf, sizeof buf, pattern, n);
  return buf;
}

constexpr int kTicks = 30;         ///< clock units per second
constexpr int kMelodySeconds = 8;  ///< length of the departure melodies
constexpr int kDwellSeconds = 30;
constexpr int kMarginSeconds = 20;  ///< running time allowance over the filmed run

/// Environment sounds of every route, in `[SoundData]` order.
enum EnvSound {
  kStartAnnounce = 0,
  kArrivalFirst = 1,  ///< 1..5: station name at arrival, line order
  kMelodyA = 6,
  kMelodyB = 7,
  kCrossingBell = 8,
  kPassingTrain = 9,
  kTunnelRoar = 10,
  kAirRelease = 11,
  kCabAmbient = 12,
  kNextStationFirst = 13,  ///< 13..17: "next is ..." per station, line order
  kPlatformWhistle = 18,
  kArrivingSoon = 19,
};

/// Call sounds 22 and up.
enum CallSound {
  kCallCrossing = 22,
  kCallStarting = 23,
  kCallHome = 24,
  kCallBlock = 25,
  kCallRepeater = 26,
  kCallStopNext = 27,
  kCallPass = 28,
  kCallLimit45 = 29,
  kCallLimit65 = 30,
  kCallTimeOk = 31,
};

// The calls as they are spoken (kana, for the speech synthesiser).
const char* const kCalls1[22] = {"ていし",
                                 "けいかい",
                                 "ちゅうい",
                                 "げんそく",
                                 "しんこう",
                                 "ちゅうけい せいげん",
                                 "さんじゅうびょう おくれ",
                                 "よんじゅうごびょう おくれ",
                                 "いっぷん おくれ",
                                 "いっぷん じゅうごびょう おくれ",
                                 "いっぷん さんじゅうびょう おくれ",
                                 "いっぷん よんじゅうごびょう おくれ",
                                 "にふん おくれ",
                                 "おくれ",
                                 "かいふく うんてん",
                                 "はやい",
                                 "そうちゃく ちゅうい",
                                 "ていじ",
                                 "ていじ よし",
                                 "とじめ よし",
                                 "はっしゃ",
                                 "こうそく しんこう"};
const char* const kCalls2[] = {"ふみきり よし",
                               "しゅっぱつ しんこう",
                               "じょうない しんこう",
                               "へいそく しんこう",
                               "ちゅうけい しんこう",
                               "つぎ ていしゃ",
                               "つうか",
                               "せいげん よんじゅうご",
                               "せいげん ろくじゅうご",
                               "じこく よし"};

struct Timing {
  std::vector<int> arrival;  ///< clock units, per station in travel order
  std::vector<int> departure;
};

/// Frames of a station stop in the film (the first frame of the stand), or of
/// the nominal stop for a station the filming train passes.
int station_frame(const Station& s, const SpeedProfile& p) {
  if (s.stop <= 0) return 20;  // the first station: a frame inside the opening stand
  return s.filmed_stop ? p.stop_frame_near(s.stop) : p.frame_at(s.stop);
}

Timing timetable(const RunSpec& run, const Direction& d, const SpeedProfile& p) {
  Timing t;
  int clock = run.first_departure * kTicks;
  int prev_frame = station_frame(d.stations[0], p);
  for (size_t k = 0; k < d.stations.size(); ++k) {
    int frame = station_frame(d.stations[k], p);
    if (k == 0) {
      t.arrival.push_back(clock - 60 * kTicks);
      t.departure.push_back(clock);
      continue;
    }
    // Filmed running time plus an allowance; stand frames of the film are short.
    int run_seconds = (frame - prev_frame) / kFps + kMarginSeconds;
    bool stops = d.stations[k].filmed_stop || run.stops_at_pass_station;
    int arrive = t.departure.back() + run_seconds * kTicks;
    arrive = (arrive + 5 * kTicks - 1) / (5 * kTicks) * (5 * kTicks);  // timetables keep 5 s steps
    t.arrival.push_back(arrive);
    // The crew changes at 青葉台 on the run that has a crew change: a longer stand.
    bool crew = run.crew_change && d.stations[k].name == "青葉台";
    t.departure.push_back(stops ? arrive + (crew ? 90 : kDwellSeconds) * kTicks : arrive);
    prev_frame = frame;
  }
  return t;
}

/// Index of the station in line order (花見台 = 0), for the per-station sounds.
int line_index(const Direction& d, size_t k) {
  return d.up ? int(d.stations.size() - 1 - k) : int(k);
}

int board_cell(int kmh) {
  const auto& b = limit_boards();
  return int(std::find(b.begin(), b.end(), kmh) - b.begin()) + 1;
}

void head(TextFile& t, const RunSpec& run, const Direction& d, const SpeedProfile& p) {
  std::string dir = d.up ? "上り" : "下り";
  std::string kind =
      run.train_number.empty() ? "自由運転" : (run.one_man ? "ワンマン" : "各駅停車");
  t.line("; デモ線 " + dir + " " + (run.train_number.empty() ? "free" : run.train_number) +
         " — make_demo が生成");
  t.line("[LineName]").line("デモ線 " + dir + " " + run.train_number + " " + kind);
  t.line("[LineName2]").line(d.stations.back().name + "ゆき");
  t.line("[StartPos]").row(station_frame(d.stations[0], p));
  t.line("[FrameRate]").row(kFps);
  t.line("[Staf]").line(
      run.train_number.empty() ? "" : "image\\staf\\staf_" + run.train_number + ".bmp");
  t.line(std::string("image\\still\\still_") + (d.up ? "up" : "down") + ".bmp");
  t.line("[Friction]").line("0.30");
  t.line("[StafSwitch]").row(200).row(2).line("#");
  const Station& last = d.stations.back();
  t.line("[MovieStop]").row(station_frame(last, p) + 40).line("#");
}

void movie_switch(TextFile& t, const Direction& d, const SpeedProfile& p, const Timing& tm) {
  t.line("[MovieSwitch]");
  if (d.up) {
    InsertPlan in = insert_plan(d, p);
    FilmNames names = film_names(true);
    t.row(0, in.camera_from, in.camera_to, names.camera_insert, in.camera_length, in.camera_return,
          0, 0, 0);
    int k = in.station_index;
    t.row(2, in.station_stop_frame - 30, in.station_stop_frame + 30, names.station_insert,
          in.station_length, k, tm.arrival[k] + 8 * kTicks, 60, int(kPlatformWhistle));
  }
  t.line("#");
}

void sounds_section(TextFile& t, SoundList& sounds) {
  auto speech = [&](const std::string& file, const std::string& text) {
    return sounds.add("sound\\route\\" + file, SoundKind::speech, 0, text);
  };
  const Direction down = direction(false);  // names in line order
  t.line("[SoundData]");
  t.line(speech("start_announce.wav",
                "ほんじつも でもせんを ごりよう いただきまして、ありがとう ございます。まもなく "
                "はっしゃ します。"));
  for (int i = 0; i < 5; ++i)
    t.line(speech(numbered("arrival%d.wav", i),
                  down.stations[i].kana + "、" + down.stations[i].kana + "です。"));
  t.line(sounds.add("sound\\route\\melody_a.wav", SoundKind::melody, 0));
  t.line(sounds.add("sound\\route\\melody_b.wav", SoundKind::melody, 1));
  t.line(sounds.add("sound\\route\\crossing_bell.wav", SoundKind::crossing_bell));
  t.line(sounds.add("sound\\route\\passing_train.wav", SoundKind::passing_train));
  t.line(sounds.add("sound\\route\\tunnel_roar.wav", SoundKind::ambient, 1));
  t.line(sounds.add("sound\\route\\air_release.wav", SoundKind::air_release));
  t.line(sounds.add("sound\\route\\cab_ambient.wav", SoundKind::ambient, 0));
  for (int i = 0; i < 5; ++i)
    t.line(speech(numbered("next%d.wav", i), "つぎは、" + down.stations[i].kana + "です。"));
  t.line(sounds.add("sound\\route\\platform_whistle.wav", SoundKind::horn, 1200));
  t.line(speech("arriving_soon.wav", "まもなく とうちゃく です。"));
  t.line("#");
}

void announce_section(TextFile& t, const Direction& d) {
  t.line("[Announce]").row(int(kArrivingSoon));
  for (size_t k = 0; k + 1 < d.stations.size(); ++k) {
    int next = line_index(d, k + 1);
    t.row(kNextStationFirst + next, 0, int(k), 150);  // after leaving station k
    if (d.stations[k + 1].filmed_stop)
      t.row(int(kArrivingSoon), 1, int(k + 1), 400);  // before the next stop
  }
  t.line("#");
}

void call_sounds(TextFile& t, SoundList& sounds) {
  t.line("[KankoSound1]");
  for (int i = 0; i < 22; ++i)
    t.line(sounds.add(numbered("sound\\call\\call%02d.wav", i), SoundKind::speech, 0, kCalls1[i]));
  t.line("[KankoSound2]");
  for (size_t i = 0; i < std::size(kCalls2); ++i)
    t.line(sounds.add(numbered("sound\\call\\call%02d.wav", int(22 + i)), SoundKind::speech, 0,
                      kCalls2[i]));
  t.line("#");
}

void track_sounds(TextFile& t, const Direction& d, const SpeedProfile& p) {
  t.line("[Sound]")
      .line("; 踏切の警報音")
      .row(int(kCrossingBell), p.frame_at(d.crossing.at - 120), 60, 0, 0, 0, 0)
      .line("#");
  t.line("[Sound2]").row(int(kCabAmbient), 0, int(d.stations.size() - 1)).line("#");
  t.line("[Doppler]").row(int(kPassingTrain), p.frame_at(d.passing_train), 30000, 0).line("#");
  int tin = p.frame_at(d.tunnel.from), tout = p.frame_at(d.tunnel.to);
  t.line("[Tunnel]").row(tin, tout, 0).line("#");
  t.line("[Atten]").row(tin, tout, 0, 160).line("#");
  t.line("[TunnelR]").row(5);
}

void station_section(TextFile& t, const RunSpec& run, const Direction& d, const SpeedProfile& p,
                     const Timing& tm) {
  t.line("[Station]");
  for (size_t k = 0; k < d.stations.size(); ++k) {
    const Station& s = d.stations[k];
    bool stop = s.filmed_stop || run.stops_at_pass_station;
    int kind = stop ? 0 : 1;
    int li = line_index(d, k);
    int arrival = k == 0 ? 0 : kArrivalFirst + li;
    int melody = (k % 2 == 0) ? kMelodyA : kMelodyB;
    int after = k + 1 == d.stations.size() ? 45 : 100;
    int request = run.one_man && k > 0 ? 20 : 0;  // one-man: passengers may ask to stop
    t.row(s.name, kind, station_frame(s, p), 300, arrival, melody, 0, tm.departure[k], after,
          stop ? 1 : 0, 0, request, 40, 342, s.left_platform ? -6 : 6, 0, 50);
  }
  t.line("#");
  t.line("[StopSound]").row(int(kAirRelease)).line("#");
}

int signal_type(SignalRole r) {
  switch (r) {
    case SignalRole::starting:
      return 2;
    case SignalRole::home:
      return 4;
    case SignalRole::block:
      return 5;
    case SignalRole::repeater:
      return 0;
  }
  return 5;
}

void speed_signal(TextFile& t) {
  t.line("[Speed_Signal]");
  for (int v : {0, 25, 45, 75, 100}) t.row(v);
  t.line("#");
}

void signal_section(TextFile& t, const RunSpec& run, const Direction& d, const SpeedProfile& p) {
  t.line("[Signal]");
  int prev_frame = 0;
  for (const Signal& s : d.signal_posts) {
    int at = p.frame_at(s.at);
    int from = p.frame_at(s.view_from);
    int transponder = std::max(prev_frame + 1, p.frame_at(s.at - 500));
    // A starting signal clears when the departure melody of its station starts;
    // at a station the train passes it works as an automatic signal.
    bool stop_here =
        s.station >= 0 && (d.stations[s.station].filmed_stop || run.stops_at_pass_station);
    int kind = s.role == SignalRole::starting && stop_here ? 3 : 0;
    int sub = s.role == SignalRole::starting ? 1 : (s.role == SignalRole::repeater ? 2 : 0);
    t.row(kind, sub, s.number, signal_type(s.role), from, at, transponder, at, 0,
          std::max(0, s.station), 0, 0, 0);
    prev_frame = at;
  }
  t.line("#");
}

void road_section(TextFile& t, const Direction& d, const SpeedProfile& p) {
  int f = p.frame_at(d.road_signal);
  t.line("[TrafficSignal]");
  t.row(f, p.frame_at(d.road_signal - 300), f, 0, 250, 1, 1, 30, 1, 2, 60, 0, 0, 0, 1, 0, 0, 1, 0,
        0, 1, 0, f, 3, 4, 1);
  t.line("#");
}

void slope_section(TextFile& t, const Direction& d, const SpeedProfile& p) {
  t.line("[Slope]");
  for (const Gradient& g : d.gradients)
    t.row(g.permille, p.frame_at(g.at.from), p.frame_at(g.at.to));
  t.line("#");
  t.line("[Sign]")
      .row(p.frame_at(d.time_check_sign - 150), p.frame_at(d.time_check_sign), 0, 0)
      .line("#");
  int c = p.frame_at(d.crossing.at);
  t.line("[Anim]").row(p.frame_at(d.crossing.at - 250), c, 2, 0).line("#");
}

void call_tables(TextFile& t, const RunSpec& run, const Direction& d) {
  t.line("[SignalKanko]");
  for (size_t i = 0; i < d.signal_posts.size(); ++i) {
    SignalRole r = d.signal_posts[i].role;
    int slot = r == SignalRole::starting ? kCallStarting
               : r == SignalRole::home   ? kCallHome
               : r == SignalRole::block  ? kCallBlock
                                         : kCallRepeater;
    t.row(int(i), 0, slot);
  }
  t.line("#");
  t.line("[StationKanko]");
  for (size_t k = 0; k < d.stations.size(); ++k) {
    if (!(d.stations[k].filmed_stop || run.stops_at_pass_station)) continue;
    t.row(int(k), 2, 19);  // doors closed
    if (run.one_man) t.row(int(k), 4, int(kCallStopNext));
  }
  t.line("#");
}

void limit_section(TextFile& t, const Direction& d, const SpeedProfile& p) {
  t.line("[SpeedLimit]");
  for (const Limit& l : d.limits) {
    if (l.at.from > 1)
      t.row(l.kmh, board_cell(l.kmh), 1, p.frame_at(l.at.from - 150), p.frame_at(l.at.from));
    if (l.at.to < d.length - 1)
      t.row(100, int(limit_boards().size()) + 1, 0, p.frame_at(l.at.to - 80), p.frame_at(l.at.to));
  }
  t.line("#");
  // The terminal approach is guarded by ATS speed checks: one always active,
  // one only while the home signal shows stop.
  const Station& last = d.stations.back();
  size_t home = 0;
  for (size_t i = 0; i < d.signal_posts.size(); ++i)
    if (d.signal_posts[i].role == SignalRole::home) home = i;
  t.line("[SpeedCheck1]")
      .row(55, 0, p.frame_at(last.stop - 160), 0)
      .row(35, 0, p.frame_at(d.signal_posts[home].at - 60), int(home))
      .line("#");
  const Curve* sharp = &d.curves[0];
  for (const Curve& c : d.curves)
    if (std::fabs(c.radius) < std::fabs(sharp->radius)) sharp = &c;
  t.line("[SpeedCheck2]")
      .row(75, 0, p.frame_at(sharp->at.from), p.frame_at(sharp->at.to))
      .line("#");
}

void image_lists(TextFile& t) {
  t.line("[SignImageList]");
  for (int i = 0; i < 3; ++i) t.line(sign_picture(i));
  t.line("#");
  t.line("[OtherImageList]");
  for (int i = 0; i <= int(limit_boards().size()) + 1; ++i) t.line(other_sign_picture(i)).line("");
  t.line("#");
  t.line("[AnimImageList]");
  for (int i = 0; i < 14; ++i) t.line(anim_picture(i));
  t.line("#");
  t.line("[SignalImageList]");
  for (int i = 0; i <= 42; ++i) t.line(signal_picture(i));
  t.line("#");
  t.line("[TrafficSignalImageList]");
  for (int i = 0; i < 5; ++i) t.line(traffic_signal_picture(i));
  t.line("#");
  t.line("[SignalImageList2]");
  for (int i = 0; i < 4; ++i) t.line(signal_sub_picture(i));
  t.line("#");
}

void speed_unit(TextFile& t, const SpeedProfile& p) {
  t.line("[SpeedUnit]");
  for (const SpeedSegment& s : p.segments()) t.row(s.from_frame, s.to_frame, s.from_kmh, s.to_kmh);
  t.line("#");
}

void tail(TextFile& t, const RunSpec& run, const Direction& d, const SpeedProfile& p,
          const Timing& tm) {
  t.line("[CrossImageList]").line(cross_picture(0)).line(cross_picture(1)).line("#");
  t.line("[Cross]")
      .row(0, int(kCallCrossing), p.frame_at(d.crossing.at - 300), p.frame_at(d.crossing.at + 10),
           0)
      .line("#");
  t.line("[Time]");
  if (!run.train_number.empty()) {
    // Time checks at the time-check board and at the station the train passes.
    int sign = p.frame_at(d.time_check_sign);
    size_t next = 0;
    while (next < d.stations.size() && d.stations[next].stop < d.time_check_sign) ++next;
    int expected = tm.departure[next - 1] + (tm.arrival[next] - tm.departure[next - 1]) / 2;
    t.row(sign - 30, sign + 30, expected);
    for (size_t k = 1; k < d.stations.size(); ++k)
      if (!d.stations[k].filmed_stop && !run.stops_at_pass_station) {
        int f = station_frame(d.stations[k], p);
        t.row(f - 30, f + 30, tm.departure[k]);
      }
  }
  t.line("#");
  t.line("[Switch]");
  for (double s : d.switches) t.row(p.frame_at(s), 0);
  t.line("#");
}

void pre_train(TextFile& t, const RunSpec& run, const Direction& d, const SpeedProfile& p,
               const Timing& tm) {
  if (!run.preceding_train) return;
  // The train ahead leaves every station four minutes earlier.
  t.line("[Pre_Train]").row(1, p.last_frame() - 100);
  for (size_t k = 0; k < d.stations.size(); ++k)
    t.row(tm.departure[k] - 240 * kTicks, int(k), station_frame(d.stations[k], p));
  t.line("#");
}

StafCard staf_card(const RunSpec& run, const Direction& d, const Timing& tm) {
  StafCard card;
  card.file = "image\\staf\\staf_" + run.train_number + ".bmp";
  card.title = run.train_number + " " + d.stations.back().name + "ゆき";
  for (size_t k = 0; k < d.stations.size(); ++k)
    card.rows.push_back({d.stations[k].name, tm.arrival[k], tm.departure[k],
                         d.stations[k].filmed_stop || run.stops_at_pass_station});
  return card;
}

void write_route(Output& out, SoundList& sounds, const RunSpec& run, std::vector<StafCard>& cards) {
  Direction d = direction(run.up);
  SpeedProfile p = plan_run(d);
  Timing tm = timetable(run, d, p);
  TextFile t;
  head(t, run, d, p);
  movie_switch(t, d, p, tm);
  speed_signal(t);
  t.line("[DataName]").line(film_names(run.up).main);
  t.line("[Perspective]").line("8.0").row(156);
  pre_train(t, run, d, p, tm);
  t.line("[OneMan]").row(run.one_man ? 1 : 0);
  sounds_section(t, sounds);
  t.line("[Monitor]")
      .line("train_tz100.dat")
      .row(440)
      .row(kPanelTop + 284)
      .row(112)
      .row(28)
      .line("image\\panel\\tz100\\monitor.bmp");
  announce_section(t, d);
  call_sounds(t, sounds);
  track_sounds(t, d, p);
  station_section(t, run, d, p, tm);
  signal_section(t, run, d, p);
  road_section(t, d, p);
  slope_section(t, d, p);
  call_tables(t, run, d);
  limit_section(t, d, p);
  image_lists(t);
  speed_unit(t, p);
  tail(t, run, d, p, tm);
  out.write(run.file, t);
  if (!run.train_number.empty()) cards.push_back(staf_card(run, d, tm));
}

}  // namespace

const std::vector<RunSpec>& run_catalogue() {
  static const std::vector<RunSpec> runs = {
      {"line_up_827M.dat", true, "827M", false, false, 8 * 3600 + 27 * 60, true, false},
      {"line_up_837M.dat", true, "837M", true, false, 8 * 3600 + 37 * 60, false, false},
      {"line_up_3821M.dat", true, "3821M", false, true, 7 * 3600 + 21 * 60, false, false},
      {"line_up_free.dat", true, "", false, false, 10 * 3600, false, false},
      {"line_down_838M.dat", false, "838M", false, false, 8 * 3600 + 38 * 60, true, false},
      {"line_down_832M.dat", false, "832M", false, false, 8 * 3600 + 32 * 60, false, true},
      {"line_down_3834M.dat", false, "3834M", false, true, 7 * 3600 + 34 * 60, false, false},
      {"line_down_free.dat", false, "", false, false, 10 * 3600, false, false},
  };
  return runs;
}

const std::vector<int>& limit_boards() {
  static const std::vector<int> boards = [] {
    std::vector<int> b;
    for (int v = 15; v <= 130; v += 5) b.push_back(v);
    return b;
  }();
  return boards;
}

std::string signal_picture(int n) {
  return numbered("image\\signal\\signal%02d.bmp", n);
}
std::string signal_sub_picture(int n) {
  return numbered("image\\signal\\sub%d.bmp", n);
}
std::string other_sign_picture(int cell) {
  if (cell == 0) return "image\\sign\\time_check.bmp";
  if (cell <= int(limit_boards().size()))
    return numbered("image\\sign\\limit%03d.bmp", limit_boards()[cell - 1]);
  return "image\\sign\\limit_end.bmp";
}
std::string sign_picture(int n) {
  static const char* names[] = {"image\\sign\\stop10.bmp", "image\\sign\\uphill.bmp",
                                "image\\sign\\downhill.bmp"};
  return names[n];
}
std::string anim_picture(int n) {
  return numbered("image\\anim\\crossing_lamp%02d.bmp", n);
}
std::string traffic_signal_picture(int n) {
  return numbered("image\\traffic\\traffic%d.bmp", n);
}
std::string cross_picture(int n) {
  return numbered("image\\cross\\cross%d.bmp", n);
}

std::vector<StafCard> write_routes(Output& out, SoundList& sounds) {
  std::vector<StafCard> cards;
  for (const RunSpec& run : run_catalogue()) write_route(out, sounds, run, cards);
  return cards;
}

FilmNames film_names(bool up) {
  return up ? FilmNames{"demo_up", "demo_up_cam2", "demo_up_sta"} : FilmNames{"demo_down", "", ""};
}

InsertPlan insert_plan(const Direction& d, const SpeedProfile& p) {
  InsertPlan in;
  // Another camera films the stretch over the level crossing from the lineside.
  in.camera_from = p.frame_at(d.crossing.at - 250);
  in.camera_to = p.frame_at(d.crossing.at + 50);
  in.camera_length = in.camera_to - in.camera_from;
  in.camera_return = in.camera_to + 5;
  // A scene on the platform of the third station while the train stands.
  in.station_index = 3;
  in.station_stop_frame = station_frame(d.stations[3], p);
  in.station_length = 10 * kFps;
  return in;
}

}  // namespace demo
