#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMessageBox;

namespace stringart {

// Asks before a window closes while it writes a file: "Stop writing NAME and quit?". Stopping
// lets the close go on (the writer then cancels and leaves no file); Cancel keeps the window
// and lets the writing finish.
class CloseDuringExport final : public QObject {
  Q_OBJECT

 public:
  // `writing` names the file being written, empty when nothing is.
  CloseDuringExport(QWidget* window, std::function<QString()> writing);

  // The question, for those that answer it in place of a person; null when none is open.
  QMessageBox* question() const { return question_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  std::function<QString()> writing_;
  QMessageBox* question_ = nullptr;
};

}  // namespace stringart
