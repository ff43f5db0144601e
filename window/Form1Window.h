#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "canvas/Picture1.h"
#include "export/FigureFiles.h"
#include "form/Form1.h"
#include "options/ExportRequest.h"
#include "runtime/DrawSource.h"
#include "window/ExportRunner.h"
#include "window/FigureReader.h"

class QAction;
class QMenu;
class QPushButton;
class QTimer;

namespace stringart {

class FigureStage;
class FullScreenView;
class HelpWindow;
class ExportNote;
struct WallpaperWork;
class JournalLink;
class Picture1View;

// The program's window "Form1": the canvas Picture1 and the button Command1 ("new") at fixed
// places, the figure logic of Form1 behind them, the keyboard and mouse ways through the run's
// figures, and a context menu on the canvas to go back and forth, save, open and copy.
class Form1Window final : public QWidget, public WindowServices {
  Q_OBJECT

 public:
  // Client-area pixels; the window keeps this size.
  static constexpr int kClientWidth = 653;
  static constexpr int kClientHeight = 584;

  // Figures draw from `random`, and files are saved and read through `files`; both must outlive
  // the window.
  Form1Window(DrawSource& random, FigureFiles& files, QWidget* parent = nullptr);

  // The load handler: shows the window and traces the first figure before it returns.
  void FormLoad();
  // The same with the first figure traced ahead.
  void FormLoad(FirstFigureAhead& ahead);
  // The load handler when the command line names the figures to show: `figure` (--draws), or
  // those the `files` carry, read off the window's thread, the first of them shown. A random
  // figure comes only when none of the files carries one.
  void FormLoad(const FigureRecord& figure);
  void FormLoad(const QStringList& files);
  // The handler of "new".
  void Command1Click();
  // Shows the figure before or after the one on the canvas, traced again; nothing at either end.
  void GoBack() {
    if (form_.GoBack()) FigureShown();
  }
  void GoForward() {
    if (form_.GoForward()) FigureShown();
  }

  // Saves the picture on the canvas to `path` (.png or .svg). Returns false with `error` set.
  bool SavePicture(const QString& path, QString& error);
  // Where "Save picture as" proposes to save the figure on the canvas: a name that names the
  // figure, with `suffix` ("png" or "svg"), in the folder last saved to, else the Pictures
  // folder, else the home folder.
  QString ProposedSavePath(const QString& suffix) const;
  // Asks for a file name, saves, and tells of a failure in a message box.
  void SavePictureAs();
  // From now on (called once, before FormLoad) keeps every figure shown anew in the journal at
  // `path` (see Journal), with favourites (Ctrl+D) and the gallery (Ctrl+H); notices about it
  // are told once each.
  void KeepFigures(const std::string& path);
  // Traces the figure that a file saved by this program carries and appends it to the history.
  // Returns false with `error` set, changing nothing, when the file carries no figure.
  bool OpenFigureFile(const QString& path, QString& error);
  // Asks for a file, opens it, and tells of a failure in a message box.
  void OpenFigureAs();
  // The one way to show a given figure as a figure of its own (from a file, the gallery, a
  // variation, the Adjust window): traces it on the canvas, appends it to the history and keeps
  // it in the journal as come from `origin`.
  void OpenFigure(const FigureRecord& figure, FigureOrigin origin = FigureOrigin::Opened);
  // Traces `figure` on the canvas without adding it to the history (Form1::Preview).
  void PreviewFigure(const FigureRecord& figure);
  // Opens each file's figure at the end of the history, then shows the first of them when
  // `showFirst` (else the last stays shown); the files that cannot be opened are told in one
  // message, a line each. The files are read off the window's thread: this returns at once.
  void OpenFigureFiles(const QStringList& paths, bool showFirst);
  // Whether files given to OpenFigureFiles are still being read.
  bool readingFiles() const { return reader_->reading(); }
  // Puts a copy of the picture on the clipboard.
  void CopyPicture() const;
  // Puts the stringart-render command that makes the figure on the canvas on the clipboard.
  void CopyFigureCommand() const;
  // Fills `menu` with what the canvas's context menu offers, as it stands now.
  void FillContextMenu(QMenu& menu) const;
  // Opens the context menu at `at` on the canvas, in the canvas's pixels.
  void ShowContextMenu(QPoint at);

  // Starts writing the file `request` asks for of the last figure off the window's thread (a
  // large picture or an animation), on a canvas of its own, with a progress dialog that can
  // cancel. The window stays usable; a failure is told in a message box. False with `error` set
  // when it cannot start.
  bool StartExport(const ExportRequest& request, QString& error);
  // Whether an export is running.
  bool exporting() const { return exports_->running(); }
  // Ask for a size and a file name (and an animation's time and rate), then StartExport.
  void SaveLargePictureAs() { AskAndExport(false); }
  void SaveAnimationAs() { AskAndExport(true); }
  // Asks in "Save for paper" for a plotter's or a printer's file of the figure, then StartExport.
  void SaveForPaperAs();
  // Prints the figure through the print dialog's printer, off the window's thread.
  void Print();
  // Lets the exports be started, or not while one runs.
  void EnableExports(bool enabled);
  // Draws the figure at every screen's size off the window's thread and makes it the desktop's
  // wallpaper; a note says where the pictures are.
  void SetAsWallpaper();

  // What the help window tells of the command line: its usage and options, in the person's
  // language. Without it the help tells the keys alone.
  void SetOptionsHelp(const QString& help) { optionsHelp_ = help; }
  // Opens "Keys and options" (F1), or brings it forward.
  void ShowHelp();
  // The help window once opened, else null.
  HelpWindow* helpWindow() const;
  // Opens "About stringart": the version, the licence and where the program's files are.
  void ShowAbout();

  // Shows the figure on the whole screen, or with `slideshowSeconds` > 0 a slideshow of new
  // figures that often; the window stays as it is behind it.
  void ShowFullScreen(int slideshowSeconds = 0);
  // The full screen while it is open, else null.
  FullScreenView* fullScreenView() const;

  const Form1& form() const { return form_; }
  const Picture1& picture() const { return picture1_; }
  Picture1View* pictureView() const { return view_; }
  QPushButton* command1() const { return command1_; }
  FigureFiles& files() const { return files_; }
  // Where a finished export is told.
  ExportNote* exportNote() const { return note_; }
  // Null until KeepFigures.
  JournalLink* journalLink() const { return journal_; }
  // The window as the windows around it see it; it tells when another figure is on the canvas.
  FigureStage& stage() const { return *stage_; }

 public:
  // WindowServices
  void Show() override { show(); }
  // The window draws nothing of its own, so its surface is always its background colour; a
  // repaint is all that clearing takes.
  void ClearWindow() override { update(); }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void PlaceControls();
  void CreateActions();
  // Where the window was when it last closed.
  void ReadSettings();
  // A figure is on the canvas: show it and bring the menu's place and actions up to date.
  void FigureShown();
  // Tells of a problem without waiting for an answer: safe inside a drop.
  void ShowProblem(const QString& title, const QString& text);
  void AskAndExport(bool animation);

  Picture1 picture1_;
  Form1 form_;
  FigureFiles& files_;
  Picture1View* view_;
  QPushButton* command1_;
  QAction *place_, *new_, *back_, *forward_, *save_, *copy_, *copyCommand_, *open_, *quit_;
  QAction* saveLarge_;
  QAction* saveAnimation_;
  QAction* savePaper_;
  QAction* print_;
  QAction* wallpaper_;
  QAction *variations_, *adjust_;  // open the windows that steer the figure
  QAction *help_, *about_;
  QMenu* helpMenu_;
  QString optionsHelp_;
  // Writes exports off the window's thread; cancels and waits for one when the window closes.
  ExportRunner* exports_;
  ExportNote* note_;
  FigureReader* reader_;
  void FiguresRead(const std::vector<FigureReader::Read>& reads, bool showFirst);
  ExportRequest exporting_;                       // what the last export started writes
  QString exportPath_;                            // its file, absolute
  std::shared_ptr<WallpaperWork> wallpaperWork_;  // while a wallpaper is being set
  bool printing_ = false;                         // while the figure is printed
  void ExportFinished(ExportResult result, const QString& error);
  QAction *fullScreenAction_, *slideshowAction_;
  QPointer<FullScreenView> fullScreen_;
  JournalLink* journal_ = nullptr;
  FigureStage* stage_;
  QTimer* newSoon_;  // "new" from the keys, made once the events queued meanwhile are seen
  bool randomIfNoneRead_ = false;  // the files being read are the start's figures
};

}  // namespace stringart
