#pragma once

#include <QStringList>
#include <QThreadPool>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "journal/Journal.h"
#include "options/ExportRequest.h"
#include "window/GalleryModel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QTimer;

namespace stringart {

class FigureFiles;
class MorphButton;
class ThumbnailCache;

// The window "Figures": the journal's figures as a grid of tiles, read a page at a time as they
// come into view, either the favourites or all of them, most recently shown or marked first, over
// a chosen span of days, or those whose note holds a text (Ctrl+F). Arrows move; Enter or a
// double click shows the figure in the main window; the star on a tile or Ctrl+D marks the
// selected figures; F2 writes a figure's note; Delete takes the selected figures out of the
// gallery (kept in the journal); Ctrl+Z brings back what was last changed and Ctrl+Shift+Z (or
// Ctrl+Y) does it again; a figure dragged out becomes a PNG file; with two figures selected (Ctrl
// or Shift and a click or an arrow), Ctrl+M saves a morph from the one selected first to the one
// selected last. Figures files are saved from the selection (or all favourites) and opened into
// the journal, what came of it told in the line at the foot. Figures another program adds to the
// journal (another window, `stringart --import`) show while the gallery is open. Esc or Ctrl+W
// closes it.
class GalleryWindow final : public QWidget {
  Q_OBJECT

 public:
  enum class Period { All, Today, ThisWeek };
  using ShowFigure = std::function<void(const FigureRecord& figure)>;

  // `show` puts a chosen figure in the main window. Everything passed must outlive the window.
  GalleryWindow(Journal& journal, ThumbnailCache& thumbnails, FigureFiles& files, ShowFigure show,
                QWidget* parent = nullptr);
  ~GalleryWindow() override;

  // Reads the journal again from the top, all days, on the tab shown last (at first the
  // favourites, or all figures when there are none), with the first selected. Returns at once;
  // the rows follow.
  void Open();
  // Shows the favourites or all figures, the first selected; with `orAll`, all figures where
  // favourites are asked for and there are none.
  void ShowFavourites(bool favourites, bool orAll = false);
  bool showingFavourites() const { return model_->query().favouritesOnly; }
  GalleryQuery::Order order() const { return model_->query().order; }
  void SetPeriod(Period period);
  void SetOrder(GalleryQuery::Order order);
  // Only the figures whose note holds `text`; empty: all.
  void Search(const QString& text);
  // Reads the list again as it is chosen.
  void Reload();
  // Whether rows are being read.
  bool loading() const { return model_->loading() || busy_ > 0; }

  // Marks the selected figures, or unmarks them when all are marked already.
  void ToggleFavouriteSelected();
  // Takes the selected figures out of the gallery; Undo brings them back in their places.
  void RemoveSelected();
  // Undoes the last removal, marking or note.
  void Undo();
  // Does again what Undo last took back; a change made since leaves nothing to redo.
  void Redo();
  // Opens the note of the current figure for writing.
  void EditNote();
  // Shows the selected figure in the main window.
  void ShowSelected();

  // Writes the current figure's picture to `path` (PNG or SVG by its extension).
  bool SavePicture(const QString& path, QString& error);
  // Writes the selected figures, or all favourites when none is selected, to the figures file
  // `path`, all or nothing, off the window's thread; told when done.
  void SaveFigures(const QString& path);
  // Adds the figures of the figures file `path` to the journal off the window's thread, then
  // reads the list again; told when done.
  void ImportFigures(const QString& path);
  // Ask for a file, then the above.
  void SavePictureAs();
  void SaveFiguresAs();
  void ImportFiguresAs();

  // Starts writing the morph between the two selected figures into the file, size, length and
  // rate of `request` off the window's thread, from the figure selected first to the current
  // one; false with `error` set when two figures are not selected or a morph is being written.
  bool StartMorph(ExportRequest request, QString& error);
  // Whether a morph is being written.
  bool exporting() const;

  const std::vector<JournalRow>& rows() const;
  // The current row when it is selected, or -1.
  int selectedRow() const;
  // The selected rows, ascending.
  std::vector<int> selectedRows() const;
  QListView* view() const { return view_; }
  MorphButton* saveMorphButton() const { return saveMorph_; }
  // Fills `menu` with what the tiles' context menu offers.
  void FillContextMenu(QMenu& menu);
  // Whether every thumbnail in view has been traced.
  bool ScreenTraced() const;
  // What the window has told (saved, imported, failed), in order; the last in the status line.
  const QStringList& told() const { return told_; }

 signals:
  // Favourite marks were changed here.
  void MarksChanged();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The tab and orders kept from the last run.
  void ReadSettings();
  // The list of tiles and what it answers to.
  void CreateView();
  // The bar above it: favourites or all, order, period, search, files.
  void CreateBar();
  // The tiles' actions and the window's keys.
  void CreateActions();
  // The morph's ends from the selection: from the figure selected first to the current one.
  bool ChooseMorph(FigureRecord& from, FigureRecord& to, QString& error) const;
  // Changes Undo takes back and Redo makes again, newest last.
  struct Change {
    GalleryModel::Removal removal;   // a removal when it holds rows
    std::vector<JournalRow> before;  // marks or a note: the rows as they were
    bool note = false;
    bool on = false;        // marks: whether they were marked or unmarked
    std::string noteAfter;  // a note: as it was written
  };
  // Keeps `change` for Undo; what was undone before can no longer be redone.
  void Done(Change change);
  // Takes the rows of `removal` out again, wherever they are now; the removal that did it.
  GalleryModel::Removal RemoveAgain(const GalleryModel::Removal& removal);
  // Goes to the last figure of the list once all of it is read, as the view's End would.
  void EndWhenRead();
  // Asks the journal, off the window's thread, whether another program has written to it, and
  // reads the list again, the selection kept, when it has.
  void CheckOthers();

  void Load(bool orAll);
  void PageRead(bool first);
  // Reads more rows when fewer than a screenful lie below the last one in view.
  void ReadAhead();
  // Tiles that fit in the view, at least one screenful.
  std::size_t Screenful() const;
  void Select(const std::vector<int>& rows);
  // Shows `text` in the status line, without a box to click away.
  void Tell(const QString& text);
  // Runs `work` on the window's pool, then `then` with its result on the window's thread.
  void Beside(std::function<QString()> work, std::function<void(const QString&)> then);

  Journal& journal_;
  ThumbnailCache& thumbnails_;
  FigureFiles& files_;
  ShowFigure show_;
  GalleryModel* model_;
  GalleryTile* tile_;
  QListView* view_;
  QPushButton *favouritesButton_, *allButton_;
  MorphButton* saveMorph_;
  QPushButton* openFigures_;
  QComboBox *order_, *period_;
  QLineEdit* search_;
  QAction *open_, *favourite_, *note_, *savePicture_, *saveFigures_, *remove_;
  GalleryQuery::Order orders_[2] = {GalleryQuery::Order::Shown, GalleryQuery::Order::Marked};
  std::vector<Change> undo_, redo_;
  QStringList told_;
  QLabel* status_;
  // End pressed before the list was all read: the key's modifiers, replayed when it is.
  std::optional<Qt::KeyboardModifiers> end_;
  QTimer* watch_;                    // asks CheckOthers while shown
  std::int64_t othersVersion_ = -1;  // as the journal last said; -1 before it was asked
  bool checking_ = false;
  bool reread_ = false;  // others wrote: the list is read again once no note is being written
  std::vector<std::int64_t> keep_;  // the ids to select again when the list has been read again
  int busy_ = 0;                    // figures files being written or read
  QThreadPool pool_;
};

}  // namespace stringart
