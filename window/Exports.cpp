#include "window/Exports.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace stringart {

QString ExportTitle(const ExportRequest& request) {
  if (request.paper) return QCoreApplication::translate("stringart::PaperDialog", "Save for paper");
  if (request.morph()) return QCoreApplication::translate("stringart::MorphButton", "Save morph");
  return request.moving()
             ? QCoreApplication::translate("stringart::ExportDialog", "Save animation")
             : QCoreApplication::translate("stringart::ExportDialog", "Save large picture");
}

bool StartExport(ExportRunner& runner, FigureFiles& files, const ExportRequest& request,
                 const FigureRecord& figure, QString& error) {
  if (runner.running()) {
    error = QCoreApplication::translate("stringart::Exports",
                                        "Another file is being written; wait for it or cancel it.");
    return false;
  }
  // Copies for the thread: the window may show other figures meanwhile.
  FigureFiles* writer = &files;
  return runner.Start(ExportTitle(request),
                      QCoreApplication::translate("stringart::Exports", "Writing %1\u2026")
                          .arg(QFileInfo(QString::fromStdString(request.path)).fileName()),
                      [=](const ExportProgress& progress, std::string& why) {
                        return writer->Export(request, figure, progress, why);
                      });
}

}  // namespace stringart
