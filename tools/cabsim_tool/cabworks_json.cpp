// The texts of cabworks.dat as JSON, in the order of the file's keys.
#include "json_out.h"

namespace cabsim::tool {

Json cabworks_json(const CabworksText& t) {
  Json j = Json::object();
  const std::pair<const char*, const std::string*> lines[] = {{"Path", &t.Path},
                                                              {"Forward", &t.Forward},
                                                              {"Neutral", &t.Neutral},
                                                              {"Reverse", &t.Reverse},
                                                              {"Stop", &t.Stop},
                                                              {"Pass", &t.Pass},
                                                              {"Stop2", &t.Stop2},
                                                              {"Neut", &t.Neut},
                                                              {"Neut2", &t.Neut2},
                                                              {"Apply", &t.Apply},
                                                              {"Maintain", &t.Maintain},
                                                              {"Hold", &t.Hold},
                                                              {"Hold2", &t.Hold2},
                                                              {"EB", &t.EB},
                                                              {"Const", &t.Const},
                                                              {"Cars", &t.Cars},
                                                              {"TC", &t.TC}};
  for (const auto& [key, line] : lines) j[key] = text(*line);
  auto block = [](const auto& texts) {
    Json out = Json::array();
    for (const std::string& line : texts) out.push_back(text(line));
    return out;
  };
  j["Stops"] = block(t.Stops);
  j["Doors"] = block(t.Doors);
  j["Gears"] = block(t.Gears);
  j["InfoLabel"] = rows(t.InfoLabel, t.InfoLabel_filled,
                        [](const std::string& line) { return Json::array({text(line)}); });
  j["Start"] = text(t.Start);
  j["Move"] = text(t.Move);
  j["Display"] = text(t.Display);
  j["Control"] = text(t.Control);
  j["Save"] = text(t.Save);
  return j;
}

}  // namespace cabsim::tool
