// Writing, reading and keeping the run record files.
#include "platform/run_record_file.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "data/shift_jis.h"

namespace cabsim {
namespace fs = std::filesystem;
namespace {

constexpr const char* kFormat = "cabsim-run-record";
constexpr const char* kSamplesHeaderV1 =
    "tick,clock,speed_kmh,position_cm,brake_cylinder_kpa,power_notch,brake_notch,limit_kmh,"
    "pattern_kmh";
constexpr const char* kSamplesHeader =
    "tick,clock,speed_kmh,position_cm,brake_cylinder_kpa,power_notch,brake_notch,limit_kmh,"
    "pattern_kmh,film,frame";

QString text(const std::string& sjis) {
  return QString::fromStdString(sjis_to_utf8(sjis));
}

std::string sjis(const QJsonValue& v) {
  return utf8_to_sjis(v.toString().toStdString());
}

QJsonObject stop_json(const StopRecord& r) {
  QJsonObject o;
  o["station"] = r.station;
  o["name"] = text(r.name);
  o["start"] = r.start;
  o["moved"] = r.moved;
  o["doors_opened"] = r.doors_opened;
  o["in_zone"] = r.in_zone;
  o["stop_position_cm"] = r.stop_position;
  o["stop_error_cm"] = static_cast<qint64>(r.stop_error_cm);
  o["half_zone_cm"] = r.half_zone;
  o["arrival_clock"] = r.arrival_clock;
  o["departure_clock"] = r.departure_clock;
  o["scheduled_departure_clock"] = r.scheduled_departure;
  o["top_speed_kmh"] = r.top_speed;
  o["hardest_brake"] = r.hardest_brake;
  o["emergency_brake"] = r.emergency_brake;
  return o;
}

QJsonObject event_json(const RunEvent& e) {
  QJsonObject o;
  o["kind"] = static_cast<int>(e.kind);
  o["tick"] = e.tick;
  o["clock"] = e.clock;
  o["position_cm"] = e.position;
  o["speed_kmh"] = e.speed;
  o["limit_kmh"] = e.limit;
  o["excess_kmh"] = e.excess;
  o["ticks"] = e.ticks;
  return o;
}

QJsonObject input_json(const RecordedInput& x) {
  QJsonObject o;
  o["kind"] = kRunInputKindNames[static_cast<size_t>(x.input.kind)];
  o["sample"] = x.sample;
  o["tick"] = x.tick;
  o["clock"] = x.clock;
  o["code"] = x.input.code;
  o["value"] = x.input.value;
  // Serial lines are bytes of the controller: kept one character a byte.
  const std::string_view line = x.input.line();
  if (!line.empty())
    o["text"] = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
  return o;
}

QByteArray summary_bytes(const RunRecordData& r) {
  QJsonObject o;
  o["format"] = kFormat;
  o["version"] = kRunRecordVersion;
  o["program_dir"] = QString::fromStdString(r.program_dir);
  o["route"] = text(r.route_file);
  o["train"] = text(r.train_file);
  o["start_station"] = r.start_station;
  o["brake_steps"] = r.brake_steps;
  o["samples"] = static_cast<qint64>(r.samples.size());
  o["samples_dropped"] = static_cast<qint64>(r.samples_dropped);
  o["stops_dropped"] = static_cast<qint64>(r.stops_dropped);
  o["events_dropped"] = static_cast<qint64>(r.events_dropped);
  QJsonArray stops;
  for (const StopRecord& s : r.stops) stops.append(stop_json(s));
  o["stops"] = stops;
  QJsonArray events;
  for (const RunEvent& e : r.events) events.append(event_json(e));
  o["events"] = events;
  QJsonArray films;
  for (const std::string& f : r.films) films.append(QString::fromStdString(f));
  o["films"] = films;
  o["inputs_dropped"] = static_cast<qint64>(r.inputs_dropped);
  QJsonArray inputs;
  for (const RecordedInput& x : r.inputs) inputs.append(input_json(x));
  o["inputs"] = inputs;
  return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

QByteArray samples_bytes(const RunRecordData& r) {
  std::ostringstream out;
  out << kSamplesHeader << '\n';
  char line[192];
  for (const RunSample& x : r.samples) {
    const int n = std::snprintf(line, sizeof line, "%d,%d,%.3f,%.1f,%.2f,%d,%d,%d,%d,%d,%d\n",
                                x.tick, x.clock, static_cast<double>(x.speed), x.position,
                                static_cast<double>(x.brake_cylinder), x.power_notch, x.brake_notch,
                                x.limit, x.pattern, x.film, x.frame);
    out.write(line, std::min<int>(n, static_cast<int>(sizeof line) - 1));
  }
  return QByteArray::fromStdString(out.str());
}

bool write_whole(const fs::path& file, const QByteArray& bytes, std::string& error) {
  QSaveFile f(QString::fromStdString(file.string()));
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
    error = std::string(kRecordCannotSave) + ": " + f.errorString().toStdString();
    return false;
  }
  return true;
}

std::optional<QByteArray> read_whole(const fs::path& file) {
  std::error_code ec;
  const uintmax_t size = fs::file_size(file, ec);
  if (ec || size > kMaxRecordFileBytes) return std::nullopt;
  QFile f(QString::fromStdString(file.string()));
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  return f.readAll();
}

/// An integer member within [lo, hi], else nothing.
std::optional<int64_t> whole(const QJsonObject& o, const char* key, int64_t lo, int64_t hi) {
  const QJsonValue v = o.value(key);
  if (!v.isDouble()) return std::nullopt;
  const double d = v.toDouble();
  if (!std::isfinite(d) || d != std::floor(d) || d < static_cast<double>(lo) ||
      d > static_cast<double>(hi))
    return std::nullopt;
  return static_cast<int64_t>(d);
}

std::optional<double> real(const QJsonObject& o, const char* key) {
  const QJsonValue v = o.value(key);
  if (!v.isDouble() || !std::isfinite(v.toDouble())) return std::nullopt;
  return v.toDouble();
}

constexpr int64_t kI32Min = INT32_MIN;
constexpr int64_t kI32Max = INT32_MAX;

std::optional<StopRecord> read_stop(const QJsonObject& o) {
  StopRecord r;
  const auto station = whole(o, "station", 0, kMaxStations - 1);
  const auto position = whole(o, "stop_position_cm", kI32Min, kI32Max);
  const auto error = whole(o, "stop_error_cm", INT64_MIN / 2, INT64_MAX / 2);
  const auto half = whole(o, "half_zone_cm", kI32Min, kI32Max);
  const auto arrival = whole(o, "arrival_clock", kI32Min, kI32Max);
  const auto departure = whole(o, "departure_clock", kI32Min, kI32Max);
  const auto scheduled = whole(o, "scheduled_departure_clock", kI32Min, kI32Max);
  const auto top = real(o, "top_speed_kmh");
  const auto brake = whole(o, "hardest_brake", 0, 1000);
  const auto emergency = whole(o, "emergency_brake", 0, 1000);
  if (!station || !position || !error || !half || !arrival || !departure || !scheduled || !top ||
      !brake || !emergency || !o.value("name").isString())
    return std::nullopt;
  r.station = static_cast<int32_t>(*station);
  r.name = sjis(o.value("name"));
  r.start = o.value("start").toBool();
  r.moved = o.value("moved").toBool();
  r.doors_opened = o.value("doors_opened").toBool();
  r.in_zone = o.value("in_zone").toBool();
  r.stop_position = static_cast<int32_t>(*position);
  r.stop_error_cm = *error;
  r.half_zone = static_cast<int32_t>(*half);
  r.arrival_clock = static_cast<int32_t>(*arrival);
  r.departure_clock = static_cast<int32_t>(*departure);
  r.scheduled_departure = static_cast<int32_t>(*scheduled);
  r.top_speed = *top;
  r.hardest_brake = static_cast<int32_t>(*brake);
  r.emergency_brake = static_cast<int32_t>(*emergency);
  return r;
}

std::optional<RunEvent> read_event(const QJsonObject& o) {
  RunEvent e;
  const auto kind = whole(o, "kind", 0, static_cast<int64_t>(RunEventKind::kLimitExceeded));
  const auto tick = whole(o, "tick", kI32Min, kI32Max);
  const auto clock = whole(o, "clock", kI32Min, kI32Max);
  const auto position = real(o, "position_cm");
  const auto speed = real(o, "speed_kmh");
  const auto limit = whole(o, "limit_kmh", kI32Min, kI32Max);
  const auto excess = real(o, "excess_kmh");
  const auto ticks = whole(o, "ticks", 0, kI32Max);
  if (!kind || !tick || !clock || !position || !speed || !limit || !excess || !ticks)
    return std::nullopt;
  e.kind = static_cast<RunEventKind>(*kind);
  e.tick = static_cast<int32_t>(*tick);
  e.clock = static_cast<int32_t>(*clock);
  e.position = *position;
  e.speed = *speed;
  e.limit = static_cast<int32_t>(*limit);
  e.excess = *excess;
  e.ticks = static_cast<int32_t>(*ticks);
  return e;
}

std::optional<RecordedInput> read_input(const QJsonObject& o, int64_t samples) {
  RecordedInput x;
  const QString kind = o.value("kind").toString();
  const auto* name = std::find_if(kRunInputKindNames.begin(), kRunInputKindNames.end(),
                                  [&](const char* n) { return kind == QLatin1String(n); });
  const auto sample = whole(o, "sample", 0, samples);
  const auto tick = whole(o, "tick", kI32Min, kI32Max);
  const auto clock = whole(o, "clock", kI32Min, kI32Max);
  const auto code = whole(o, "code", kI32Min, kI32Max);
  const auto value = whole(o, "value", kI32Min, kI32Max);
  const QJsonValue text = o.value("text");
  if (name == kRunInputKindNames.end() || !sample || !tick || !clock || !code || !value ||
      !(text.isUndefined() || text.isString()))
    return std::nullopt;
  const QString line = text.toString();
  if (line.size() > static_cast<qsizetype>(kRunInputTextBytes)) return std::nullopt;
  for (QChar c : line)
    if (c.unicode() > 0xFF) return std::nullopt;
  x.input.kind = static_cast<RunInputKind>(name - kRunInputKindNames.begin());
  x.input.code = static_cast<int32_t>(*code);
  x.input.value = static_cast<int32_t>(*value);
  x.input.set_line(line.toLatin1().toStdString());
  x.sample = static_cast<int32_t>(*sample);
  x.tick = static_cast<int32_t>(*tick);
  x.clock = static_cast<int32_t>(*clock);
  return x;
}

/// Reads the sample rows; false on any row that is not nine numbers (version
/// 1) or eleven.
bool read_samples(const QByteArray& bytes, size_t expected, bool first_version,
                  std::vector<RunSample>& out) {
  std::istringstream in(bytes.toStdString());
  std::string line;
  if (!std::getline(in, line) || line != (first_version ? kSamplesHeaderV1 : kSamplesHeader))
    return false;
  out.reserve(std::min(expected, kMaxRecordSamples));
  while (std::getline(in, line)) {
    if (out.size() >= kMaxRecordSamples) return false;
    RunSample x;
    int tick = 0, clock = 0, power = 0, brake = 0, limit = 0, pattern = 0;
    int film = kNoRecordValue, frame = kNoRecordValue;
    double speed = 0, position = 0, cylinder = 0;
    char tail = 0;
    const int fields = first_version ? 9 : 11;
    const int got =
        first_version
            ? std::sscanf(line.c_str(), "%d,%d,%lf,%lf,%lf,%d,%d,%d,%d%c", &tick, &clock, &speed,
                          &position, &cylinder, &power, &brake, &limit, &pattern, &tail)
            : std::sscanf(line.c_str(), "%d,%d,%lf,%lf,%lf,%d,%d,%d,%d,%d,%d%c", &tick, &clock,
                          &speed, &position, &cylinder, &power, &brake, &limit, &pattern, &film,
                          &frame, &tail);
    if (got != fields) return false;
    // A film index past the record's films is checked against them later.
    if (film < kNoRecordValue || film >= static_cast<int>(kMaxRecordFilms) ||
        frame < kNoRecordValue)
      return false;
    if (!std::isfinite(speed) || !std::isfinite(position) || !std::isfinite(cylinder) ||
        std::abs(power) > INT16_MAX || std::abs(brake) > INT16_MAX || std::abs(limit) > INT16_MAX ||
        std::abs(pattern) > INT16_MAX)
      return false;
    x.tick = tick;
    x.clock = clock;
    x.speed = static_cast<float>(speed);
    x.position = position;
    x.brake_cylinder = static_cast<float>(cylinder);
    x.power_notch = static_cast<int16_t>(power);
    x.brake_notch = static_cast<int16_t>(brake);
    x.limit = static_cast<int16_t>(limit);
    x.pattern = static_cast<int16_t>(pattern);
    x.film = static_cast<int16_t>(film);
    x.frame = frame;
    out.push_back(x);
  }
  return out.size() == expected;
}

/// A name record_stem_now gives: "yyyyMMdd-HHmmss-zzz". Only such files
/// are listed and removed, never another file of the folder.
bool record_stem(const std::string& stem) {
  if (stem.size() != 19 || stem[8] != '-' || stem[15] != '-') return false;
  for (size_t i = 0; i < stem.size(); ++i)
    if (i != 8 && i != 15 && (stem[i] < '0' || stem[i] > '9')) return false;
  return true;
}

fs::path samples_of(const fs::path& summary) {
  fs::path p = summary;
  p.replace_extension(".csv");
  return p;
}

}  // namespace

fs::path run_record_folder() {
  return fs::path(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()) /
         "runs";
}

std::string record_stem_now() {
  return QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss-zzz").toStdString();
}

std::optional<fs::path> save_run_record(const RunRecordData& record, const fs::path& folder,
                                        const std::string& stem, std::string& error) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    error = std::string(kRecordCannotSave) + ": " + ec.message();
    return std::nullopt;
  }
  const fs::path summary = folder / (stem + ".json");
  // The samples go first: a summary is only ever there with its samples.
  if (!write_whole(samples_of(summary), samples_bytes(record), error)) return std::nullopt;
  if (!write_whole(summary, summary_bytes(record), error)) {
    fs::remove(samples_of(summary), ec);
    return std::nullopt;
  }
  const std::vector<fs::path> all = list_run_records(folder);
  for (size_t i = kMaxSavedRuns; i < all.size(); ++i) {
    fs::remove(all[i], ec);
    fs::remove(samples_of(all[i]), ec);
  }
  return summary;
}

std::vector<fs::path> list_run_records(const fs::path& folder) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (p.extension() == ".json" && record_stem(p.stem().string()) && it->is_regular_file(ec))
      found.push_back(p);
  }
  std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
    return a.filename().string() > b.filename().string();
  });
  return found;
}

std::optional<SavedRunRecord> load_run_record(const fs::path& summary, std::string& error) {
  error = kRecordDamaged;
  const auto bytes = read_whole(summary);
  if (!bytes) return std::nullopt;
  QJsonParseError parse{};
  const QJsonDocument doc = QJsonDocument::fromJson(*bytes, &parse);
  if (parse.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
  const QJsonObject o = doc.object();
  if (o.value("format").toString() != kFormat) return std::nullopt;
  const auto version = whole(o, "version", 0, kI32Max);
  if (!version) return std::nullopt;
  if (*version != kRunRecordVersion && *version != kRunRecordFirstVersion) {
    error = kRecordOtherVersion;
    return std::nullopt;
  }
  SavedRunRecord saved;
  saved.summary = summary;
  RunRecordData& r = saved.data;
  const auto start = whole(o, "start_station", 0, kMaxStations - 1);
  const auto brake = whole(o, "brake_steps", 0, 1000);
  const auto samples = whole(o, "samples", 0, static_cast<int64_t>(kMaxRecordSamples));
  if (!start || !brake || !samples || !o.value("route").isString() || !o.value("stops").isArray() ||
      !o.value("events").isArray())
    return std::nullopt;
  const bool first_version = *version == kRunRecordFirstVersion;
  if (!first_version && (!o.value("program_dir").isString() || !o.value("films").isArray() ||
                         !o.value("inputs").isArray()))
    return std::nullopt;
  r.program_dir = o.value("program_dir").toString().toStdString();
  r.route_file = sjis(o.value("route"));
  r.train_file = sjis(o.value("train"));
  r.start_station = static_cast<int32_t>(*start);
  r.brake_steps = static_cast<int32_t>(*brake);
  const QJsonArray stops = o.value("stops").toArray();
  const QJsonArray events = o.value("events").toArray();
  if (static_cast<size_t>(stops.size()) > kMaxRecordStops ||
      static_cast<size_t>(events.size()) > kMaxRecordEvents)
    return std::nullopt;
  for (const QJsonValue& v : stops) {
    auto s = read_stop(v.toObject());
    if (!s) return std::nullopt;
    r.stops.push_back(std::move(*s));
  }
  for (const QJsonValue& v : events) {
    auto e = read_event(v.toObject());
    if (!e) return std::nullopt;
    r.events.push_back(*e);
  }
  const QJsonArray films = o.value("films").toArray();
  const QJsonArray inputs = o.value("inputs").toArray();
  if (static_cast<size_t>(films.size()) > kMaxRecordFilms ||
      static_cast<size_t>(inputs.size()) > kMaxRecordInputs)
    return std::nullopt;
  for (const QJsonValue& v : films) {
    if (!v.isString()) return std::nullopt;
    r.films.push_back(v.toString().toStdString());
  }
  for (const QJsonValue& v : inputs) {
    auto x = read_input(v.toObject(), *samples);
    // Inputs lie in the order they came, which the replay relies on.
    if (!x || (!r.inputs.empty() && x->sample < r.inputs.back().sample)) return std::nullopt;
    r.inputs.push_back(*x);
  }
  if (!first_version) {
    const auto dropped = whole(o, "inputs_dropped", 0, kI32Max);
    if (!dropped) return std::nullopt;
    r.inputs_dropped = static_cast<size_t>(*dropped);
  }
  const auto sample_bytes = read_whole(samples_of(summary));
  if (!sample_bytes ||
      !read_samples(*sample_bytes, static_cast<size_t>(*samples), first_version, r.samples))
    return std::nullopt;
  for (const RunSample& x : r.samples)
    if (x.film >= static_cast<int>(r.films.size())) return std::nullopt;
  const QString stem = QString::fromStdString(summary.stem().string()).left(15);
  const QDateTime when = QDateTime::fromString(stem, "yyyyMMdd-HHmmss");
  saved.saved_at = when.isValid() ? when.toString("yyyy-MM-dd HH:mm:ss").toStdString() : "";
  error.clear();
  return saved;
}

}  // namespace cabsim
