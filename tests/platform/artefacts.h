// Pictures the drawing tests keep in the build folder, to be looked at.
#pragma once

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace cabsim::test {

/// Saves `image` as <build>/test-artefacts/<name>.png and returns the path.
inline std::filesystem::path save_artefact(const QImage& image, const std::string& name) {
  const char* tmp = std::getenv("CABSIM_TEST_TMP");
  std::filesystem::path folder = (tmp && *tmp ? std::filesystem::path(tmp).parent_path()
                                              : std::filesystem::temp_directory_path()) /
                                 "test-artefacts";
  std::filesystem::create_directories(folder);
  std::filesystem::path file = folder / (name + ".png");
  image.save(QString::fromStdString(file.string()), "PNG");
  return file;
}

/// The colour at (x, y) as 0xRRGGBB.
inline uint32_t rgb_at(const QImage& image, int x, int y) {
  return image.pixel(x, y) & 0xFFFFFFu;
}

}  // namespace cabsim::test
