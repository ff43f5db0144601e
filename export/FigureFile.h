#pragma once

#include <optional>
#include <string>

#include "canvas/Picture1.h"
#include "figure/FigureRecord.h"
#include "formats/ExportProgress.h"
#include "options/ExportRequest.h"
#include "options/FigureCommand.h"
#include "paper/Plot.h"

namespace stringart {

// Saves a figure to `path`: .png writes the raster, .svg traces `figure` again as vector art.
// Both carry RemakeCommand. The file is written beside the target under a temporary name and
// renamed into place, so a failed save leaves neither it nor a partial file behind. Returns
// false with `error` set to one line that names the problem.
bool SaveFigure(const std::string& path, const Picture1& picture, const FigureRecord& figure,
                std::string& error);

// Reads the figure a file written by SaveFigure or ExportFigure carries, from its RemakeCommand
// (the PNG's Comment text, the SVG's <metadata>, the video's comment tag, the HPGL's first
// comment, the PDF's subject): its draws and start
// directions. Only regular files are read, and only a bounded head of them. Returns nullopt with
// `error` set to one line, naming the file, when the file cannot be read or has no such command
// or a damaged one.
std::optional<FigureRecord> OpenFigure(const std::string& path, std::string& error);

// Writes the file `request` asks for of `figure` (a morph's start): a large picture drawn
// anti-aliased, an SVG document of the request's size, an animation or a morph; or for a sheet
// of paper a plotter's SVG or HPGL, a PDF or a printed PNG. Every file carries the command that
// makes it again, is written all or nothing and is left out when `progress` cancels. A failure
// sets `error` to one line naming the file. `plot`, when given, receives a plotter file's
// lengths and time.
ExportResult ExportFigure(const ExportRequest& request, const FigureRecord& figure,
                          const ExportProgress& progress, std::string& error,
                          PlotTotals* plot = nullptr);

}  // namespace stringart
