// A plain image list of equally sized cells (the track-side sign pictures):
// cell n is drawn into a picture component at (0, 0).
#pragma once

#include <QImage>
#include <filesystem>
#include <vector>

namespace cabsim {

class CellImageList {
 public:
  /// A list whose cells are `width` x `height`; with 0 x 0 the first picture
  /// added sets the cell size.
  CellImageList(int width = 0, int height = 0);

  int cell_width() const { return width_; }
  int cell_height() const { return height_; }
  int count() const { return static_cast<int>(cells_.size()); }

  /// Adds a picture as the next cell, cut or padded (black) to the cell size.
  /// Returns its index, or -1 for an empty picture.
  int add(const QImage& picture);
  /// Loads a BMP or JPEG file as the next cell; -1 when it cannot be read.
  int load(const std::filesystem::path& file);
  void clear() { cells_.clear(); }

  /// Draws cell `index` into `target` at (0, 0), clipped to the target. An
  /// index outside the list draws nothing and returns false. An empty target
  /// is first made the size of a cell.
  bool draw(int index, QImage& target) const;
  const QImage* cell(int index) const;

 private:
  int width_;
  int height_;
  std::vector<QImage> cells_;
};

}  // namespace cabsim
