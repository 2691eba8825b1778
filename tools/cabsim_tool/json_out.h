// JSON views of the parsed records: keys are the file keys without brackets,
// texts UTF-8, fixed-point values their real value.
#pragma once

#include <nlohmann/json.hpp>

#include "data/cabworks_text.h"
#include "data/mascon_file.h"
#include "data/route_tables.h"
#include "data/train_params.h"

namespace cabsim::tool {

using Json = nlohmann::ordered_json;

/// A definition-file text (Shift-JIS bytes) as a JSON string.
Json text(const std::string& sjis);
Json real(long double value);
Json fixed(Fixed value);

/// The first `count` values of a block as an array.
template <typename Array>
Json int_block(const Array& values, int32_t count) {
  Json out = Json::array();
  for (int32_t i = 0; i < count; ++i) out.push_back(values[static_cast<size_t>(i)]);
  return out;
}

/// The first `count` rows of a table, each made into JSON by `row`.
template <typename Array, typename Row>
Json rows(const Array& table, int32_t count, Row row) {
  Json out = Json::array();
  for (int32_t i = 0; i < count; ++i) out.push_back(row(table[static_cast<size_t>(i)]));
  return out;
}

/// The whole train record, panel keys included, with `derived` values.
Json train_json(const TrainParams& train);

/// The route tables with the set-up's `derived` values.
Json route_json(const RouteTables& route);

/// The texts of cabworks.dat.
Json cabworks_json(const CabworksText& text);

/// The codes of mascon.dat.
Json mascon_json(const MasconMap& map);

}  // namespace cabsim::tool
