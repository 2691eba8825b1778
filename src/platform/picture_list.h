// The named pictures the cab panel's sprites show: each with a transparent
// flag and colour and, for indicator strips, the size of one pattern.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cabsim {

class Picture {
 public:
  /// Loads a BMP or JPEG file; false (and the picture unchanged) on failure.
  bool load(const std::filesystem::path& file);
  void set_image(const QImage& image);

  const std::string& name() const { return name_; }
  void set_name(std::string name) { name_ = std::move(name); }

  bool transparent() const { return transparent_; }
  void set_transparent(bool on) { transparent_ = on; }
  uint32_t transparent_colour() const { return key_; }
  void set_transparent_colour(uint32_t rgb);
  /// The colour of the bottom-left pixel, which the panel uses as its key.
  uint32_t bottom_left_colour() const;

  int width() const { return image_.width(); }
  int height() const { return image_.height(); }
  /// Pattern size; 0 (the default) means the whole picture.
  void set_pattern_size(int width, int height);
  int pattern_width() const;
  int pattern_height() const;
  /// Patterns across times patterns down; 0 for an empty picture.
  int pattern_count() const;
  /// Where pattern `index` lies in the picture (counted along the rows);
  /// an empty rectangle for an index outside 0 .. pattern_count() - 1.
  QRect pattern_rect(int index) const;

  /// The picture as drawn: opaque, or with the transparent colour keyed out
  /// when the transparent flag is on (premultiplied ARGB, cached).
  const QImage& drawn_image() const;

 private:
  std::string name_;
  QImage image_;             // Format_RGB32
  bool transparent_ = true;  // a new picture is transparent, its key black
  uint32_t key_ = 0;
  int pattern_width_ = 0;
  int pattern_height_ = 0;
  mutable QImage keyed_;
  mutable bool keyed_stale_ = true;
};

/// The picture collection. Pictures keep their address for as long as the
/// list lives; names are matched without regard to ASCII case.
class PictureList {
 public:
  /// A new empty picture at the end of the list.
  Picture& add();
  /// The first picture called `name`, or nullptr.
  Picture* find(std::string_view name);
  const Picture* find(std::string_view name) const;
  int count() const { return static_cast<int>(pictures_.size()); }
  Picture& at(int index) { return *pictures_.at(static_cast<size_t>(index)); }
  void clear() { pictures_.clear(); }

 private:
  std::vector<std::unique_ptr<Picture>> pictures_;
};

}  // namespace cabsim
