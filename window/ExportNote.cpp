#include "window/ExportNote.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace stringart {

ExportNote::ExportNote(QWidget* window)
    : QFrame(window),
      label_(new QLabel(this)),
      openFolder_(new QPushButton(tr("Open &folder"), this)),
      close_(new QPushButton(QStringLiteral("\u00d7"), this)) {
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::AlternateBase);
  setAccessibleName(tr("Export finished"));
  label_->setTextFormat(Qt::PlainText);
  label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  close_->setFlat(true);
  close_->setFixedWidth(close_->sizeHint().height());
  close_->setToolTip(tr("Close this note"));
  close_->setAccessibleName(tr("Close note"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 2, 2, 2);
  layout->addWidget(label_, 1);
  layout->addWidget(openFolder_);
  layout->addWidget(close_);
  connect(openFolder_, &QPushButton::clicked, this, &ExportNote::OpenFolder);
  connect(close_, &QPushButton::clicked, this, &QWidget::hide);
  hide();
}

void ExportNote::ShowWritten(const QString& path) {
  ShowFile(tr("Saved %1 in %2"), path);
}

void ExportNote::ShowFile(const QString& said, const QString& path) {
  const QFileInfo file(path);
  folder_ = file.absolutePath();
  path_ = QDir::toNativeSeparators(file.absoluteFilePath());
  openFolder_->show();
  QString where = QDir::toNativeSeparators(folder_);
  const QString home = QDir::homePath();
  if (where == home || where.startsWith(home + '/')) where = '~' + where.mid(home.size());
  const QString full = said.arg(file.fileName(), where);
  label_->setToolTip(path_);
  show();
  raise();
  // The room the buttons leave; a long name is cut in the middle, where it says least.
  const int room = width() - openFolder_->sizeHint().width() - close_->width() - 32;
  label_->setText(label_->fontMetrics().elidedText(full, Qt::ElideMiddle, room));
  label_->setAccessibleName(full);
  setAccessibleDescription(full);
}

void ExportNote::OpenFolder() {
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(folder_))) return;
  // No file manager answered: the whole path, selectable, is the next best thing.
  const QString full = tr("No file manager opened; the file is %1").arg(path_);
  label_->setText(full);
  label_->setAccessibleName(full);
  setAccessibleDescription(full);
  openFolder_->hide();
}

QString ExportNote::text() const {
  return label_->accessibleName();
}

}  // namespace stringart
