// The route files of the run catalogue. Every frame number is derived from
// the line description and the filming train's speed profile.
#include "demo_routes.h"

#include "demo_trains.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

/// Call sounds 22 and up (`[KankoSound2]` record n is call 22 + n). A
/// signal's third value names the record of its name, which the calling key
/// says before the aspect.
enum CallSound {
  kCallStarting = 22,
  kCallHome = 23,
  kCallBlock = 24,
  kCallRepeater = 25,
  kCallCrossing = 26,
  kCallCrossingWatch = 27,
  kCallPass = 28,
};

// The calls as they are spoken (kana, for the speech synthesiser). Slots 0
// to 5 and 21 are aspects, 6 to 12 how far off time, 13 to 18 the words of
// the two time calls (late, early, on time), 19 doors closed, 20 departure.
const char* const kCalls1[22] = {"ていし",
                                 "けいかい",
                                 "ちゅうい",
                                 "げんそく",
                                 "しんこう",
                                 "よくし",
                                 "さんじゅうびょう",
                                 "よんじゅうごびょう",
                                 "いっぷん",
                                 "いっぷん じゅうごびょう",
                                 "いっぷん さんじゅうびょう",
                                 "いっぷん よんじゅうごびょう",
                                 "にふん",
                                 "おくれ",
                                 "おくれ かいふく",
                                 "はやい",
                                 "はやちゃく ちゅうい",
                                 "ていじ",
                                 "じこく よし",
                                 "とじめ よし",
                                 "はっしゃ",
                                 "こうそく しんこう"};
const char* const kCalls2[] = {"しゅっぱつ",    "じょうない",        "へいそく", "ちゅうけい",
                               "ふみきり よし", "ふみきり ちゅうい", "つうか"};

/// `kmh` in kana, as a limit board is called (15 .. 195).
std::string kmh_kana(int kmh) {
  static const char* const tens[] = {"",           "じゅう",      "にじゅう",   "さんじゅう",
                                     "よんじゅう", "ごじゅう",    "ろくじゅう", "ななじゅう",
                                     "はちじゅう", "きゅうじゅう"};
  static const char* const units[] = {"",   "いち", "に",   "さん", "よん",
                                      "ご", "ろく", "なな", "はち", "きゅう"};
  return std::string(kmh >= 100 ? "ひゃく" : "") + tens[(kmh / 10) % 10] + units[kmh % 10];
}

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

bool stops_at(const RunSpec& run, const Station& s) {
  return s.filmed_stop || run.stops_at_pass_station;
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
    bool stops = stops_at(run, d.stations[k]);
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
  std::string kind = run.train_number.empty() ? (run.cab_signal ? "自由運転 ATC" : "自由運転")
                                              : (run.one_man ? "ワンマン" : "各駅停車");
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
  // The crossing bell is heard from 300 m either side of the crossing; the
  // tunnel roars at the pitch and level of the speed while the train is in it.
  const int bell = p.frame_at(d.crossing.at);
  const int bell_range = std::abs(bell - p.frame_at(d.crossing.at - 300));
  const int tin = p.frame_at(d.tunnel.from), tout = p.frame_at(d.tunnel.to);
  t.line("[Sound]")
      .line("; 踏切の警報音")
      .row(int(kCrossingBell), bell, 0, 1, 0, 0, bell_range)
      .line("; トンネルの走行音")
      .row(int(kTunnelRoar), std::min(tin, tout), 60, 2, 1, 1, std::abs(tout - tin))
      .line("#");
  t.line("[Sound2]").row(int(kCabAmbient), 0, int(d.stations.size() - 1)).line("#");
  t.line("[Doppler]").row(int(kPassingTrain), p.frame_at(d.passing_train), 30000, 0).line("#");
  t.line("[Tunnel]").row(tin, tout, 0).line("#");
  t.line("[Atten]").row(tin, tout, 0, 160).line("#");
  t.line("[TunnelR]").row(5);
}

void station_section(TextFile& t, const RunSpec& run, const Direction& d, const SpeedProfile& p,
                     const Timing& tm) {
  t.line("[Station]");
  for (size_t k = 0; k < d.stations.size(); ++k) {
    const Station& s = d.stations[k];
    bool stop = stops_at(run, s);
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

/// Lamp arrangement of every cab-signal section.
constexpr int kCabSignalType = 8;
/// Aspect of the cab signal over the approach to a station the train stops
/// at: 45 km/h of `[Speed_Signal]`.
constexpr int kCabStationApproachAspect = 2;
/// Half the stop zone of every station (the `[Station]` rows' 300 cm), m.
constexpr double kStopZoneHalf = 3;

void speed_signal(TextFile& t) {
  t.line("[Speed_Signal]");
  for (int v : {0, 25, 45, 75, 100}) t.row(v);
  t.line("#");
}

/// Frames after a signal over which the train is judged to pass it.
constexpr int kPassingFrames = 20;

/// One `[Signal]` row.
struct SignalRow {
  int kind = 0, sub = 0, number = 0, type = 0;
  int view_from = 0, view_to = 0, transponder = 0, frame = 0;
  int fixed_aspect = 0, control = 0;
};

/// The signals of a run. Row 0 is the entry of the line: it stands at the
/// start, is never in view and is never set to stop; the line's signals
/// follow, signal_posts[i] in row i + 1.
std::vector<SignalRow> signal_rows(const RunSpec& run, const Direction& d, const SpeedProfile& p) {
  std::vector<SignalRow> rows;
  SignalRow entry;
  entry.type = run.cab_signal ? kCabSignalType : signal_type(SignalRole::home);
  rows.push_back(entry);
  int prev_frame = 0;
  for (const Signal& s : d.signal_posts) {
    SignalRow r;
    r.frame = p.frame_at(s.at);
    r.view_to = r.frame;
    r.view_from = p.frame_at(s.view_from);
    // The third value names the call of the signal's name.
    r.number = s.role == SignalRole::starting ? kCallStarting - 22
               : s.role == SignalRole::home   ? kCallHome - 22
               : s.role == SignalRole::block  ? kCallBlock - 22
                                              : kCallRepeater - 22;
    r.type = run.cab_signal ? kCabSignalType : signal_type(s.role);
    r.sub = s.role == SignalRole::starting ? 1 : (s.role == SignalRole::repeater ? 2 : 0);
    r.transponder = std::max(prev_frame + 1, p.frame_at(s.at - 500));
    // A starting signal clears when the departure melody of its station
    // starts; at a station the train passes it works as an automatic signal.
    const bool stop_here = s.station >= 0 && stops_at(run, d.stations[s.station]);
    if (s.role == SignalRole::starting && stop_here) {
      r.kind = 3;
      r.control = s.station;
      // Its transponder lies beyond the stop zone: a train that stops at the
      // marker is not warned, one that leaves at stop is.
      r.transponder = p.frame_at(d.stations[s.station].stop + 15);
      // In the cab its section begins beyond the stop zone, so a train
      // standing at the platform is not in it.
      if (run.cab_signal) r.view_from = p.frame_at(d.stations[s.station].stop + kStopZoneHalf + 2);
    }
    if (run.cab_signal && s.role == SignalRole::home) {
      const size_t next =
          size_t(std::find_if(d.stations.begin(), d.stations.end(),
                              [&](const Station& st) { return st.platform.from > s.at; }) -
                 d.stations.begin());
      if (next < d.stations.size() && stops_at(run, d.stations[next])) {
        r.kind = 2;  // the platform is entered at 45 km/h
        r.fixed_aspect = kCabStationApproachAspect;
      }
    }
    // The signal behind is judged as passed over the 20 frames after it, by
    // the picture of the signal in view: this one comes into view after.
    r.view_from = std::max(r.view_from, prev_frame + kPassingFrames);
    rows.push_back(r);
    prev_frame = r.frame;
  }
  return rows;
}

void signal_section(TextFile& t, const std::vector<SignalRow>& rows) {
  t.line("[Signal]");
  for (const SignalRow& r : rows)
    t.row(r.kind, r.sub, r.number, r.type, r.view_from, r.view_to, r.transponder, r.frame,
          r.fixed_aspect, r.control, 0, 0, 0);
  t.line("#");
}

/// Phases of the road traffic signal beside the crossing road, ticks of
/// 100 ms: green 30 s, yellow 3 s, then red while the crossing road has its
/// green and yellow with an all-red second either side; a minute in all.
struct RoadPhase {
  int cell, ticks, proceed;
};
constexpr RoadPhase kRoadPhases[6] = {{0, 300, 1}, {1, 30, 0}, {2, 20, 0},
                                      {2, 200, 0}, {2, 30, 0}, {2, 20, 0}};
constexpr int kRoadStopCell = 3, kRoadProceedCell = 4;

void road_section(TextFile& t, const Direction& d, const SpeedProfile& p) {
  // The signal is in view over its last 150 m. Its second point, 300 m
  // before it, puts the middle of the two at the start of the view: from
  // there to the signal the small picture tells stop or proceed, and the
  // first notice counts down the metres to a signal at stop (selector 1).
  const int at = p.frame_at(d.road_signal);
  std::vector<int> f = {at, p.frame_at(d.road_signal - 150), at};
  for (const RoadPhase& ph : kRoadPhases) f.insert(f.end(), {ph.cell, ph.ticks, ph.proceed});
  f.insert(f.end(), {p.frame_at(d.road_signal - 300), at, kRoadStopCell, kRoadProceedCell, 1});
  std::string row;
  for (int v : f) row += (row.empty() ? "" : ",") + std::to_string(v);
  t.line("[TrafficSignal]").line(row).line("#");
}

/// The level crossing's warning, from 300 m before it until the train is over it.
Stretch crossing_warning(const Direction& d) {
  return {d.crossing.at - 300, d.crossing.at + 10};
}

void slope_section(TextFile& t, const Direction& d, const SpeedProfile& p) {
  t.line("[Slope]");
  for (const Gradient& g : d.gradients)
    t.row(g.permille, p.frame_at(g.at.from), p.frame_at(g.at.to));
  t.line("#");
  t.line("[Sign]")
      .row(p.frame_at(d.time_check_sign - 150), p.frame_at(d.time_check_sign), 0, 0)
      .line("#");
  // The crossing's warning lamps blink while it warns: a step every 0.6 s.
  Stretch w = crossing_warning(d);
  t.line("[Anim]").row(p.frame_at(w.from), p.frame_at(w.to), 5, 0).line("#");
}

void call_tables(TextFile& t, const RunSpec& run, const Direction& d, const Timing& tm) {
  // At a starting signal of a station the train passes, "pass" follows the
  // aspect.
  t.line("[SignalKanko]");
  for (size_t i = 0; i < d.signal_posts.size(); ++i) {
    const Signal& s = d.signal_posts[i];
    if (s.role == SignalRole::starting && s.station >= 0 && !stops_at(run, d.stations[s.station]))
      t.row(int(i) + 1, 2, int(kCallPass));  // row 0 is the line's entry
  }
  t.line("#");
  // At every stop: once the doors are closed, the time against the
  // timetable; at the first notch, the starting signal (as if Enter were
  // pressed). A one-man driver also calls the time on arrival.
  t.line("[StationKanko]");
  for (size_t k = 0; k < d.stations.size(); ++k) {
    if (!stops_at(run, d.stations[k])) continue;
    if (run.one_man && k > 0) t.row(int(k), 4, tm.arrival[k]);
    t.row(int(k), 2, tm.departure[k]);
    t.row(int(k), 3, 999);
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
      .row(35, 0, p.frame_at(d.signal_posts[home].at - 60), int(home) + 1)
      .line("#");
  const Curve* sharp = &d.curves[0];
  for (const Curve& c : d.curves)
    if (std::fabs(c.radius) < std::fabs(sharp->radius)) sharp = &c;
  t.line("[SpeedCheck2]")
      .row(75, 0, p.frame_at(sharp->at.from), p.frame_at(sharp->at.to))
      .line("#");
}

void image_lists(TextFile& t, SoundList& sounds) {
  t.line("[SignImageList]");  // after the train's stop marker
  for (int i = 0; i < 2; ++i) t.line(sign_picture(i));
  t.line("#");
  // The limit boards are called by their speed; the time-check board has no
  // sound of its own.
  t.line("[OtherImageList]");
  const auto& boards = limit_boards();
  for (int i = 0; i <= int(boards.size()) + 1; ++i) {
    t.line(other_sign_picture(i));
    if (i == 0)
      t.line("");
    else if (i <= int(boards.size()))
      t.line(sounds.add(numbered("sound\\call\\limit%03d.wav", boards[size_t(i) - 1]),
                        SoundKind::speech, 0, "せいげん " + kmh_kana(boards[size_t(i) - 1])));
    else
      t.line(sounds.add("sound\\call\\limit_end.wav", SoundKind::speech, 0, "せいげん かいじょ"));
  }
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
  Stretch w = crossing_warning(d);
  t.line("[Cross]");
  // Going up, the crossing lies just beyond the platform of 桜川 and closes
  // when the departure melody starts there. A row from the run-in to the
  // platform shows the crossing ahead with its indicator (row 2, the crossing
  // itself) dark until the crossing closes; the crossing's own row follows.
  size_t before = 0;
  for (size_t k = 0; k < d.stations.size(); ++k)
    if (d.stations[k].stop < d.crossing.at) before = k;
  const Station& near = d.stations[before];
  const bool linked = before > 0 && stops_at(run, near) && d.crossing.at - near.stop < 500;
  if (linked)
    t.row(0, int(kCallCrossingWatch), p.frame_at(near.stop - 100), p.frame_at(w.from + 50), 2);
  t.row(0, int(kCallCrossing), p.frame_at(w.from), p.frame_at(w.to), 0);
  t.line("#");
  t.line("[Time]");
  if (!run.train_number.empty()) {
    // Time checks at the time-check board and at the station the train passes.
    int sign = p.frame_at(d.time_check_sign);
    size_t next = 0;
    while (next < d.stations.size() && d.stations[next].stop < d.time_check_sign) ++next;
    int expected = tm.departure[next - 1] + (tm.arrival[next] - tm.departure[next - 1]) / 2;
    t.row(sign - 30, sign + 30, expected);
    for (size_t k = 1; k < d.stations.size(); ++k)
      if (!stops_at(run, d.stations[k])) {
        int f = station_frame(d.stations[k], p);
        t.row(f - 30, f + 30, tm.departure[k]);
      }
  }
  t.line("#");
  t.line("[Switch]");
  for (double s : d.switches) t.row(p.frame_at(s), 0);
  t.line("#");
}

/// How far the train ahead runs before a timetabled train: it reaches every
/// station this long before the train does and stands there as long. Two
/// minutes keep it within the few signals ahead on this short line: a train
/// on time meets caution aspects that clear as the train ahead moves on, one
/// running early is held at a home signal.
constexpr int kHeadwaySeconds = 120;

void pre_train(TextFile& t, const RunSpec& run, const Direction& d, const SpeedProfile& p,
               const Timing& tm) {
  if (!run.preceding_train) return;
  // It leaves the signalled line once past the terminal's home signal, the last one.
  t.line("[Pre_Train]").row(1, p.frame_at(d.signal_posts.back().at));
  for (size_t k = 0; k < d.stations.size(); ++k)
    t.row(tm.arrival[k] - kHeadwaySeconds * kTicks, int(k),
          (tm.departure[k] - tm.arrival[k]) / kTicks);
  t.line("#");
}

StafCard staf_card(const RunSpec& run, const Direction& d, const Timing& tm) {
  StafCard card;
  card.file = "image\\staf\\staf_" + run.train_number + ".bmp";
  card.title = run.train_number + " " + d.stations.back().name + "ゆき";
  for (size_t k = 0; k < d.stations.size(); ++k)
    card.rows.push_back(
        {d.stations[k].name, tm.arrival[k], tm.departure[k], stops_at(run, d.stations[k])});
  return card;
}

void write_route(Output& out, SoundList& sounds, const RunSpec& run, std::vector<StafCard>& cards) {
  Direction d = direction(run.up);
  SpeedProfile p = plan_run(d);
  Timing tm = timetable(run, d, p);
  // Signals in the cab need no repeaters.
  if (run.cab_signal)
    std::erase_if(d.signal_posts, [](const Signal& s) { return s.role == SignalRole::repeater; });
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
  t.line("[Monitor]")
      .line("train_tz100_atc.dat")
      .row(440)
      .row(kPanelTop + 284)
      .row(112)
      .row(28)
      .line("image\\panel\\tz100atc\\monitor.bmp");
  announce_section(t, d);
  call_sounds(t, sounds);
  track_sounds(t, d, p);
  station_section(t, run, d, p, tm);
  signal_section(t, signal_rows(run, d, p));
  road_section(t, d, p);
  slope_section(t, d, p);
  call_tables(t, run, d, tm);
  limit_section(t, d, p);
  image_lists(t, sounds);
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
      {"line_down_atc.dat", false, "", false, false, 10 * 3600, false, false, true},
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
  static const char* names[] = {"image\\sign\\uphill.bmp", "image\\sign\\downhill.bmp"};
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
