#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "journal/Journal.h"
#include "text/ExportRequest.h"

class QComboBox;
class QListView;
class QPushButton;

namespace stringart {

class ExportRunner;
class FigureFiles;
class GalleryModel;
class ThumbnailCache;

// The window "Figures": the journal's figures as a grid of thumbnails, newest first, either the
// favourites (most recently marked first) or all of them, over a chosen span of days. Arrows
// move; Enter or a double click shows the figure in the main window; Delete unmarks a
// favourite and Ctrl+Z marks it again; a figure dragged out becomes a PNG file; with two figures
// selected (Ctrl or Shift and a click or an arrow), Ctrl+M saves a morph from the one selected
// first to the one selected last.
class GalleryWindow final : public QWidget {
  Q_OBJECT

 public:
  enum class Period { All, Today, ThisWeek };
  using ShowFigure = std::function<void(const FigureRecord& figure)>;

  // `show` puts a chosen figure in the main window. Everything passed must outlive the window.
  GalleryWindow(Journal& journal, ThumbnailCache& thumbnails, FigureFiles& files, ShowFigure show,
                QWidget* parent = nullptr);

  // Reads the journal again: on the favourites when there are any, else on all figures, with
  // the first selected.
  void Open();
  // Shows the favourites or all figures, newest first, the first selected.
  void ShowFavourites(bool favourites);
  bool showingFavourites() const { return favourites_; }
  void SetPeriod(Period period);
  // Unmarks the selected figure's favourite; Undo marks it again in its place.
  void UnmarkSelected();
  void Undo();
  // Shows the selected figure in the main window.
  void ShowSelected();
  // Starts writing the morph between the two selected figures into the file, size, length and
  // rate of `request` off the window's thread, from the figure selected first to the current
  // one; false with `error` set when two figures are not selected or a morph is being written.
  bool StartMorph(ExportRequest request, QString& error);
  // Asks where, then StartMorph with the animations' defaults.
  void SaveMorphAs();
  ExportRunner& exports() const { return *exports_; }

  const std::vector<JournalRow>& rows() const;
  // The row selected, or -1.
  int selectedRow() const;
  QListView* view() const { return view_; }
  // Whether every thumbnail in view has been traced.
  bool ScreenTraced() const;

 private:
  void Load(int selectRow);

  Journal& journal_;
  ThumbnailCache& thumbnails_;
  FigureFiles& files_;
  ShowFigure show_;
  GalleryModel* model_;
  QListView* view_;
  QPushButton *favouritesButton_, *allButton_, *saveMorph_;
  QComboBox* period_;
  ExportRunner* exports_;
  bool favourites_ = false;
  struct Unmarked {
    JournalRow row;
  };
  std::vector<Unmarked> undo_;
};

}  // namespace stringart
