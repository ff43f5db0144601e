#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>
#include <QThreadPool>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "journal/Journal.h"
#include "window/ThumbnailCache.h"

namespace stringart {

class FigureFiles;

// The gallery's figures for a QListView, read from the journal a page at a time off the
// window's thread: each row a kept figure with its thumbnail (traced on demand, a dark square
// until then), its name, when it was shown or marked, and its note; dragged out, a PNG file of
// it. Changes made here (a mark, a note, a removal) show at once and are queued for the journal.
class GalleryModel final : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role {
    FavouriteRole = Qt::UserRole,  // bool
    NameRole,                      // the figure's twelve hex digits
    WhenRole,                      // the time the list is ordered by, as text
    NoteRole,
  };
  // Rows taken out of the list by Remove, with their places, for Restore.
  struct Removal {
    std::int64_t removal = 0;
    std::vector<int> places;  // ascending
    std::vector<JournalRow> rows;
    int generation = 0;
  };

  GalleryModel(Journal& journal, ThumbnailCache& thumbnails, FigureFiles& files,
               QObject* parent = nullptr);
  // Waits for a page being read.
  ~GalleryModel() override;

  // Empties the list and reads the first `count` rows of `query`. With `orAll`, favourites that
  // turn out to be none give way to all figures, most recently shown first.
  void Load(const GalleryQuery& query, std::size_t count, bool orAll = false);
  // Reads `count` rows more, unless a page is being read or the list is complete.
  void LoadMore(std::size_t count);
  bool loading() const { return loading_; }
  // Whether the list is a Load with `orAll` whose first page has not come: whether it shows
  // the favourites or all figures is not known yet, and query() is not the one shown.
  bool choosing() const { return orAll_; }
  bool complete() const { return cursor_.end; }
  const GalleryQuery& query() const { return query_; }
  const std::vector<JournalRow>& rows() const { return rows_; }
  const JournalRow& row(int at) const { return rows_[static_cast<std::size_t>(at)]; }

  // Marks or unmarks each of `rows` (and every row of the same figure); with `ownTimes`, a mark
  // takes the time the row carries, so that an undone unmark finds its place again.
  void Mark(const std::vector<JournalRow>& rows, bool on, bool ownTimes = false);
  void SetNote(const JournalRow& row, const std::string& note);
  // Takes the rows at `places` out of the list and out of the gallery.
  Removal Remove(std::vector<int> places);
  // Brings back what Remove took out: into the list at its places, which are returned, or only
  // into the journal when the list has been read again since (none returned).
  std::vector<int> Restore(const Removal& removal);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  // Writes each figure as a PNG, carrying its command, into a folder of the system's temporary
  // one, and hands over the files.
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

 signals:
  // A page has come; `first` for the first of a Load.
  void PageRead(bool first);
  // The favourite marks of figures changed here.
  void MarksChanged();
  // A note was written here, `after` as the journal keeps it, over the one `before` has.
  void NoteWritten(const JournalRow& before, const std::string& after);

 private:
  void Read(std::size_t count, bool orAll);
  void Take(GalleryCursor cursor, std::vector<JournalRow> rows);
  void Traced(const std::string& key);
  // Emits dataChanged for every row of `figure`.
  void Changed(const FigureRecord& figure);
  void Reindex();

  Journal& journal_;
  ThumbnailCache& thumbnails_;
  FigureFiles& files_;
  GalleryQuery query_;
  GalleryCursor cursor_;
  int generation_ = 0;  // counts Loads: a page of an earlier one is dropped
  bool loading_ = false;
  bool orAll_ = false;
  std::vector<JournalRow> rows_;
  std::unordered_multimap<std::string, int> rowsOf_;  // ThumbnailCache::Key -> rows
  QImage placeholder_;
  QThreadPool reader_;  // one thread: pages come in the order asked
};

// How a gallery tile looks: the thumbnail untouched, a star in its corner that toggles the
// favourite, under it the figure's name, its time and its note; a selected tile gets a frame.
class GalleryTile final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit GalleryTile(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;
  // The places of the thumbnail and of the star on it in a tile at `cell`.
  static QRect ThumbnailRect(const QRect& cell);
  static QRect StarRect(const QRect& cell);
  // Line `text` of a tile as wide as `width`, cut with "…" where it is too long: the note (the
  // last line) at its end, the others in the middle.
  static QString ElidedLine(const QString& text, bool note, const QFontMetrics& metrics, int width);

 signals:
  void StarClicked(const QModelIndex& index);

 protected:
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

}  // namespace stringart
