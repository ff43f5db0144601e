// Driving the window Form1 from tests the way a user and the window system do: clicks and close
// requests that are queued like real input, figures that differ from one another, and the
// pictures to compare them with.
#pragma once

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include "canvas/Picture1.h"
#include "export/FigureFileWriter.h"
#include "figure/Tracer.h"
#include "options/ExportRequest.h"
#include "runtime/Clock.h"
#include "runtime/DrawSource.h"
#include "window/PictureImage.h"

namespace stringart::testing {

// The request a dialog makes of these choices; one the test cannot make fails it.
inline ExportRequest Request(const QString& path, int width, int height, int seconds = 0,
                             int fps = 0) {
  std::string error;
  const auto request =
      ExportRequest::Make(path.toStdString(), {width, height}, seconds, fps, {}, error);
  if (!request) throw std::invalid_argument(error);
  return *request;
}

// A time of day that moves on by a second at every reading: each figure gets a seed of its own,
// and a run repeats exactly.
class SteppingClock final : public Clock {
 public:
  float SecondsSinceMidnight() override {
    seconds_ = std::fmod(seconds_ + 1.0f, 86400.0f);
    return seconds_;
  }

 private:
  float seconds_ = 30000.0f;
};

// The program's random source on a SteppingClock, watched: it counts reseeds and draws, can be
// made to fail, and runs hooks. `onFigureStart` runs once per figure, when the tracer takes its
// first draw: the figure has begun and runs to its end once the hook returns. (FormLoad reseeds
// before the tracer does, so a reseed alone marks no figure.)
class SpyDraws : public DrawSource {
 public:
  void Reseed() override {
    ++reseeds;
    if (onReseed) onReseed();
    reseeded_ = true;
    inner_.Reseed();
  }
  float Next() override {
    if (reseeded_) {
      reseeded_ = false;
      ++figuresStarted;
      if (onFigureStart) onFigureStart(figuresStarted);
    }
    ++draws;
    if (failNext) throw std::runtime_error("the draws ran dry");
    return inner_.Next();
  }

  int reseeds = 0, draws = 0, figuresStarted = 0;
  bool failNext = false;  // the next draw throws
  std::function<void()> onReseed;
  std::function<void(int figure)> onFigureStart;  // figure counts from 1

 private:
  bool reseeded_ = false;
  RandomSource source_;
  SteppingClock clock_;
  ClockedRandom inner_{source_, clock_};
};

// Waits, running the event loop, until `window` has read the files it was handed (at most 20 s);
// false if it has not.
template <typename Window>
bool AwaitFilesRead(const Window& window) {
  const bool read = QTest::qWaitFor([&window] { return !window.readingFiles(); }, 20000);
  QCoreApplication::processEvents();
  return read;
}

// Queues a press and a release at the centre of `button`, as the window system delivers a
// click: it is handled only when the event loop next runs.
inline void PostClick(QPushButton* button) {
  const QPointF at = QRectF(button->rect()).center();
  const QPointF global = button->mapToGlobal(at);
  QCoreApplication::postEvent(
      button, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier));
  QCoreApplication::postEvent(
      button, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                              Qt::NoModifier));
}

// Queues the request that the window manager's close button makes. It goes to the native window
// rather than the widget: only that path hides the window and ends the event loop when it was
// the last one, as in the running program.
inline void PostCloseRequest(const QWidget& window) {
  QCoreApplication::postEvent(window.windowHandle(), new QCloseEvent);
}

// Runs `answer` on the next modal dialog or popup menu of type T once the event loop shows it,
// as a person answers it: the calls that open one return only once it is closed. `besides` is
// one already open that is not the one awaited (the menu a submenu opens from).
template <typename T>
void WhenShown(std::function<void(T*)> answer, const QWidget* besides = nullptr) {
  // The application's, named, so that the test's end stops one that nothing answered.
  auto* poll = new QTimer(qApp);
  poll->setObjectName(QStringLiteral("WhenShown"));
  QObject::connect(poll, &QTimer::timeout, [poll, answer, besides] {
    QWidget* shown = QApplication::activePopupWidget();
    if (shown == nullptr) shown = QApplication::activeModalWidget();
    if (auto* widget = qobject_cast<T*>(shown);
        widget != nullptr && widget != besides && widget->isVisible()) {
      poll->stop();
      poll->deleteLater();
      answer(widget);
    }
  });
  poll->start(10);
}

// Answers the next file dialog with `path`, typed into its name box, and its Save or Open button.
// (selectFile leaves the box alone once it has the focus, which it gets only some time after the
// dialog shows.)
inline void WhenAskedForAFile(const QString& path) {
  WhenShown<QFileDialog>([path](QFileDialog* ask) {
    ask->setDirectory(QFileInfo(path).absolutePath());
    ask->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(path).fileName());
    static_cast<QDialog*>(ask)->accept();
  });
}

// Answers the next popup menu with the mouse: a click on the item whose text (without its '&')
// begins with the first of `items`, then in the submenu that opens on the next, and so on. A menu
// without the item, or with it disabled, is closed unanswered.
inline void ChooseFromMenu(QStringList items, const QMenu* from = nullptr) {
  WhenShown<QMenu>(
      [items](QMenu* menu) mutable {
        const QString item = items.takeFirst();
        for (QAction* action : menu->actions()) {
          if (!action->isEnabled() || !action->text().remove('&').startsWith(item)) continue;
          if (!items.isEmpty()) ChooseFromMenu(items, menu);
          const QPoint at = menu->actionGeometry(action).center();
          QTest::mousePress(menu, Qt::LeftButton, {}, at);
          QTest::mouseRelease(menu, Qt::LeftButton, {}, at);
          return;
        }
        menu->close();
      },
      from);
}

// What the next message box says, "title: text", filled in once it is answered with OK.
inline std::shared_ptr<QString> WhenTold() {
  auto said = std::make_shared<QString>();
  WhenShown<QMessageBox>([said](QMessageBox* box) {
    *said = box->windowTitle() + QStringLiteral(": ") + box->text();
    box->accept();
  });
  return said;
}

// The program's files with troubles on demand: exports and wallpapers that fail with `failure`
// (as on a full disk) when it is set, an export that holds its thread once its file is in place
// until `released` (as a large picture's gigabytes take a while to be given back after the file is
// written), and reading that waits until `readable`. Set the troubles before the work starts.
class TroubledFiles final : public FigureFiles {
 public:
  bool Save(const std::string& path, const Picture1& picture, const FigureRecord& figure,
            std::string& error) override {
    return real_.Save(path, picture, figure, error);
  }
  std::string Command(const FigureRecord& figure) override { return real_.Command(figure); }
  std::optional<FigureRecord> Open(const std::string& path, std::string& error) override {
    reading = true;
    while (!readable) std::this_thread::yield();
    return real_.Open(path, error);
  }
  ExportResult Export(const ExportRequest& request, const FigureRecord& figure,
                      const ExportProgress& progress, std::string& error) override {
    if (!failure.empty()) {
      error = failure;
      return ExportResult::Failed;
    }
    const ExportResult result = real_.Export(request, figure, progress, error);
    while (!released) std::this_thread::yield();
    return result;
  }
  ExportResult SetWallpaper(const FigureRecord& figure, const std::vector<WallpaperScreen>& screens,
                            const std::string& folder, const ExportProgress& progress,
                            std::string& way, std::string& written, std::string& error) override {
    if (!failure.empty()) {
      error = failure;
      return ExportResult::Failed;
    }
    return real_.SetWallpaper(figure, screens, folder, progress, way, written, error);
  }

  std::string failure;
  std::atomic<bool> released{true}, readable{true}, reading{false};

 private:
  FigureFileWriter real_;
};

inline bool SamePixels(const QImage& a, const QImage& b) {
  return a.size() == b.size() &&
         a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

// The figure traced alone on a fresh black canvas: what the canvas shows when the figure was
// traced whole on a cleared canvas.
inline QImage Retraced(const FigureRecord& figure) {
  Picture1 picture;
  TraceAgain(figure, picture);
  return WrapPicture(picture).copy();
}

inline bool AllBlack(const Picture1& picture) {
  for (int y = 0; y < Picture1::kHeight; ++y) {
    for (int x = 0; x < Picture1::kWidth; ++x) {
      if (!(picture.At(x, y) == kBlack)) return false;
    }
  }
  return true;
}

}  // namespace stringart::testing
