// Image lists of fixed-size cells.
#include "platform/cell_image_list.h"

#include <QPainter>

#include "platform/bitmap.h"

namespace cabsim {

CellImageList::CellImageList(int width, int height)
    : width_(std::max(0, width)), height_(std::max(0, height)) {}

int CellImageList::add(const QImage& picture) {
  if (picture.isNull()) return -1;
  if (width_ == 0 || height_ == 0) {
    width_ = picture.width();
    height_ = picture.height();
  }
  QImage cell(width_, height_, QImage::Format_RGB32);
  cell.fill(Qt::black);
  {
    QPainter painter(&cell);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, picture.convertToFormat(QImage::Format_RGB32));
  }
  cells_.push_back(std::move(cell));
  return count() - 1;
}

int CellImageList::load(const std::filesystem::path& file) {
  Bitmap bitmap;
  if (!bitmap.load(file)) return -1;
  return add(bitmap.image());
}

const QImage* CellImageList::cell(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return &cells_[static_cast<size_t>(index)];
}

bool CellImageList::draw(int index, QImage& target) const {
  const QImage* picture = cell(index);
  if (!picture) return false;
  if (target.isNull()) {
    target = QImage(width_, height_, QImage::Format_RGB32);
    target.fill(Qt::black);
  }
  QPainter painter(&target);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, *picture);
  return true;
}

}  // namespace cabsim
