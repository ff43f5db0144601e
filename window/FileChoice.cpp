#include "window/FileChoice.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "runtime/AtomicFile.h"
#include "text/Quote.h"

namespace stringart {
namespace {

// Names as the programs quote them: control characters shown, long ones cut in the middle.
QString Quoted(const QString& name) {
  return QString::fromStdString(stringart::Quoted(name.toStdString()));
}

}  // namespace

// The texts keep the export dialog's context, where their translations are.

QLineEdit* AddFileRow(QFormLayout& form, const QString& path, const std::function<void()>& browse) {
  auto* file = new QLineEdit(path);
  file->setMinimumWidth(file->fontMetrics().horizontalAdvance(path) + 24);
  auto* button =
      new QPushButton(QCoreApplication::translate("stringart::ExportDialog", "&Browse\u2026"));
  button->setAutoDefault(false);
  auto* row = new QHBoxLayout;
  row->addWidget(file, 1);
  row->addWidget(button);
  form.addRow(QCoreApplication::translate("stringart::ExportDialog", "File &name:"), row);
  static_cast<QLabel*>(form.labelForField(row))->setBuddy(file);
  QObject::connect(button, &QPushButton::clicked, button, browse);
  return file;
}

QLabel* NewProblemLabel() {
  auto* problem = new QLabel;
  problem->setWordWrap(true);
  problem->setTextFormat(Qt::PlainText);
  problem->setStyleSheet(QStringLiteral("color: #c01c28"));
  problem->hide();
  return problem;
}

QString WriteRefusal(const QFileInfo& file) {
  switch (CheckWritable(file.absoluteFilePath().toStdString())) {
    case WriteProblem::None: break;
    case WriteProblem::IsFolder:
      return QCoreApplication::translate("stringart::ExportDialog", "%1 is a folder.")
          .arg(Quoted(file.absoluteFilePath()));
    case WriteProblem::NoFolder:
      return QCoreApplication::translate("stringart::ExportDialog", "The folder %1 does not exist.")
          .arg(Quoted(file.absolutePath()));
    case WriteProblem::FolderReadOnly:
      return QCoreApplication::translate("stringart::ExportDialog",
                                         "The folder %1 cannot be written to; choose another.")
          .arg(Quoted(file.absolutePath()));
    case WriteProblem::NotRegularFile:
      return QCoreApplication::translate(
                 "stringart::ExportDialog",
                 "%1 is not a regular file (a pipe or a device); choose another name.")
          .arg(Quoted(file.absoluteFilePath()));
  }
  return {};
}

bool MayReplace(QDialog& dialog, const QFileInfo& file) {
  return MayReplace(dialog, dialog.windowTitle(), file);
}

bool MayReplace(QWidget& parent, const QString& title, const QFileInfo& file) {
  if (!file.exists()) return true;
  QMessageBox replace(
      QMessageBox::Question, title,
      QCoreApplication::translate("stringart::ExportDialog", "%1 already exists in %2. Replace it?")
          .arg(Quoted(file.fileName()), Quoted(file.absolutePath())),
      QMessageBox::Yes | QMessageBox::Cancel, &parent);
  replace.setTextFormat(Qt::PlainText);  // names are shown as they are, never as markup
  replace.setDefaultButton(QMessageBox::Cancel);
  return replace.exec() == QMessageBox::Yes;
}

}  // namespace stringart
