// The picture list of a folder in its two views — thumbnails (ListView1) and details
// (ListView2) — with the counter lbl_Cnt and the preview (ImgPreview in the 208 x 208
// frame Pic_Base). Fills run in steps between which the window stays live, so a click on
// an item already listed previews it while the fill goes on. The widgets are children of
// the host widget, which places them.
#pragma once

#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <memory>

#include "catalogue/thumbnail_batch.h"
#include "catalogue/thumbnail_cache.h"
#include "platform/gdi/surface.h"

namespace lumen::catalogue {

class PreviewImage;
class ThumbnailIcons;

class CatalogueViews : public QObject {
  Q_OBJECT

 public:
  explicit CatalogueViews(QWidget* host);
  ~CatalogueViews() override;

  // file1: the folder and the names of its pictures, in list order.
  void SetFolder(const std::string& folder, const std::vector<std::string>& names);
  void SetMarginColor(platform::gdi::COLORREF colour);  // the preview frame's background
  // Where a file that cannot be opened for its date is reported ("Error " + path);
  // by default a message box titled "LumenShow" with an OK button.
  void SetErrorReporter(std::function<void(const std::string&)> report) { reportError_ = std::move(report); }
  void SetThumbnailCache(ThumbnailCache* cache) { cache_ = cache; }

  void ListView1_Set();
  void ListView2_Set();
  void ListView1_Click();
  void ListView2_Click();

  QListWidget* ListView1() { return listView1_; }
  QTreeWidget* ListView2() { return listView2_; }
  QLabel* lbl_Cnt() { return counter_; }
  QWidget* Pic_Base() { return frame_; }
  QWidget* ImgPreview();
  bool Filling() const { return batch_ != nullptr || detailsNext_ >= 0; }

 signals:
  void FillFinished();

 private:
  void StopFills();
  void PumpThumbnails();
  void PumpDetails();
  void Preview(QAbstractItemView* view, int selected);

  QWidget* host_;
  std::string folder_;
  std::vector<std::string> names_;
  ThumbnailCache* cache_ = nullptr;
  std::function<void(const std::string&)> reportError_;

  QListWidget* listView1_;
  QTreeWidget* listView2_;
  QLabel* counter_;
  QWidget* frame_;
  PreviewImage* preview_;
  ThumbnailIcons* icons_;  // the thumbnail view's icons, within a budget

  std::unique_ptr<ThumbnailBatch> batch_;
  QTimer pump_;
  int detailsNext_ = -1;  // the next file of the details fill, -1 when none runs
};

}  // namespace lumen::catalogue
