#pragma once

#include <QString>
#include <functional>

#include "figure/FigureRecord.h"
#include "text/ExportRequest.h"
#include "text/FigureFiles.h"
#include "window/ExportRunner.h"

class QWidget;

namespace stringart {

// Exports started from any window, written on an ExportRunner's thread: a figure as a large
// picture or an animation, and a morph from one figure to another (Variations, the gallery).

// What an export is called in its progress dialog and its messages: "Save large picture",
// "Save animation", "Save morph".
QString ExportTitle(const ExportRequest& request);

// Starts writing the file `request` asks for of `figure` (a morph's start) on `runner`'s thread
// through `files`, which must outlive the work. False with `error` set when the runner is busy.
bool StartExport(ExportRunner& runner, FigureFiles& files, const ExportRequest& request,
                 const FigureRecord& figure, QString& error);

// How a window starts a morph into the file, size, length and rate of `request` between the
// figures it has selected: false with `error` set when it cannot.
using MorphStart = std::function<bool(ExportRequest request, QString& error)>;
// Asks where to save a morph, MP4 or WebM, then starts it at the animations' default size,
// length and rate; a morph that cannot start is told over `parent`.
void AskAndStartMorph(QWidget* parent, const MorphStart& start);

}  // namespace stringart
