// Reading a route definition file into the route tables.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "data/route_tables.h"

namespace cabsim {

/// Label at the start of every pass of a route file.
inline constexpr std::string_view kRoutePassLabel = "その他";
/// Message prefix of a route file that cannot be read; the label, ":" and the
/// current line follow it.
inline constexpr std::string_view kRouteFileError = "路線ファイルに誤りがあります。";

/// The route file's message for a failure under `label` (UTF-8) while `line`
/// (Shift-JIS, as read) was the current line.
std::string route_error_message(std::string_view label, std::string_view line);

/// What the route reader needs to know of the run: the train file name as the
/// run selection gives it (a `[Monitor]` block is used only when its first line
/// equals it) and the train directory prefix put before the monitor picture.
/// Both in the definition files' own encoding.
struct RouteReadContext {
  std::string train_file_name = "train_tz100.dat";
  std::string train_dir_prefix;
};

/// Reads the route file at `path`. Raises DefinitionError with the route
/// file's message when the file is missing or malformed, or names a film
/// speed segment that cannot place objects (end frame equal to its start
/// frame, or distances beyond what a route can hold).
std::unique_ptr<RouteTables> read_route_file(const std::filesystem::path& path,
                                             const RouteReadContext& context);

/// The same, for the bytes of a route file already in memory.
std::unique_ptr<RouteTables> read_route_bytes(std::string bytes, const RouteReadContext& context);

/// Reads the `[SpeedUnit]` rows of the route file at `path` again into
/// `route` (the value display's reload), without recomputing the segments'
/// distances. Reading stops at the first row that cannot be used (or beyond
/// the table's capacity), keeping the rows before it; a file that cannot be
/// read, has no `[SpeedUnit]` line or no usable row leaves the table as it
/// was. Returns the rows now in the table.
int32_t reread_speed_units(RouteTables& route, const std::filesystem::path& path);

}  // namespace cabsim
