#pragma once

#include <QEvent>
#include <QObject>

namespace stringart::bench {

// Notes when the canvas widget gets a paint event. An event filter sees the event before the
// widget paints, so painting is over once the event loop returns with `painted` set.
class PaintWatch final : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

}  // namespace stringart::bench
