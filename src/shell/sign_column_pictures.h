// The sign column right of the cab view on screen: its image lists, loaded
// once when a run is set up, one picture component per element, and the
// gradient figure. The components follow what the operation tick decided in
// the view's sign column; each is drawn again only when its cell, place or
// visibility changed.
#pragma once

#include <QImage>
#include <QLabel>
#include <QSize>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "data/route_tables.h"
#include "state/run.h"
#include "state/sign_column.h"

namespace cabsim {

constexpr size_t kSignListCount = static_cast<size_t>(SignList::kCross) + 1;

class SignColumnPictures {
 public:
  /// Makes the components, empty, at their start places as children of
  /// `parent` (the form's client area).
  explicit SignColumnPictures(QWidget* parent);

  /// Loads every image list of the column. Names are program-directory names
  /// (Shift-JIS) found through `find`; `stop_marker` (the train's stop-line
  /// picture) is cell 0 of the sign list. A picture that cannot be loaded
  /// leaves its cell empty; the cells after it keep their numbers. Each file
  /// is read once.
  void load(const RouteTables& route, const std::string& stop_marker, const FileFinder& find);
  /// Lets the pictures go (the run closes); the components keep what they show.
  void release();

  /// Shows `column` and the gradient figure `slope` (UTF-8; empty none).
  void follow(const SignColumn& column, const std::string& slope);

  QLabel* picture(SignElement e) const { return labels_[static_cast<size_t>(e)]; }
  QLabel* slope_text() const { return slope_; }
  /// Cells of `list`, empty ones included.
  int cell_count(SignList list) const;
  /// The size a cell of `list` is kept at: the list's cell size, cut to the
  /// largest component drawing from it (nothing beyond that is ever shown).
  QSize kept_cell_size(SignList list) const { return list_of(list).size; }
  /// Cell `index` of `list`; null when empty or outside the list.
  const QImage* cell(SignList list, int32_t index) const;

 private:
  struct CellList {
    QSize size;                 // cells are cut to this
    std::vector<QImage> cells;  // a null image: a picture that could not be loaded
  };
  /// What a component shows now; `drawn` false until first drawn.
  struct Shown {
    bool drawn = false;
    SignPicture picture;
  };

  const CellList& list_of(SignList list) const { return lists_[static_cast<size_t>(list)]; }
  void draw_cell(size_t element, int32_t cell);

  std::array<QLabel*, kSignElementCount> labels_{};
  QLabel* slope_ = nullptr;
  std::array<CellList, kSignListCount> lists_{};
  std::array<Shown, kSignElementCount> shown_{};
  std::optional<std::string> shown_slope_;
};

}  // namespace cabsim
