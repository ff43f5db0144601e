#include "window/CanvasFocusFrame.h"

#include <QEvent>
#include <QPainter>

namespace stringart {

CanvasFocusFrame::CanvasFocusFrame(QWidget* target)
    : QWidget(target->parentWidget()), target_(target) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  constexpr int kMargin = kWidth + 1;
  setGeometry(target->geometry().adjusted(-kMargin, -kMargin, kMargin, kMargin));
  stackUnder(target);
  target->installEventFilter(this);
}

bool CanvasFocusFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == target_ &&
      (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    update();
  }
  return false;
}

void CanvasFocusFrame::paintEvent(QPaintEvent*) {
  if (!target_->hasFocus()) return;
  QPainter painter(this);
  const QColor colour = palette().color(QPalette::Highlight);
  for (int i = 0; i < kWidth; ++i) {
    painter.setPen(colour);
    painter.drawRect(rect().adjusted(i, i, -i - 1, -i - 1));
  }
}

}  // namespace stringart
