#pragma once

#include <QRectF>
#include <QString>
#include <memory>

#include "figure/FigureRecord.h"
#include "window/ExportRunner.h"

class QPainter;
class QPrinter;

namespace stringart {

// A figure printed through the desktop's print system, as vectors at the printer's resolution:
// the canvas's square as large as the page's margins allow, centred in them.

// The figure's square on `printer`'s page, in device pixels: the largest square inside the
// margins, centred there.
QRectF FigureSquare(const QPrinter& printer);

// Draws `figure` on `painter` into `square`: the black canvas and each segment a canvas pixel
// wide in its colour, cut to the square. `progress` hears the share drawn and may stop it (false).
bool PaintFigure(QPainter& painter, const QRectF& square, const FigureRecord& figure,
                 const ExportProgress& progress);

// Starts printing `figure` on `printer`, set up by the print dialog, on `runner`'s thread; its
// progress dialog can cancel, which sends nothing to the printer. False with `error` set when the
// runner is busy.
bool StartPrint(ExportRunner& runner, std::shared_ptr<QPrinter> printer, const FigureRecord& figure,
                QString& error);

}  // namespace stringart
