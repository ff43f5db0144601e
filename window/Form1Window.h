#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "canvas/Picture1.h"
#include "runtime/DrawSource.h"
#include "window/FigureFiles.h"
#include "window/Form1.h"

class QAction;
class QProgressDialog;
class QPushButton;
class QThread;
class QTimer;

namespace stringart {

class Picture1View;
struct ExportJob;

// The program's window "Form1": the canvas Picture1 and the button Command1 ("new") at fixed
// places, the figure logic of Form1 behind them, and a context menu on the canvas to save or
// copy the picture.
class Form1Window final : public QWidget, public WindowServices {
  Q_OBJECT

 public:
  // Client-area pixels; the window keeps this size.
  static constexpr int kClientWidth = 653;
  static constexpr int kClientHeight = 584;

  // Figures draw from `random`, and files are saved through `files`; both must outlive the
  // window.
  Form1Window(DrawSource& random, FigureFiles& files, QWidget* parent = nullptr);
  // Cancels a running export and waits for it, so that it leaves no file.
  ~Form1Window() override;

  // The load handler: shows the window and traces the first figure before it returns.
  void FormLoad();
  // The handler of "new".
  void Command1Click();

  // Saves the picture on the canvas to `path` (.png or .svg). Returns false with `error` set.
  bool SavePicture(const QString& path, QString& error) const;
  // Asks for a file name, saves, and tells of a failure in a message box.
  void SavePictureAs();
  // Puts a copy of the picture on the clipboard.
  void CopyPicture() const;

  // Starts writing the last figure at `width` x `height` pixels off the window's thread: a
  // large picture (.png; seconds 0) or an animation (.mp4, .webm) of `seconds` at `fps`, on a
  // canvas of its own, with a progress dialog that can cancel. The window stays usable; a
  // failure is told in a message box. False with `error` set when it cannot start.
  bool StartExport(const QString& path, int width, int height, int seconds, int fps,
                   QString& error);
  // Whether an export is running.
  bool exporting() const { return exportThread_ != nullptr; }
  // Ask for a size and a file name, then StartExport.
  void SaveLargePictureAs();
  void SaveAnimationAs();

  const Form1& form() const { return form_; }
  const Picture1& picture() const { return picture1_; }
  Picture1View* pictureView() const { return view_; }
  QPushButton* command1() const { return command1_; }

  // WindowServices
  void Show() override;
  void ClearWindow() override;

 private:
  Picture1 picture1_;
  Form1 form_;
  FigureFiles& files_;
  Picture1View* view_;
  QPushButton* command1_;
  QAction* saveLarge_;
  QAction* saveAnimation_;
  // The running export, if any, and what shows its progress.
  std::shared_ptr<ExportJob> job_;
  QThread* exportThread_ = nullptr;
  QProgressDialog* progress_ = nullptr;
  QTimer* poll_ = nullptr;
  void ExportFinished();
};

}  // namespace stringart
