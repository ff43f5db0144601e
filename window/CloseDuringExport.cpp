#include "window/CloseDuringExport.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace stringart {

CloseDuringExport::CloseDuringExport(QWidget* window, std::function<QString()> writing)
    : QObject(window), window_(window), writing_(std::move(writing)) {
  window->installEventFilter(this);
}

bool CloseDuringExport::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::Close) return false;
  if (question_ != nullptr) {  // asked already: the answer decides
    question_->raise();
    event->ignore();
    return true;
  }
  const QString file = writing_();
  if (file.isEmpty()) return false;
  QMessageBox box(QMessageBox::Question, tr("Quit"),
                  tr("Stop writing %1 and quit?").arg(QFileInfo(file).fileName()),
                  QMessageBox::NoButton, window_);
  box.setTextFormat(Qt::PlainText);  // it names a file
  box.setInformativeText(tr("The file is not finished; stopping leaves none."));
  QPushButton* stop = box.addButton(tr("&Stop and quit"), QMessageBox::DestructiveRole);
  QPushButton* keep = box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(keep);  // Return keeps the work
  box.setEscapeButton(keep);
  question_ = &box;
  box.exec();
  question_ = nullptr;
  if (box.clickedButton() == stop) return false;  // the close goes on
  event->ignore();
  return true;
}

}  // namespace stringart
