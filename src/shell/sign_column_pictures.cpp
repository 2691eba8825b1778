// Loading the sign column's image lists and drawing its components.
#include "shell/sign_column_pictures.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "data/route_setup.h"
#include "platform/bitmap.h"
#include "platform/device_pixels.h"
#include "platform/surface.h"

namespace cabsim {
namespace {

/// The smallest rectangle holding every component that draws from `list`.
QSize largest_component(SignList list) {
  QSize largest(0, 0);
  for (const SignGeometry& g : kSignGeometry)
    if (g.list == list) largest = largest.expandedTo(QSize(g.width, g.height));
  return largest;
}

/// The smallest rectangle holding every component of the column.
QSize largest_component() {
  QSize largest(0, 0);
  for (const SignGeometry& g : kSignGeometry)
    largest = largest.expandedTo(QSize(g.width, g.height));
  return largest;
}

/// A cell size when the list's pictures give none: the small components'.
constexpr QSize kSmallCell{15, 15};
/// Components stay near the column, whatever place the view asks for.
constexpr int32_t kFarthest = 10000;

/// A picture as the lists take it: its top-left part as large as the largest
/// component (RGB32; null when it cannot be loaded) and its whole size.
struct LoadedPicture {
  QImage head;
  QSize size;
};

/// Every file the column names, read once while the lists are made.
class PictureCache {
 public:
  explicit PictureCache(const FileFinder& find) : find_(find) {}

  const LoadedPicture& get(std::string_view name) {
    auto [entry, added] = loaded_.try_emplace(std::string(name));
    if (added) entry->second = load(name);
    return entry->second;
  }

 private:
  LoadedPicture load(std::string_view name) const {
    if (name.empty() || !find_) return {};
    Bitmap bitmap;
    try {
      if (!bitmap.load(find_(name)) || bitmap.empty()) return {};
    } catch (const std::exception&) {
      return {};  // a name that cannot even be made a path is a picture that is not there
    }
    const QImage& image = bitmap.image();
    const QSize kept = largest_component().boundedTo(image.size());
    return {image.copy(QRect(QPoint(0, 0), kept)).convertToFormat(QImage::Format_RGB32),
            image.size()};
  }

  const FileFinder& find_;
  std::unordered_map<std::string, LoadedPicture> loaded_;
};

/// `head` cut to `size` (shared when it is no larger).
QImage cut(const QImage& head, QSize size) {
  if (head.isNull()) return {};
  if (head.width() <= size.width() && head.height() <= size.height()) return head;
  return head.copy(0, 0, std::min(head.width(), size.width()),
                   std::min(head.height(), size.height()));
}

std::vector<std::string_view> names_of(const ImageList& list) {
  const auto n = static_cast<size_t>(std::clamp<int32_t>(list.count, 0, kMaxListImages));
  return {list.files.begin(), list.files.begin() + static_cast<ptrdiff_t>(n)};
}

}  // namespace

SignColumnPictures::SignColumnPictures(QWidget* parent) {
  for (size_t i = 0; i < kSignElementCount; ++i) {
    const SignGeometry& g = kSignGeometry[i];
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(g.name.data(), static_cast<qsizetype>(g.name.size())));
    label->setGeometry(g.left, g.top, g.width, g.height);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (!g.visible) label->hide();
    labels_[i] = label;
  }
  slope_ = new QLabel(parent);
  slope_->setObjectName("SlopeText");
  slope_->setGeometry(SlopeTextGeometry::left, SlopeTextGeometry::top, SlopeTextGeometry::width,
                      SlopeTextGeometry::height);
  slope_->setAlignment(Qt::AlignCenter);
  slope_->setAutoFillBackground(true);
  QPalette palette = slope_->palette();
  palette.setColor(QPalette::Window, Qt::black);
  palette.setColor(QPalette::WindowText, Qt::white);
  slope_->setPalette(palette);
  slope_->hide();
}

void SignColumnPictures::load(const RouteTables& route, const std::string& stop_marker,
                              const FileFinder& find) {
  PictureCache pictures(find);
  auto fill = [this, &pictures](SignList which, const std::vector<std::string_view>& names,
                                QSize cell_size) {
    CellList& list = lists_[static_cast<size_t>(which)];
    list.size = cell_size.boundedTo(largest_component(which));
    list.cells.clear();
    list.cells.reserve(names.size());
    // A name listed again takes the cell already cut for it.
    std::unordered_map<std::string_view, QImage> cut_cells;
    for (std::string_view name : names) {
      auto [entry, added] = cut_cells.try_emplace(name);
      if (added) entry->second = cut(pictures.get(name).head, list.size);
      list.cells.push_back(entry->second);
    }
  };

  fill(SignList::kSignal, names_of(route.SignalImageList), QSize(50, 100));
  fill(SignList::kSignal2, names_of(route.SignalImageList2), QSize(50, 50));
  std::vector<std::string_view> signs{stop_marker};
  for (std::string_view name : names_of(route.SignImageList)) signs.push_back(name);
  fill(SignList::kSign, signs, QSize(50, 50));
  std::vector<std::string_view> others;
  const auto other_count =
      static_cast<size_t>(std::clamp<int32_t>(route.OtherImageList_count, 0, kMaxOtherImages));
  for (size_t i = 0; i < other_count; ++i) others.push_back(route.OtherImageList[i].image);
  fill(SignList::kOther, others, QSize(100, 75));
  fill(SignList::kTraffic, names_of(route.TrafficSignalImageList), QSize(100, 75));

  // The animation's cells are as large as its first picture.
  const std::vector<std::string_view> anims = names_of(route.AnimImageList);
  QSize anim_cell = kSmallCell;
  for (std::string_view name : anims) {
    const LoadedPicture& p = pictures.get(name);
    if (p.head.isNull()) continue;
    anim_cell = p.size;
    break;
  }
  fill(SignList::kAnim, anims, anim_cell);

  // The crossing list takes each picture's size as it is added and loses what
  // it held when that size changes: only the pictures after the last change
  // stay. A picture that cannot be loaded changes nothing.
  const std::vector<std::string_view> crossings = names_of(route.CrossImageList);
  std::vector<ImageSize> sizes(crossings.size());
  std::vector<bool> loaded(crossings.size(), false);
  std::optional<ImageSize> first_size;
  for (size_t i = 0; i < crossings.size(); ++i) {
    const LoadedPicture& p = pictures.get(crossings[i]);
    if (p.head.isNull()) continue;
    sizes[i] = {p.size.width(), p.size.height()};
    loaded[i] = true;
    if (!first_size) first_size = sizes[i];
  }
  if (first_size) {
    ImageSize before = *first_size;
    for (size_t i = 0; i < sizes.size(); ++i) {
      if (!loaded[i]) sizes[i] = before;
      before = sizes[i];
    }
  }
  const auto kept = static_cast<size_t>(
      std::clamp<int32_t>(first_kept_cross_image(sizes), 0, static_cast<int32_t>(sizes.size())));
  const QSize cross_cell =
      first_size && kept < sizes.size() ? QSize(sizes[kept].width, sizes[kept].height) : kSmallCell;
  fill(SignList::kCross,
       std::vector<std::string_view>(crossings.begin() + static_cast<ptrdiff_t>(kept),
                                     crossings.end()),
       cross_cell);

  // Everything is drawn again from the new lists.
  for (Shown& shown : shown_) shown.drawn = false;
}

void SignColumnPictures::release() {
  for (CellList& list : lists_) list = CellList{};
  for (Shown& shown : shown_) shown.drawn = false;
  shown_slope_.reset();
}

int SignColumnPictures::cell_count(SignList list) const {
  return static_cast<int>(list_of(list).cells.size());
}

const QImage* SignColumnPictures::cell(SignList list, int32_t index) const {
  const std::vector<QImage>& cells = list_of(list).cells;
  if (index < 0 || static_cast<size_t>(index) >= cells.size()) return nullptr;
  const QImage& picture = cells[static_cast<size_t>(index)];
  return picture.isNull() ? nullptr : &picture;
}

void SignColumnPictures::draw_cell(size_t element, int32_t index) {
  const SignGeometry& g = kSignGeometry[element];
  QLabel* label = labels_[element];
  const QImage* picture = cell(g.list, index);
  if (!picture) {
    label->clear();  // a cleared picture, or a cell the list does not have
    return;
  }
  // The cell goes into the component at (0, 0), cut to the component.
  QImage shown(g.width, g.height, QImage::Format_ARGB32_Premultiplied);
  shown.fill(Qt::transparent);
  {
    QPainter painter(&shown);
    if (g.transparent)
      painter.drawImage(
          0, 0, key_out_colour(*picture, picture->pixel(0, picture->height() - 1) & 0xFFFFFFu));
    else
      painter.drawImage(0, 0, *picture);
  }
  label->setPixmap(crisp_pixmap(shown));
}

void SignColumnPictures::follow(const SignColumn& column, const std::string& slope) {
  for (size_t i = 0; i < kSignElementCount; ++i) {
    const SignPicture& wanted = column.pictures[i];
    Shown& had = shown_[i];
    QLabel* label = labels_[i];
    if (!had.drawn || wanted.cell != had.picture.cell) draw_cell(i, wanted.cell);
    if (!had.drawn || wanted.left != had.picture.left)
      label->move(std::clamp(wanted.left, -kFarthest, kFarthest), kSignGeometry[i].top);
    if (!had.drawn || (wanted.visible != 0) != (had.picture.visible != 0))
      label->setVisible(wanted.visible != 0);
    had.drawn = true;
    had.picture = wanted;
  }
  if (!shown_slope_ || *shown_slope_ != slope) {
    slope_->setText(QString::fromUtf8(slope.data(), static_cast<qsizetype>(slope.size())));
    slope_->setVisible(!slope.empty());
    shown_slope_ = slope;
  }
}

}  // namespace cabsim
