#pragma once

#include <QString>

#include "export/FigureFiles.h"
#include "figure/FigureRecord.h"
#include "options/ExportRequest.h"
#include "window/ExportRunner.h"

class QWidget;

namespace stringart {

// Exports started from any window, written on an ExportRunner's thread: a figure as a large
// picture or an animation, and a morph from one figure to another (Variations, the gallery).

// What an export is called in its progress dialog and its messages: "Save large picture",
// "Save animation", "Save morph", "Save for paper".
QString ExportTitle(const ExportRequest& request);

// Starts writing the file `request` asks for of `figure` (a morph's start) on `runner`'s thread
// through `files`, which must outlive the work. False with `error` set when the runner is busy.
bool StartExport(ExportRunner& runner, FigureFiles& files, const ExportRequest& request,
                 const FigureRecord& figure, QString& error);

}  // namespace stringart
