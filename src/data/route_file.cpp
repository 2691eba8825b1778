// The key table of the route file, in the reader's fixed order, with its
// section labels, the header lines, the growing image lists and the checks of
// the film's speed profile.
#include "data/route_file.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "data/definition_error.h"
#include "data/definition_reader.h"
#include "data/regular_file.h"
#include "data/route_positions.h"
#include "data/shift_jis.h"
#include "data/value_parse.h"

namespace cabsim {
namespace {

using R = DefinitionReader;

/// A row of integer fields taken from `line`, the first at comma field `first`.
template <typename Row>
void read_int_fields(Row& row, const std::string& line, int first = 1) {
  int n = first;
  Row::file_fields(row, [&](int32_t& value) { value = csv_integer(line, n++); });
}

template <typename Row>
Row int_row(const std::string& line) {
  Row row;
  read_int_fields(row, line);
  return row;
}

/// Builds the route file's key table over one record.
class RouteKeyTable {
 public:
  RouteKeyTable(RouteTables& route, const RouteReadContext& context) : t_(route), c_(context) {}

  std::vector<KeyEntry> build();

 private:
  void add(std::string_view key, std::function<void(R&)> read, std::string_view label = {}) {
    table_.push_back({key, label, std::move(read)});
  }
  /// A list key: its label is the key itself.
  void list(std::string_view key, std::function<void(R&)> read) { add(key, std::move(read), key); }
  void integer(std::string_view key, int32_t& field) {
    add(key, [&field](R& r) { field = r.read_integer(); });
  }
  void text(std::string_view key, std::string& field) {
    add(key, [&field](R& r) { field = r.read_text(); });
  }
  /// A list of rows of integer fields; the list restarts at entry 0.
  template <typename Row, size_t N>
  void int_rows(std::string_view key, std::array<Row, N>& table, int32_t& count,
                bool skip_remarks = false) {
    list(key, [&table, &count, skip_remarks](R& r) {
      count = 0;
      while (r.next_list_entry(skip_remarks))
        append_entry(table, count, N, int_row<Row>(r.current()));
    });
  }
  /// A list of one integer per line; the list restarts at entry 0.
  template <size_t N>
  void int_values(std::string_view key, std::array<int32_t, N>& table, int32_t& count) {
    list(key, [&table, &count](R& r) {
      count = 0;
      while (r.next_list_entry()) append_entry(table, count, N, to_integer(r.current()));
    });
  }
  /// A picture list that keeps growing when its key appears again.
  void images(std::string_view key, ImageList& images) {
    list(key, [&images](R& r) {
      while (r.next_list_entry())
        append_entry(images.files, images.count, kMaxListImages, r.current());
    });
  }

  void film_keys();
  void sound_keys();
  void station_keys();
  void sign_keys();
  void profile_keys();
  void read_monitor(R& r);
  void read_speed_units(R& r);

  RouteTables& t_;
  const RouteReadContext& c_;
  std::vector<KeyEntry> table_;
};

std::vector<KeyEntry> RouteKeyTable::build() {
  film_keys();
  sound_keys();
  station_keys();
  sign_keys();
  profile_keys();
  return std::move(table_);
}

void RouteKeyTable::film_keys() {
  text("[LineName]", t_.LineName);
  text("[LineName2]", t_.LineName2);
  integer("[StartPos]", t_.StartPos);
  integer("[FrameRate]", t_.FrameRate);
  add("[Staf]", [this](R& r) {
    for (auto& line : t_.Staf) line = r.read_text();
  });
  add("[Friction]", [this](R& r) { t_.Friction = r.read_fixed(); });
  list("[StafSwitch]", [this](R& r) {
    // The line after the key is entry 0 (the page height) whatever it holds.
    t_.StafSwitch_count = 0;
    append_entry(t_.StafSwitch, t_.StafSwitch_count, kMaxStafPages, r.read_integer());
    while (r.next_list_entry())
      append_entry(t_.StafSwitch, t_.StafSwitch_count, kMaxStafPages, to_integer(r.current()));
  });
  list("[MovieStop]", [this](R& r) {
    int32_t n = 0;
    while (r.next_list_entry()) {
      append_entry(t_.MovieStop, n, kMaxMovieStops, to_integer(r.current()));
      t_.MovieStop_filled = std::max(t_.MovieStop_filled, n);
    }
  });
  list("[MovieSwitch]", [this](R& r) {
    t_.MovieSwitch_count = 0;
    while (r.next_list_entry()) {
      const std::string& line = r.current();
      MovieSwitchData row;
      row.kind = csv_integer(line, 1);
      row.first_frame = csv_integer(line, 2);
      row.last_frame = csv_integer(line, 3);
      row.film = CsvField(line, 4);
      row.length = csv_integer(line, 5);
      row.target = csv_integer(line, 6);
      row.start_clock = csv_integer(line, 7);
      row.cue_frame = csv_integer(line, 8);
      row.cue_sound = csv_integer(line, 9);
      append_entry(t_.MovieSwitch, t_.MovieSwitch_count, kMaxMovieSwitches, std::move(row));
    }
  });
  int_values("[Speed_Signal]", t_.Speed_Signal, t_.Speed_Signal_count);
  text("[DataName]", t_.DataName);
  add("[Perspective]", [this](R& r) {
    t_.perspective.P1 = r.read_real();
    t_.perspective.P2 = r.read_integer();
  });
  list("[Pre_Train]", [this](R& r) {
    const std::string& header = r.next_line();
    t_.Pre_TrainHeader = {csv_integer(header, 1), csv_integer(header, 2)};
    t_.Pre_Train_count = 0;
    while (r.next_list_entry())
      append_entry(t_.Pre_Train, t_.Pre_Train_count, kMaxPreTrainRows,
                   int_row<PreTrainRow>(r.current()));
  });
  integer("[OneMan]", t_.OneMan);
}

void RouteKeyTable::read_monitor(R& r) {
  // Only the block of the current train is read; another train's lines are
  // left to the pass, which skips them as unknown lines.
  if (r.read_text() != c_.train_file_name) return;
  IndicatorImage& image = t_.Monitor.image;
  image.x = r.read_integer();
  image.y = r.read_integer();
  image.pattern_width = r.read_integer();
  image.pattern_height = r.read_integer();
  const std::string& name = r.read_text();
  image.file = name.empty() ? std::string() : c_.train_dir_prefix + name;
  t_.Monitor.present = true;
}

void RouteKeyTable::sound_keys() {
  list("[SoundData]", [this](R& r) {
    t_.SoundData_count = 0;
    t_.SoundData_seconds.fill(0);  // measured when the sounds are loaded
    while (r.next_list_entry())
      append_entry(t_.SoundData, t_.SoundData_count, kMaxEnvironmentSounds, r.current());
  });
  add("[Monitor]", [this](R& r) { read_monitor(r); });
  list("[Announce]", [this](R& r) {
    t_.AnnounceHeader = r.read_integer();
    t_.Announce_count = 0;
    while (r.next_list_entry())
      append_entry(t_.Announce, t_.Announce_count, kMaxAnnouncements,
                   int_row<AnnounceRow>(r.current()));
  });
  list("[KankoSound1]", [this](R& r) {
    for (auto& file : t_.KankoSound1) file = r.read_text();
  });
  list("[KankoSound2]", [this](R& r) {
    t_.KankoSound2_count = 0;
    while (r.next_list_entry())
      append_entry(t_.KankoSound2, t_.KankoSound2_count, kMaxKankoSound2,
                   KankoData{t_.KankoSound2_count, r.current()});
  });
  int_rows("[Sound]", t_.Sound, t_.Sound_count, true);
  int_rows("[Sound2]", t_.Sound2, t_.Sound2_count, true);
  int_rows("[Doppler]", t_.Doppler, t_.Doppler_count);
  int_rows("[Tunnel]", t_.Tunnel, t_.Tunnel_count);
  int_rows("[Atten]", t_.Atten, t_.Atten_count);
  list("[TunnelR]", [this](R& r) { t_.TunnelR = r.read_integer(); });
}

void RouteKeyTable::station_keys() {
  list("[Station]", [this](R& r) {
    t_.Station_count = 0;
    while (r.next_list_entry()) {
      const std::string& line = r.current();
      StationData row;
      row.name = CsvField(line, 1);
      read_int_fields(row, line, 2);
      append_entry(t_.Station, t_.Station_count, kMaxStations, std::move(row));
    }
    // The row after the last station stays empty even when a shorter list
    // replaces a longer one.
    std::fill(t_.Station.begin() + t_.Station_count, t_.Station.end(), StationData{});
  });
  int_values("[StopSound]", t_.StopSound, t_.StopSound_count);
  int_rows("[Signal]", t_.Signal, t_.Signal_count);
  int_rows("[TrafficSignal]", t_.TrafficSignal, t_.TrafficSignal_count);
  list("[Slope]", [this](R& r) {
    t_.Slope_count = 0;
    while (r.next_list_entry()) {
      const std::string& line = r.current();
      SlopeRow row{to_fixed(CsvField(line, 1)), csv_integer(line, 2), csv_integer(line, 3)};
      append_entry(t_.Slope, t_.Slope_count, kMaxSlopes, row);
    }
  });
}

void RouteKeyTable::sign_keys() {
  int_rows("[Sign]", t_.Sign, t_.Sign_count);
  int_rows("[Anim]", t_.Anim, t_.Anim_count);
  int_rows("[SignalKanko]", t_.SignalKanko, t_.SignalKanko_count);
  int_rows("[StationKanko]", t_.StationKanko, t_.StationKanko_count);
  int_rows("[SpeedLimit]", t_.SpeedLimit, t_.SpeedLimit_count);
  int_rows("[SpeedCheck1]", t_.SpeedCheck1, t_.SpeedCheck1_count);
  int_rows("[SpeedCheck2]", t_.SpeedCheck2, t_.SpeedCheck2_count);
  images("[SignImageList]", t_.SignImageList);
  list("[OtherImageList]", [this](R& r) {
    while (r.next_list_entry()) {
      OtherImageEntry entry;
      entry.image = r.current();
      entry.sound = r.read_text();
      append_entry(t_.OtherImageList, t_.OtherImageList_count, kMaxOtherImages, std::move(entry));
    }
  });
  images("[AnimImageList]", t_.AnimImageList);
  images("[SignalImageList]", t_.SignalImageList);
  images("[TrafficSignalImageList]", t_.TrafficSignalImageList);
  images("[SignalImageList2]", t_.SignalImageList2);
}

void RouteKeyTable::read_speed_units(R& r) {
  t_.SpeedUnit_count = 0;
  int64_t distance = 0;
  while (r.next_list_entry()) {
    const std::string& line = r.current();
    SpeedUnitData row;
    row.start_frame = csv_integer(line, 1);
    row.end_frame = csv_integer(line, 2);
    row.start_speed = csv_real(line, 3);
    row.end_speed = csv_real(line, 4);
    // A segment of no frames has no speed to place anything with, and one
    // that would place objects beyond any real line is a damaged file.
    if (row.end_frame == row.start_frame) throw ReadFailure{};
    if (!segment_fits(row, distance)) throw ReadFailure{};
    distance += *segment_distance(row);
    append_entry(t_.SpeedUnit, t_.SpeedUnit_count, kMaxSpeedUnits, row);
  }
}

void RouteKeyTable::profile_keys() {
  list("[SpeedUnit]", [this](R& r) { read_speed_units(r); });
  images("[CrossImageList]", t_.CrossImageList);
  int_rows("[Cross]", t_.Cross, t_.Cross_count);
  int_rows("[Time]", t_.Time, t_.Time_count);
  int_rows("[Switch]", t_.Switch, t_.Switch_count);
}

std::unique_ptr<RouteTables> read_route(DefinitionReader reader, const RouteReadContext& context) {
  auto route = std::make_unique<RouteTables>();
  RouteKeyTable keys(*route, context);
  std::vector<KeyEntry> table = keys.build();
  try {
    if (read_keyed_file(reader, table, kRoutePassLabel) == 0) {
      // Not one key of a route file: not a route file at all, told as a
      // missing one is.
      throw DefinitionError(route_error_message({}, {}));
    }
  } catch (const ReadFailure&) {
    throw DefinitionError(route_error_message(reader.label, reader.current()));
  }
  return route;
}

}  // namespace

std::string route_error_message(std::string_view label, std::string_view line) {
  std::string message(kRouteFileError);
  message += label;
  message += ':';
  message += sjis_to_utf8(line);
  return message;
}

std::unique_ptr<RouteTables> read_route_bytes(std::string bytes, const RouteReadContext& context) {
  return read_route(DefinitionReader(std::move(bytes)), context);
}

std::unique_ptr<RouteTables> read_route_file(const std::filesystem::path& path,
                                             const RouteReadContext& context) {
  DefinitionReader reader("");
  try {
    reader = DefinitionReader::open(path);
  } catch (const ReadFailure&) {
    // No pass has begun: no label is set and no line has been read.
    throw DefinitionError(route_error_message({}, {}));
  }
  return read_route(std::move(reader), context);
}

int32_t reread_speed_units(RouteTables& route, const std::filesystem::path& path) {
  constexpr std::uintmax_t kLargestFile = 64u << 20;
  std::error_code ec;
  if (!is_regular_file_path(path) || std::filesystem::file_size(path, ec) > kLargestFile || ec)
    return route.SpeedUnit_count;
  std::ifstream in(path, std::ios::binary);
  std::vector<SpeedUnitData> rows;
  bool in_list = false;
  int64_t distance = 0;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!in_list) {
      in_list = line.compare(0, 11, "[SpeedUnit]") == 0;
      continue;
    }
    if (line.rfind('#', 0) == 0 || rows.size() >= kMaxSpeedUnits) break;
    SpeedUnitData row;
    const auto start = parse_integer(CsvField(line, 1));
    const auto end = parse_integer(CsvField(line, 2));
    const auto from = parse_real(CsvField(line, 3));
    const auto to = parse_real(CsvField(line, 4));
    if (!start || !end || !from || !to || *start == *end) break;
    row.start_frame = *start;
    row.end_frame = *end;
    row.start_speed = *from;
    row.end_speed = *to;
    if (!segment_fits(row, distance)) break;
    distance += *segment_distance(row);
    rows.push_back(row);
  }
  if (rows.empty()) return route.SpeedUnit_count;
  // The distances computed at the set-up stay with their rows.
  for (size_t i = 0; i < rows.size(); ++i) {
    SpeedUnitData& kept = route.SpeedUnit[i];
    const int32_t end_distance = kept.end_distance;
    kept = rows[i];
    kept.end_distance = end_distance;
  }
  route.SpeedUnit_count = static_cast<int32_t>(rows.size());
  check_segment_order(route);
  return route.SpeedUnit_count;
}

}  // namespace cabsim
