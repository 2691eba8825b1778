// JSON views of the parsed records: keys are the file keys without brackets,
// texts UTF-8, fixed-point values their real value.
#pragma once

#include <nlohmann/json.hpp>

#include "data/train_params.h"

namespace cabsim::tool {

using Json = nlohmann::ordered_json;

/// A definition-file text (Shift-JIS bytes) as a JSON string.
Json text(const std::string& sjis);
Json real(long double value);
Json fixed(Fixed value);

/// The whole train record, panel keys included, with `derived` values.
Json train_json(const TrainParams& train);

}  // namespace cabsim::tool
