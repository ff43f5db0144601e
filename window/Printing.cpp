#include "window/Printing.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <algorithm>
#include <utility>

#include "canvas/ClipSegment.h"
#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"

namespace stringart {

QRectF FigureSquare(const QPrinter& printer) {
  const QRectF inside = printer.pageLayout().paintRectPixels(printer.resolution());
  const double side = std::min(inside.width(), inside.height());
  return {inside.center().x() - side / 2, inside.center().y() - side / 2, side, side};
}

bool PaintFigure(QPainter& painter, const QRectF& square, const FigureRecord& figure,
                 const ExportProgress& progress) {
  SegmentRecorder segments;
  TraceAgain(figure, segments);
  // Canvas point (-0.5, -0.5) is the square's corner, as on the screen and in every file.
  const double scale = square.width() / 500.0;
  auto x = [&](double canvasX) { return square.left() + (canvasX + 0.5) * scale; };
  auto y = [&](double canvasY) { return square.top() + (canvasY + 0.5) * scale; };
  painter.fillRect(square, Qt::black);
  painter.setClipRect(square);
  QPen pen(Qt::black, scale, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  const auto& all = segments.segments();
  for (std::size_t i = 0; i < all.size(); ++i) {
    // A tenth of a percent at a time: often enough to cancel at once, seldom enough to cost
    // nothing.
    if (i % 256 == 0 && !progress(static_cast<double>(i) / all.size())) return false;
    const Segment& s = all[i];
    // Only what lies on the canvas, so that far points neither leave the page's numbers nor
    // fill the printer's file with strokes no one sees.
    const double dx = s.toX - s.fromX, dy = s.toY - s.fromY;
    double t0 = 0, t1 = 1;
    if (!ClipToBox(s.fromX, s.fromY, dx, dy, -1.5, 500.5, -1.5, 500.5, t0, t1) || t0 > t1) {
      continue;
    }
    pen.setColor(QColor(s.colour.red(), s.colour.green(), s.colour.blue()));
    painter.setPen(pen);
    painter.drawLine(QPointF(x(s.fromX + dx * t0), y(s.fromY + dy * t0)),
                     QPointF(x(s.fromX + dx * t1), y(s.fromY + dy * t1)));
  }
  return progress(1.0);
}

bool StartPrint(ExportRunner& runner, std::shared_ptr<QPrinter> printer, const FigureRecord& figure,
                QString& error) {
  if (runner.running()) {
    error = QCoreApplication::translate("stringart::Exports",
                                        "Another file is being written; wait for it or cancel it.");
    return false;
  }
  const QString title = QCoreApplication::translate("stringart::Printing", "Print");
  const QString label = QCoreApplication::translate("stringart::Printing", "Printing on %1\u2026")
                            .arg(printer->printerName().isEmpty() ? printer->outputFileName()
                                                                  : printer->printerName());
  return runner.Start(
      title, label,
      [printer = std::move(printer), figure](const ExportProgress& progress, std::string& why) {
        const QPageLayout chosen = printer->pageLayout();
        const QRectF square = FigureSquare(*printer);  // on the sheet as it lies
        // A sheet on its side goes to a printer as an upright page with the figure turned on
        // it: CUPS's filters turn a page sent on its side once more and cut off what then
        // overhangs. A PDF file keeps its page as chosen.
        const bool sideways = chosen.orientation() == QPageLayout::Landscape &&
                              printer->outputFormat() == QPrinter::NativeFormat;
        if (sideways) printer->setPageOrientation(QPageLayout::Portrait);
        printer->setFullPage(true);  // the painter's origin at the sheet's corner, as the square's
        // QPainter draws on a printer off the window's thread, as it does on an image.
        QPainter painter;
        if (!painter.begin(printer.get())) {
          why = QCoreApplication::translate("stringart::Printing", "The printer cannot be used.")
                    .toStdString();
          return ExportResult::Failed;
        }
        if (sideways) {
          // The sheet's top edge along the page's left edge.
          painter.translate(0, chosen.fullRectPixels(printer->resolution()).width());
          painter.rotate(-90);
        }
        if (!PaintFigure(painter, square, figure, progress)) {
          printer->abort();  // nothing goes to the printer
          return ExportResult::Cancelled;
        }
        if (!painter.end()) {
          why = QCoreApplication::translate("stringart::Printing",
                                            "The figure could not be sent to the printer.")
                    .toStdString();
          return ExportResult::Failed;
        }
        return ExportResult::Written;
      });
}

}  // namespace stringart
