// Named pictures with patterns and colour keys.
#include "platform/picture_list.h"

#include "platform/bitmap.h"
#include "platform/surface.h"

namespace cabsim {
namespace {

bool same_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

bool Picture::load(const std::filesystem::path& file) {
  Bitmap bitmap;
  if (!bitmap.load(file)) return false;
  set_image(bitmap.image());
  return true;
}

void Picture::set_image(const QImage& image) {
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
  keyed_stale_ = true;
}

void Picture::set_transparent_colour(uint32_t rgb) {
  key_ = rgb & 0xFFFFFFu;
  keyed_stale_ = true;
}

uint32_t Picture::bottom_left_colour() const {
  if (image_.isNull()) return 0;
  return image_.pixel(0, image_.height() - 1) & 0xFFFFFFu;
}

void Picture::set_pattern_size(int width, int height) {
  pattern_width_ = std::max(0, width);
  pattern_height_ = std::max(0, height);
}

int Picture::pattern_width() const {
  return pattern_width_ > 0 ? std::min(pattern_width_, width()) : width();
}

int Picture::pattern_height() const {
  return pattern_height_ > 0 ? std::min(pattern_height_, height()) : height();
}

int Picture::pattern_count() const {
  if (image_.isNull() || pattern_width() <= 0 || pattern_height() <= 0) return 0;
  return (width() / pattern_width()) * (height() / pattern_height());
}

QRect Picture::pattern_rect(int index) const {
  if (index < 0 || index >= pattern_count()) return {};
  int across = width() / pattern_width();
  return {(index % across) * pattern_width(), (index / across) * pattern_height(), pattern_width(),
          pattern_height()};
}

const QImage& Picture::drawn_image() const {
  if (!transparent_) return image_;
  if (keyed_stale_) {
    keyed_ = image_.isNull() ? QImage() : key_out_colour(image_, key_);
    keyed_stale_ = false;
  }
  return keyed_;
}

Picture& PictureList::add() {
  pictures_.push_back(std::make_unique<Picture>());
  return *pictures_.back();
}

Picture* PictureList::find(std::string_view name) {
  for (auto& picture : pictures_)
    if (same_ignoring_case(picture->name(), name)) return picture.get();
  return nullptr;
}

const Picture* PictureList::find(std::string_view name) const {
  return const_cast<PictureList*>(this)->find(name);
}

}  // namespace cabsim
