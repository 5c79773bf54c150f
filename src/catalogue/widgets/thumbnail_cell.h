// How the thumbnail view draws an item, as the Windows list view's icon view does: every
// cell the same width, the icon centred above the name, the name wrapped onto at most two
// lines and elided in the middle only when it is longer than that, so that camera names
// (IMG_0001.JPG, IMG_0002.JPG) stay apart.
#pragma once

#include <QFontMetrics>
#include <QString>
#include <QStyledItemDelegate>
#include <utility>

namespace lumen::catalogue {

inline constexpr int kThumbnailCellWidth = 75;  // the icon spacing of Windows at 96 dpi

// The name on at most two lines of `width` pixels: broken where the first line is full,
// at a character, never inside one; a name longer than two lines keeps its beginning on
// the first and its end (the extension and the number) on the second, behind "…".
std::pair<QString, QString> WrapName(const QString& name, const QFontMetrics& metrics, int width);

class ThumbnailIcons;

class ThumbnailCell : public QStyledItemDelegate {
 public:
  // icons: where the items' thumbnails are kept (by row); null: the items' own icons.
  ThumbnailCell(ThumbnailIcons* icons, QObject* parent) : QStyledItemDelegate(parent), icons_(icons) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  ThumbnailIcons* icons_;
};

}  // namespace lumen::catalogue
