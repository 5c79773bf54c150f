#include "catalogue/widgets/thumbnail_cell.h"

#include <QApplication>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <vector>

#include "catalogue/widgets/thumbnail_icons.h"
#include "controls/widgets/focus_cue.h"

namespace lumen::catalogue {
namespace {

constexpr int kIcon = 40, kPad = 2;

// Where a line may end: after each whole character (a grapheme cluster).
std::vector<int> CharacterEnds(const QString& text) {
  std::vector<int> ends;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  while (finder.toNextBoundary() > 0) ends.push_back(static_cast<int>(finder.position()));
  return ends;
}

}  // namespace

std::pair<QString, QString> WrapName(const QString& name, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(name) <= width) return {name, {}};
  const std::vector<int> ends = CharacterEnds(name);
  // The first line: the longest beginning that fits, at least one character.
  size_t first = 0;
  while (first + 1 < ends.size() && metrics.horizontalAdvance(name.left(ends[first + 1])) <= width) ++first;
  const int split = ends.empty() ? static_cast<int>(name.size()) : ends[first];
  const QString rest = name.mid(split);
  if (metrics.horizontalAdvance(rest) <= width) return {name.left(split), rest};
  // Too long for two lines: the end of the name, as much as fits behind the ellipsis.
  const QString ellipsis = QString(QChar(0x2026));
  const std::vector<int> restEnds = CharacterEnds(rest);
  std::vector<int> starts{0};  // where each character of the rest begins
  for (size_t i = 0; i + 1 < restEnds.size(); ++i) starts.push_back(restEnds[i]);
  int from = starts.back();  // at least the last character
  for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
    if (metrics.horizontalAdvance(ellipsis + rest.mid(*it)) > width) break;
    from = *it;
  }
  return {name.left(split), ellipsis + rest.mid(from)};
}

QSize ThumbnailCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return {kThumbnailCellWidth, kPad + kIcon + kPad + 2 * option.fontMetrics.height() + kPad};
}

void ThumbnailCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem item(option);
  initStyleOption(&item, index);
  const QRect cell = option.rect;
  const QRect iconRect(cell.x() + (cell.width() - kIcon) / 2, cell.y() + kPad, kIcon, kIcon);
  if (icons_ == nullptr) {
    item.icon.paint(painter, iconRect);
  } else if (const QImage* icon = icons_->Get(index.row())) {
    painter->drawImage(iconRect, *icon);
  }

  const int textWidth = cell.width() - 2 * kPad;
  const auto [line1, line2] = WrapName(item.text, option.fontMetrics, textWidth);
  const int lineHeight = option.fontMetrics.height();
  QRect textRect(cell.x() + kPad, iconRect.bottom() + 1 + kPad, textWidth, line2.isEmpty() ? lineHeight : 2 * lineHeight);
  const bool selected = option.state & QStyle::State_Selected;
  if (selected) {
    // Only the text is highlighted, as on Windows; its box is as wide as its longer line.
    const int used = std::max(option.fontMetrics.horizontalAdvance(line1), option.fontMetrics.horizontalAdvance(line2));
    const QRect box(cell.x() + (cell.width() - used) / 2 - 1, textRect.y(), used + 2, textRect.height());
    painter->fillRect(box, option.palette.highlight());
  }
  // The cue round the focused picture's name while the list has the keyboard's focus,
  // selected or not: where the arrows start from.
  if ((option.state & QStyle::State_HasFocus) && option.widget != nullptr &&
      controls::ShowsKeyboardFocus(*option.widget)) {
    const int used = std::max(option.fontMetrics.horizontalAdvance(line1), option.fontMetrics.horizontalAdvance(line2));
    controls::PaintFocusCue(*painter, QRect(cell.x() + (cell.width() - used) / 2 - 1, textRect.y(), used + 2,
                                            textRect.height()));
  }
  painter->save();
  painter->setFont(option.font);
  painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  painter->drawText(QRect(textRect.x(), textRect.y(), textWidth, lineHeight), Qt::AlignHCenter | Qt::AlignTop, line1);
  if (!line2.isEmpty()) {
    painter->drawText(QRect(textRect.x(), textRect.y() + lineHeight, textWidth, lineHeight), Qt::AlignHCenter | Qt::AlignTop,
                      line2);
  }
  painter->restore();
}

}  // namespace lumen::catalogue
