#include "window/FullScreenView.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <string>

#include "options/ExportLimits.h"

namespace stringart {
namespace {

constexpr int kFrameMilliseconds = 40;  // a slideshow's figure is drawn at 25 frames a second

bool IsModifier(int key) {
  switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock: return true;
    default: return false;
  }
}

}  // namespace

FullScreenView::FullScreenView(const Form1& form, const FullScreenKeys& keys, int slideshowSeconds,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      form_(form),
      keys_(keys),
      seconds_(std::max(slideshowSeconds, 0)),
      frames_(new QTimer(this)),
      nextFigure_(new QTimer(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted: no background first
  setWindowTitle(slideshow() ? tr("Form1 slideshow") : QStringLiteral("Form1"));
  setCursor(Qt::BlankCursor);
  for (QAction* action : {keys_.newFigure, keys_.back, keys_.forward}) {
    if (action != nullptr) addAction(action);
  }
  addActions(keys_.others);
  frames_->setInterval(kFrameMilliseconds);
  connect(frames_, &QTimer::timeout, this, &FullScreenView::Frame);
  nextFigure_->setSingleShot(true);
  connect(nextFigure_, &QTimer::timeout, this, [this] {
    if (keys_.newFigure != nullptr) keys_.newFigure->trigger();
  });
  // The whole screen the window is on; a window manager would do this for showFullScreen
  // alone, and without one this still covers the screen.
  if (parent != nullptr && parent->screen() != nullptr) {
    setGeometry(parent->screen()->geometry());
  }
}

double FullScreenView::DrawingSeconds(int slideshowSeconds) {
  return std::min<double>(kDefaultSeconds, slideshowSeconds / 2.0);
}

void FullScreenView::resizeEvent(QResizeEvent*) {
  // Showing full screen may resize more than once to the same size; a drawing is not cheap.
  const double ratio = devicePixelRatioF();
  if (picture_ && picture_->width() == std::lround(width() * ratio) &&
      picture_->height() == std::lround(height() * ratio)) {
    return;
  }
  ShowFigure();
}

void FullScreenView::ShowFigure() {
  frames_->stop();
  nextFigure_->stop();
  figure_.reset();
  image_ = QImage();
  picture_.reset();
  const double ratio = devicePixelRatioF();
  const int w = static_cast<int>(std::lround(width() * ratio));
  const int h = static_cast<int>(std::lround(height() * ratio));
  std::string error;
  if (!form_.showsFigure() || w <= 0 || h <= 0 ||
      !(picture_ = LargePicture::Make(w, h, error))) {
    update();
    return;
  }
  image_ =
      QImage(reinterpret_cast<const uchar*>(picture_->pixels()), w, h, w * 4, QImage::Format_RGB32);
  image_.setDevicePixelRatio(ratio);
  figure_.emplace(form_.lastFigure());
  drawing_.start();
  if (slideshow()) {
    frames_->start();
    nextFigure_->start(seconds_ * 1000);
  } else {
    figure_->DrawRest(*picture_);
  }
  update();
}

void FullScreenView::Frame() {
  if (!figure_) return;
  const double fraction = drawing_.elapsed() / (1000.0 * DrawingSeconds(seconds_));
  const PixelBox box = figure_->DrawUpTo(fraction, *picture_);
  if (figure_->complete()) frames_->stop();
  if (box.width <= 0) return;
  const double ratio = devicePixelRatioF();
  update(QRectF(box.left / ratio, box.top / ratio, box.width / ratio, box.height / ratio)
             .toAlignedRect()
             .adjusted(-1, -1, 1, 1));
}

void FullScreenView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::black);
  if (!image_.isNull()) painter.drawImage(QPointF(0, 0), image_);
}

bool FullScreenView::event(QEvent* event) {
  // F11 is also the window's key to the full screen, whose shortcut would take it first and open
  // the full screen anew: here it is this view's, to leave by, as Esc is.
  if (event->type() == QEvent::ShortcutOverride) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_F11 || key == Qt::Key_Escape) {
      event->accept();
      return true;
    }
  }
  return QWidget::event(event);
}

void FullScreenView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  // A modifier alone may be the start of one of the window's keys (Alt before Left).
  if (IsModifier(key)) return;
  if (key == Qt::Key_Escape || key == Qt::Key_F11 || slideshow()) close();
}

void FullScreenView::mousePressEvent(QMouseEvent* event) {
  QAction* action = event->button() == Qt::BackButton      ? keys_.back
                    : event->button() == Qt::ForwardButton ? keys_.forward
                                                           : nullptr;
  if (action != nullptr) {
    action->trigger();
  } else if (slideshow()) {
    close();
  }
}

}  // namespace stringart
