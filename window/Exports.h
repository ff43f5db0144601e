#pragma once

#include <QString>
#include <functional>

#include "figure/FigureFiles.h"
#include "figure/FigureRecord.h"
#include "window/ExportRunner.h"

class QWidget;

namespace stringart {

// Exports started from any window, written on an ExportRunner's thread: a figure as a large
// picture or an animation, and a morph from one figure to another (Variations, a gallery).

// Starts writing `figure` into `path` on `runner`'s thread through `files`, which must outlive
// the work: a large picture (.png, `seconds` 0) or an animation (.mp4, .webm) of `seconds` at
// `fps`, `width` x `height` pixels. False when the runner is busy.
bool StartFigureExport(ExportRunner& runner, FigureFiles& files, const QString& path,
                       const FigureRecord& figure, int width, int height, int seconds, int fps);

// Starts writing the morph from `from` (its draws and start directions) to the draws `to` into
// `path` (.mp4 or .webm) on `runner`'s thread, `width` x `height` pixels, `seconds` of morphing
// at `fps`, through `files`, which must outlive the work. False with `error` set when the runner
// is busy.
bool StartMorphExport(ExportRunner& runner, FigureFiles& files, const QString& path,
                      const FigureRecord& from, const FigureDraws& to, int width, int height,
                      int seconds, int fps, QString& error);

// Asks where to save a morph, MP4 or WebM; empty when the dialog is cancelled.
QString AskMorphPath(QWidget* parent);

// How a window starts its morph into `path`: false with `error` set when it cannot.
using MorphStart = std::function<bool(const QString& path, int width, int height, int seconds,
                                      int fps, QString& error)>;
// Asks where, then starts the morph at the animations' default size, length and rate; a morph
// that cannot start is told over `parent`.
void AskAndStartMorph(QWidget* parent, const MorphStart& start);

}  // namespace stringart
