#pragma once

#include <QWidget>

namespace stringart {

// A frame drawn just outside a widget while it has the keyboard focus, in the style's highlight
// colour: the canvas shows only the figure, so the focus is marked around it, not on it.
class CanvasFocusFrame final : public QWidget {
  Q_OBJECT

 public:
  // Frame width in pixels.
  static constexpr int kWidth = 2;

  // Sits behind `target`, a child of the same parent, kWidth + 1 pixels larger on each side.
  explicit CanvasFocusFrame(QWidget* target);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* target_;
};

}  // namespace stringart
