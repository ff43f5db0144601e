#include "window/GalleryModel.h"

#include <QDateTime>
#include <QDir>
#include <QMimeData>
#include <QUrl>

#include "canvas/Picture1.h"
#include "text/FigureFiles.h"
#include "figure/FigureHistory.h"
#include "figure/Tracer.h"
#include "window/PictureImage.h"

namespace stringart {

GalleryModel::GalleryModel(ThumbnailCache& thumbnails, FigureFiles& files, QObject* parent)
    : QAbstractListModel(parent),
      thumbnails_(thumbnails),
      files_(files),
      placeholder_(ThumbnailCache::kSide, ThumbnailCache::kSide, QImage::Format_RGB32) {
  placeholder_.fill(QColor(24, 24, 24));
  connect(&thumbnails_, &ThumbnailCache::Traced, this, &GalleryModel::Traced);
}

void GalleryModel::SetRows(std::vector<JournalRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  rowsOf_.clear();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rowsOf_.emplace(ThumbnailCache::Key(rows_[i].figure), static_cast<int>(i));
  }
  endResetModel();
}

int GalleryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant GalleryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const JournalRow& row = rows_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DecorationRole: {
      const QImage image = thumbnails_.Find(row.figure);
      return image.isNull() ? placeholder_ : image;
    }
    case Qt::DisplayRole: {
      const QString when = QDateTime::fromSecsSinceEpoch(row.shownAt).toString("d MMM HH:mm");
      return row.favourite ? QStringLiteral("\u2605 ") + when : when;
    }
    case Qt::ToolTipRole:
      return QStringLiteral("figure-%1").arg(QString::fromStdString(FigureName(row.figure)));
    default: return {};
  }
}

Qt::ItemFlags GalleryModel::flags(const QModelIndex& index) const {
  return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled;
}

QStringList GalleryModel::mimeTypes() const {
  return {QStringLiteral("text/uri-list")};
}

QMimeData* GalleryModel::mimeData(const QModelIndexList& indexes) const {
  const QString folder = QDir::temp().filePath(QStringLiteral("stringart-figures"));
  QDir().mkpath(folder);
  QList<QUrl> urls;
  QImage first;
  for (const QModelIndex& index : indexes) {
    if (!index.isValid() || index.row() >= rowCount()) continue;
    const FigureRecord& figure = rows_[static_cast<std::size_t>(index.row())].figure;
    Picture1 picture;
    TraceAgain(figure, picture);
    const QString path = QDir(folder).filePath(
        QStringLiteral("figure-%1.png").arg(QString::fromStdString(FigureName(figure))));
    std::string error;
    if (!files_.Save(path.toStdString(), picture, figure, error)) continue;
    urls << QUrl::fromLocalFile(path);
    if (first.isNull()) first = WrapPicture(picture).copy();
  }
  if (urls.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setUrls(urls);
  data->setImageData(first);  // for programs that take a picture rather than a file
  return data;
}

void GalleryModel::Traced(const std::string& key) {
  const auto [begin, end] = rowsOf_.equal_range(key);
  for (auto it = begin; it != end; ++it) {
    const QModelIndex at = index(it->second);
    emit dataChanged(at, at, {Qt::DecorationRole});
  }
}

}  // namespace stringart
