// The list of sounds that the definition files name.
#include "demo_assets.h"

namespace demo {

std::string SoundList::add(std::string file, SoundKind kind, double param, std::string text) {
  for (const SoundSpec& s : sounds_)
    if (s.file == file) return s.file;
  sounds_.push_back({std::move(file), kind, param, std::move(text)});
  return sounds_.back().file;
}

}  // namespace demo
