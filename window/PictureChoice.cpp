#include "window/PictureChoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

#include "window/ExportDialog.h"
#include "window/FileChoice.h"
#include "window/Messages.h"
#include "window/Settings.h"

namespace stringart {

bool AskAndSavePicture(QWidget* parent, const QString& name, const SavePicture& save) {
  const QString title = QCoreApplication::translate("stringart::PictureChoice", "Save picture");
  const QString png = QCoreApplication::translate("stringart::PictureChoice", "PNG image (*.png)");
  const QString svg =
      QCoreApplication::translate("stringart::PictureChoice", "SVG drawing (*.svg)");
  QString filter = png;
  const QString folder =
      ExportDialog::ProposedFolder(settings::LastFolder(), QStandardPaths::PicturesLocation);
  QString path = QDir(folder).filePath(QStringLiteral("figure-%1.png").arg(name));
  for (;;) {
    path = QFileDialog::getSaveFileName(parent, title, path, png + ";;" + svg, &filter);
    if (path.isEmpty()) return false;
    // A bare name takes the extension of the chosen file type; the dialog asked about the bare
    // name only, so the file it now names is asked about here.
    if (QFileInfo(path).suffix().isEmpty()) {
      path += filter == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
      if (!MayReplace(*parent, title, QFileInfo(path))) continue;
    }
    QString error;
    if (save(path, error)) {
      settings::SetLastFolder(QFileInfo(path).absolutePath());
      return true;
    }
    Warn(parent, title, Sentence(error));
  }
}

}  // namespace stringart
