#include "window/GalleryModel.h"

#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <algorithm>
#include <limits>
#include <unordered_set>

#include "canvas/Picture1.h"
#include "export/FigureFiles.h"
#include "figure/FigureHistory.h"
#include "figure/Tracer.h"
#include "journal/FiguresFile.h"
#include "text/Quote.h"
#include "window/PictureImage.h"

namespace stringart {
namespace {

double NowSeconds() {
  return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

constexpr int kPad = 6;           // around the thumbnail, pixels
constexpr int kLines = 3;         // of text under it: name, time, note
constexpr int kNoteTyped = 1000;  // characters a note may be typed with, well within kNoteMax

// Line `line` of text under the thumbnail in `cell`.
QRect LineRect(const QRect& cell, const QFontMetrics& metrics, int line) {
  return {cell.x() + 3,
          GalleryTile::ThumbnailRect(cell).bottom() + 1 + kPad / 2 + line * metrics.height(),
          cell.width() - 6, metrics.height()};
}

}  // namespace

QRect GalleryTile::ThumbnailRect(const QRect& cell) {
  return {cell.x() + (cell.width() - ThumbnailCache::kSide) / 2, cell.y() + kPad,
          ThumbnailCache::kSide, ThumbnailCache::kSide};
}

GalleryModel::GalleryModel(Journal& journal, ThumbnailCache& thumbnails, FigureFiles& files,
                           QObject* parent)
    : QAbstractListModel(parent),
      journal_(journal),
      thumbnails_(thumbnails),
      files_(files),
      placeholder_(ThumbnailCache::kSide, ThumbnailCache::kSide, QImage::Format_RGB32) {
  placeholder_.fill(QColor(24, 24, 24));
  reader_.setMaxThreadCount(1);
  connect(&thumbnails_, &ThumbnailCache::Traced, this, &GalleryModel::Traced);
}

GalleryModel::~GalleryModel() {
  reader_.waitForDone();
}

void GalleryModel::Load(const GalleryQuery& query, std::size_t count, bool orAll) {
  ++generation_;
  beginResetModel();
  rows_.clear();
  rowsOf_.clear();
  endResetModel();
  query_ = query;
  cursor_ = {};
  orAll_ = orAll;
  Read(count, orAll);
}

void GalleryModel::LoadMore(std::size_t count) {
  if (loading_ || cursor_.end) return;
  Read(count, false);
}

void GalleryModel::Read(std::size_t count, bool orAll) {
  loading_ = true;
  const int generation = generation_;
  const bool first = rows_.empty() && !cursor_.started && cursor_.phase == 0;
  // Off the window's thread: a page waits for what is queued for the journal, and for the disk.
  reader_.start(
      [this, generation, query = query_, cursor = cursor_, count, orAll, first]() mutable {
        std::vector<JournalRow> rows = journal_.Page(query, cursor, count);
        if (rows.empty() && orAll && query.favouritesOnly) {
          GalleryQuery all;
          all.since = query.since;
          query = all;
          cursor = {};
          rows = journal_.Page(query, cursor, count);
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, query, cursor, rows = std::move(rows), first]() mutable {
              if (generation != generation_) return;  // a page of a list no longer shown
              query_ = std::move(query);
              orAll_ = false;
              Take(cursor, std::move(rows));
              emit PageRead(first);
            },
            Qt::QueuedConnection);
      });
}

void GalleryModel::Take(GalleryCursor cursor, std::vector<JournalRow> rows) {
  loading_ = false;
  cursor_ = cursor;
  if (rows.empty()) return;
  const int at = static_cast<int>(rows_.size());
  beginInsertRows({}, at, at + static_cast<int>(rows.size()) - 1);
  for (JournalRow& row : rows) {
    rowsOf_.emplace(ThumbnailCache::Key(row.figure), static_cast<int>(rows_.size()));
    rows_.push_back(std::move(row));
  }
  endInsertRows();
}

void GalleryModel::Reindex() {
  rowsOf_.clear();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rowsOf_.emplace(ThumbnailCache::Key(rows_[i].figure), static_cast<int>(i));
  }
}

void GalleryModel::Changed(const FigureRecord& figure) {
  const auto [begin, end] = rowsOf_.equal_range(ThumbnailCache::Key(figure));
  for (auto it = begin; it != end; ++it) {
    const QModelIndex at = index(it->second);
    emit dataChanged(at, at);
  }
}

void GalleryModel::Mark(const std::vector<JournalRow>& rows, bool on, bool ownTimes) {
  std::unordered_set<std::string> done;
  for (const JournalRow& row : rows) {
    const std::string key = ThumbnailCache::Key(row.figure);
    if (!done.insert(key).second) continue;
    const double at = ownTimes && row.markedAt > 0 ? row.markedAt : NowSeconds();
    journal_.SetFavourite(row.figure, on, row.id, at);
    const auto [begin, end] = rowsOf_.equal_range(key);
    for (auto it = begin; it != end; ++it) {
      JournalRow& shown = rows_[static_cast<std::size_t>(it->second)];
      shown.favourite = on;
      if (on) shown.markedAt = at;
    }
    Changed(row.figure);
  }
  emit MarksChanged();
}

void GalleryModel::SetNote(const JournalRow& row, const std::string& note) {
  journal_.SetNote(row.figure, note, row.id);
  const std::string kept = KeptNote(note);  // as the journal keeps it
  const auto [begin, end] = rowsOf_.equal_range(ThumbnailCache::Key(row.figure));
  for (auto it = begin; it != end; ++it) rows_[static_cast<std::size_t>(it->second)].note = kept;
  Changed(row.figure);
}

GalleryModel::Removal GalleryModel::Remove(std::vector<int> places) {
  std::sort(places.begin(), places.end());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  std::erase_if(places, [this](int at) { return at < 0 || at >= rowCount(); });
  Removal removal;
  removal.places = places;
  removal.generation = generation_;
  for (int at : places) removal.rows.push_back(row(at));
  if (places.empty()) return removal;
  removal.removal = journal_.Remove(removal.rows);
  for (auto it = places.rbegin(); it != places.rend(); ++it) {
    beginRemoveRows({}, *it, *it);
    rows_.erase(rows_.begin() + *it);
    endRemoveRows();
  }
  Reindex();
  return removal;
}

std::vector<int> GalleryModel::Restore(const Removal& removal) {
  journal_.Restore(removal.rows, removal.removal);
  if (removal.generation != generation_) return {};
  std::vector<int> places;
  for (std::size_t i = 0; i < removal.rows.size(); ++i) {
    // Ascending, each place counts the rows before it as they were: all back in order.
    const int at = std::min(removal.places[i], rowCount());
    beginInsertRows({}, at, at);
    rows_.insert(rows_.begin() + at, removal.rows[i]);
    endInsertRows();
    places.push_back(at);
  }
  Reindex();
  return places;
}

int GalleryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant GalleryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const JournalRow& row = rows_[static_cast<std::size_t>(index.row())];
  const auto when = [this, &row] {
    const bool marked = query_.order == GalleryQuery::Order::Marked && row.markedAt > 0;
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(
        marked ? static_cast<qint64>(row.markedAt * 1000) : row.shownAt * 1000);
    return QLocale().toString(time, time.date().year() == QDate::currentDate().year()
                                        ? tr("d MMM HH:mm")
                                        : tr("d MMM yyyy"));
  };
  const auto name = [&row] { return QString::fromStdString(FigureName(row.figure)); };
  // Whole, control characters escaped: the tile cuts it to its width, the tooltip wraps it.
  const auto note = [&row] {
    return QString::fromStdString(EscapeText(row.note, std::numeric_limits<std::size_t>::max()));
  };
  switch (role) {
    case Qt::DecorationRole: {
      const QImage image = thumbnails_.Find(row.figure);
      return image.isNull() ? placeholder_ : image;
    }
    case Qt::DisplayRole:
      return row.note.empty() ? tr("%1, %2").arg(name(), when())
                              : tr("%1, %2: %3").arg(name(), when(), note());
    case Qt::ToolTipRole:
      // Rich text, so that a long note is wrapped rather than one line across the screen.
      return row.note.empty()
                 ? tr("figure-%1").arg(name())
                 : QStringLiteral("<p>%1<br>%2</p>")
                       .arg(tr("figure-%1").arg(name()).toHtmlEscaped(), note().toHtmlEscaped());
    case Qt::EditRole: return QString::fromStdString(row.note);
    case FavouriteRole: return row.favourite;
    case NameRole: return name();
    case WhenRole: return when();
    case NoteRole: return note();
    default: return {};
  }
}

bool GalleryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount()) return false;
  const std::string note = value.toString().trimmed().toStdString();
  const JournalRow before = row(index.row());
  if (note == before.note) return true;
  SetNote(before, note);
  emit NoteWritten(before, KeptNote(note));
  return true;
}

Qt::ItemFlags GalleryModel::flags(const QModelIndex& index) const {
  return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled | Qt::ItemIsEditable;
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

QString GalleryTile::ElidedLine(const QString& text, bool note, const QFontMetrics& metrics,
                                int width) {
  // A note is read from its start, its whole in the tooltip; a name is told apart by both ends.
  return metrics.elidedText(text, note ? Qt::ElideRight : Qt::ElideMiddle, width);
}

QRect GalleryTile::StarRect(const QRect& cell) {
  const QRect thumbnail = ThumbnailRect(cell);
  return {thumbnail.right() - 25, thumbnail.top() + 3, 23, 23};
}

QSize GalleryTile::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return {ThumbnailCache::kSide + 2 * kPad,
          ThumbnailCache::kSide + 2 * kPad + kLines * option.fontMetrics.height()};
}

void GalleryTile::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
  painter->save();
  const QRect cell = option.rect;
  // The thumbnail as it is: a selection tint would change the figure's colours.
  painter->drawImage(ThumbnailRect(cell), index.data(Qt::DecorationRole).value<QImage>());
  painter->setRenderHint(QPainter::Antialiasing);
  const QRect star = StarRect(cell);
  const bool favourite = index.data(GalleryModel::FavouriteRole).toBool();
  painter->setPen(Qt::NoPen);
  painter->setBrush(QColor(0, 0, 0, 150));
  painter->drawEllipse(star);
  QFont font = option.font;
  font.setPixelSize(17);
  painter->setFont(font);
  painter->setPen(favourite ? QColor(255, 196, 32) : QColor(255, 255, 255, 180));
  painter->drawText(star, Qt::AlignCenter,
                    favourite ? QStringLiteral("\u2605") : QStringLiteral("\u2606"));

  const QFontMetrics& metrics = option.fontMetrics;
  painter->setFont(option.font);
  painter->setPen(option.palette.color(QPalette::Text));
  const QString lines[kLines] = {index.data(GalleryModel::NameRole).toString(),
                                 index.data(GalleryModel::WhenRole).toString(),
                                 index.data(GalleryModel::NoteRole).toString()};
  for (int line = 0; line < kLines; ++line) {
    const QRect at = LineRect(cell, metrics, line);
    painter->drawText(at, Qt::AlignHCenter | Qt::AlignVCenter,
                      ElidedLine(lines[line], line == kLines - 1, metrics, at.width()));
  }

  if (option.state & QStyle::State_Selected) {
    painter->setPen(QPen(option.palette.color(QPalette::Highlight), 3));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(cell).adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
  } else if (option.state & QStyle::State_HasFocus) {
    painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(cell).adjusted(1.5, 1.5, -1.5, -1.5));
  }
  painter->restore();
}

QWidget* GalleryTile::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                   const QModelIndex&) const {
  auto* editor = new QLineEdit(parent);
  editor->setMaxLength(kNoteTyped);
  editor->setPlaceholderText(tr("Note"));
  return editor;
}

void GalleryTile::setEditorData(QWidget* editor, const QModelIndex& index) const {
  // The view fills an open editor again at every change of its row, a thumbnail traced among
  // them: what is being typed stays.
  if (const auto* line = qobject_cast<QLineEdit*>(editor); line != nullptr && line->isModified()) {
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void GalleryTile::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                       const QModelIndex&) const {
  const QRect note = LineRect(option.rect, option.fontMetrics, kLines - 1);
  editor->setGeometry(note.adjusted(0, -4, 0, 4));
}

bool GalleryTile::editorEvent(QEvent* event, QAbstractItemModel* model,
                              const QStyleOptionViewItem& option, const QModelIndex& index) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
      type == QEvent::MouseButtonDblClick) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    // The star takes its clicks whole: they neither select nor open the figure.
    if (mouse->button() == Qt::LeftButton &&
        StarRect(option.rect).contains(mouse->position().toPoint())) {
      if (type == QEvent::MouseButtonRelease) emit StarClicked(index);
      return true;
    }
  }
  return QStyledItemDelegate::editorEvent(event, model, option, index);
}

}  // namespace stringart
