#pragma once

#include <QImage>
#include <optional>
#include <string>

#include "canvas/Picture1.h"
#include "window/FigureRecord.h"

namespace stringart {

enum class FigureFormat { Png, Svg };

// The format a file name asks for, by its extension (.png or .svg, any letter case).
std::optional<FigureFormat> FormatForPath(const std::string& path);

// The raster as a QImage that shares its pixels (no copy); valid while `picture` lives.
QImage WrapPicture(const Picture1& picture);

// The text that a saved figure carries so that it can be made again:
// "stringart-render --draws U1,...,U12 --directions R,G,B".
std::string RemakeCommand(const FigureRecord& figure);

// Saves a figure to `path`: .png writes the raster, .svg traces `figure` again as vector art.
// Both carry RemakeCommand. The file is written beside the target under a temporary name and
// renamed into place, so a failed save leaves neither it nor a partial file behind. Returns
// false with `error` set to one line that names the problem.
bool SaveFigure(const std::string& path, const Picture1& picture, const FigureRecord& figure,
                std::string& error);

}  // namespace stringart
