// The codes of mascon.dat as JSON: line k is the code of handle action k.
#include "json_out.h"

namespace cabsim::tool {

Json mascon_json(const MasconMap& map) {
  Json j = Json::object();
  j["codes"] =
      rows(map.codes, map.count, [](const std::string& code) { return Json::array({text(code)}); });
  j["derived"] = Json{{"count", map.count}};
  return j;
}

}  // namespace cabsim::tool
