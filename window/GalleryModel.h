#pragma once

#include <QAbstractListModel>
#include <string>
#include <unordered_map>
#include <vector>

#include "journal/Journal.h"
#include "window/ThumbnailCache.h"

namespace stringart {

class FigureFiles;

// The gallery's figures for a QListView: each row a kept figure with its thumbnail (traced on
// demand, a dark square until then) and when it was shown; dragged out, a PNG file of it.
class GalleryModel final : public QAbstractListModel {
  Q_OBJECT

 public:
  GalleryModel(ThumbnailCache& thumbnails, FigureFiles& files, QObject* parent = nullptr);

  void SetRows(std::vector<JournalRow> rows);
  const std::vector<JournalRow>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  // Writes each figure as a PNG, carrying its command, into a folder of the system's temporary
  // one, and hands over the files.
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

 private:
  void Traced(const std::string& key);

  ThumbnailCache& thumbnails_;
  FigureFiles& files_;
  std::vector<JournalRow> rows_;
  std::unordered_multimap<std::string, int> rowsOf_;  // ThumbnailCache::Key -> rows
  QImage placeholder_;
};

}  // namespace stringart
