#include "catalogue/widgets/catalogue_views.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMessageBox>
#include <QPainter>
#include <sys/stat.h>

#include "catalogue/list_texts.h"
#include "catalogue/widgets/thumbnail_cell.h"
#include "catalogue/widgets/thumbnail_icons.h"
#include "platform/gdi/qt_image.h"
#include "platform/picture/picture.h"
#include "platform/rounding.h"

namespace lumen::catalogue {

namespace gdi = platform::gdi;

namespace {
constexpr int kNameBytes = Qt::UserRole + 1;  // an item's file name as the file system holds it
}

// ImgPreview: the picture stretched to the widget's own size.
class PreviewImage : public QWidget {
 public:
  explicit PreviewImage(QWidget* parent) : QWidget(parent) {}
  // The picture last loaded stays when a later one fails.
  bool Load(const std::string& path) {
    auto loaded = platform::picture::LoadPicture(path);
    if (!loaded) return false;
    picture_ = std::shared_ptr<platform::picture::Picture>(std::move(*loaded));
    image_ = {};
    return true;
  }
  bool HasPicture() const { return picture_ != nullptr; }
  int NaturalWidth() const { return picture_->Width(); }
  int NaturalHeight() const { return picture_->Height(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!picture_ || width() <= 0 || height() <= 0) return;
    // Stretched to the device pixels the widget covers: sharp on a HiDPI screen too.
    const qreal ratio = devicePixelRatioF();
    const int w = qRound(width() * ratio), h = qRound(height() * ratio);
    if (image_.width() != w || image_.height() != h) {
      gdi::Surface surface(w, h, 0xFFFFFF);
      picture_->StretchTo(surface, 0, 0, w, h);
      image_ = gdi::ToQImage(surface);
      image_.setDevicePixelRatio(ratio);
    }
    QPainter(this).drawImage(0, 0, image_);
  }

 private:
  std::shared_ptr<platform::picture::Picture> picture_;
  QImage image_;  // the picture at the widget's size
};

CatalogueViews::CatalogueViews(QWidget* host) : QObject(host), host_(host) {
  listView1_ = new QListWidget(host);
  listView1_->setViewMode(QListView::IconMode);
  listView1_->setIconSize(QSize(40, 40));
  listView1_->setMovement(QListView::Static);
  listView1_->setResizeMode(QListView::Adjust);
  listView1_->setFlow(QListView::LeftToRight);  // arranged automatically, from the top
  listView1_->setWrapping(true);
  // Every cell has the same size (names wrap within it), which keeps 100,000 items quick;
  // their icons are kept apart, so that only so many are held at once.
  icons_ = new ThumbnailIcons(this);
  icons_->IconReturned = [this] { listView1_->viewport()->update(); };
  listView1_->setItemDelegate(new ThumbnailCell(icons_, listView1_));
  listView1_->setUniformItemSizes(true);

  listView2_ = new QTreeWidget(host);
  listView2_->setRootIsDecorated(false);
  listView2_->setColumnCount(3);
  listView2_->setHeaderLabels({QString::fromUtf8("ﾌｧｲﾙ名"), QString::fromUtf8("ｻｲｽﾞ(KB)"), QString::fromUtf8("更新日")});
  const char* keys[] = {"File_Name", "File_Size", "File_Date"};
  for (int c = 0; c < 3; ++c) listView2_->headerItem()->setData(c, Qt::UserRole, keys[c]);
  listView2_->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  listView2_->hide();

  counter_ = new QLabel(host);
  frame_ = new QWidget(host);
  frame_->setFixedSize(208, 208);
  frame_->setAutoFillBackground(true);
  preview_ = new PreviewImage(frame_);
  preview_->hide();
  SetMarginColor(0xFFFFFF);

  connect(listView1_, &QListWidget::itemClicked, this, [this] { ListView1_Click(); });
  connect(listView2_, &QTreeWidget::itemClicked, this, [this] { ListView2_Click(); });
  // Keyboard users move the selection with the arrows, Home/End and the paging keys: the
  // picture they land on previews as a click would. A click previews through itemClicked
  // alone (its button is down while it moves the current item).
  auto fromKeys = [](auto preview) {
    return [preview] {
      if (QGuiApplication::mouseButtons() == Qt::NoButton) preview();
    };
  };
  connect(listView1_, &QListWidget::currentItemChanged, this, fromKeys([this] { ListView1_Click(); }));
  connect(listView2_, &QTreeWidget::currentItemChanged, this, fromKeys([this] { ListView2_Click(); }));
  pump_.setInterval(0);
  connect(&pump_, &QTimer::timeout, this, [this] {
    if (batch_) PumpThumbnails();
    if (detailsNext_ >= 0) PumpDetails();
  });
  reportError_ = [this](const std::string& text) {
    QMessageBox::warning(host_->window(), "LumenShow", QString::fromStdString(text), QMessageBox::Ok);
  };
}

CatalogueViews::~CatalogueViews() { StopFills(); }

QWidget* CatalogueViews::ImgPreview() { return preview_; }

void CatalogueViews::SetFolder(const std::string& folder, const std::vector<std::string>& names) {
  folder_ = folder;
  names_ = names;
}

void CatalogueViews::SetMarginColor(gdi::COLORREF colour) {
  QPalette palette = frame_->palette();
  palette.setColor(QPalette::Window, QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
  frame_->setPalette(palette);
  frame_->update();
}

void CatalogueViews::StopFills() {
  // A new fill abandons the running one: its workers stop after the file each is on.
  if (batch_) QApplication::restoreOverrideCursor();
  batch_.reset();
  detailsNext_ = -1;
  pump_.stop();
}

void CatalogueViews::ListView1_Set() {
  StopFills();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  listView1_->clear();
  std::vector<std::string> paths;
  for (const std::string& name : names_) paths.push_back(folder_ + "/" + name);  // "/" always added
  batch_ = std::make_unique<ThumbnailBatch>(paths, 40, 0xFFFFFF, cache_);
  // A dropped icon comes back as the fill made it: through the cache, so it is quick.
  icons_->Reset(paths, [cache = cache_](const std::string& path) {
    int width = 40, height = 40;
    const auto picture = LoadPictureScaled(path, width, height, 0xFFFFFF, true, cache);
    return picture ? gdi::ToQImage(**picture) : QImage();
  });
  pump_.start();
  PumpThumbnails();
}

void CatalogueViews::PumpThumbnails() {
  // Items are added strictly in list order for about one frame's time, then the window
  // gets its turn again.
  QElapsedTimer slice;
  slice.start();
  ThumbnailBatch::Made result;
  const auto count = static_cast<int64_t>(batch_->Count());
  while (slice.elapsed() < 15 && batch_->TakeNext(result, std::chrono::milliseconds(2))) {
    const std::string& name = names_[result.index];
    auto* item = new QListWidgetItem(QString::fromStdString(name));
    item->setData(kNameBytes, QByteArray::fromStdString(name));
    // A file that cannot be decoded gets a blank thumbnail.
    icons_->Put(static_cast<int>(result.index), std::move(result.icon));
    listView1_->addItem(item);
    counter_->setText(QString::fromStdString(CounterProgress(static_cast<int64_t>(result.index) + 1, count)));
  }
  if (!batch_->Finished()) return;
  counter_->setText(QString::fromStdString(CounterTotal(count)));
  batch_.reset();
  pump_.stop();
  listView1_->doItemsLayout();
  QApplication::restoreOverrideCursor();
  emit FillFinished();
}

void CatalogueViews::ListView2_Set() {
  StopFills();
  listView2_->clear();
  detailsNext_ = 0;
  pump_.start();
  PumpDetails();
}

void CatalogueViews::PumpDetails() {
  QElapsedTimer slice;
  slice.start();
  const auto count = static_cast<int64_t>(names_.size());
  while (detailsNext_ >= 0 && detailsNext_ < count && slice.elapsed() < 15) {
    const std::string& name = names_[static_cast<size_t>(detailsNext_)];
    auto* row = new QTreeWidgetItem(listView2_);
    row->setText(0, QString::fromStdString(name));
    row->setData(0, kNameBytes, QByteArray::fromStdString(name));
    const std::string path = folder_ + "/" + name;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {  // vanished: the fill ends here, its rows stay
      detailsNext_ = -1;
      pump_.stop();
      emit FillFinished();
      return;
    }
    for (int c = 0; c < listView2_->columnCount(); ++c) {
      const QString key = listView2_->headerItem()->data(c, Qt::UserRole).toString();
      if (key == "File_Size") {
        row->setText(c, QString::fromStdString(SizeInKilobytes(st.st_size)));
        row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
      } else if (key == "File_Date") {
        row->setText(c, QString::fromStdString(GetFileDate(path, reportError_)));
      }
    }
    ++detailsNext_;
    counter_->setText(QString::fromStdString(CounterProgress(detailsNext_, count)));
  }
  if (detailsNext_ < count) return;
  counter_->setText(QString::fromStdString(CounterTotal(count)));
  detailsNext_ = -1;
  pump_.stop();
  emit FillFinished();
}

void CatalogueViews::ListView1_Click() {
  if (listView1_->count() == 0) return;
  int selected = 0;
  for (int i = 0; i < listView1_->count() && selected == 0; ++i) {
    if (listView1_->item(i)->isSelected()) selected = i + 1;
  }
  Preview(listView1_, selected);
}

void CatalogueViews::ListView2_Click() {
  if (listView2_->topLevelItemCount() == 0) return;
  int selected = 0;
  for (int i = 0; i < listView2_->topLevelItemCount() && selected == 0; ++i) {
    if (listView2_->topLevelItem(i)->isSelected()) selected = i + 1;
  }
  Preview(listView2_, selected);
}

void CatalogueViews::Preview(QAbstractItemView* view, int selected) {
  if (selected == 0) return;  // nothing selected: title and preview stay
  // The name's own bytes: a name that is not UTF-8 shows with a replacement character
  // but opens as the file system spells it.
  const QVariant name = view == listView1_ ? listView1_->item(selected - 1)->data(kNameBytes)
                                           : listView2_->topLevelItem(selected - 1)->data(0, kNameBytes);
  const std::string path = PreviewPath(folder_, name.toByteArray().toStdString());
  host_->window()->setWindowTitle(QString::fromStdString(path));
  preview_->hide();
  preview_->Load(path);  // a failure keeps the picture shown before
  if (!preview_->HasPicture()) return;
  const PreviewPlacement at = PlacePreview(preview_->NaturalWidth(), preview_->NaturalHeight());
  preview_->setGeometry(at.left, at.top, platform::RoundHalfEven(at.width), platform::RoundHalfEven(at.height));
  preview_->update();
  preview_->show();
}

}  // namespace lumen::catalogue
