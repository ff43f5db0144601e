#pragma once

#include <string>
#include <string_view>

#include "canvas/SegmentRecorder.h"

namespace stringart {

// The recorded drawing as a 500 x 500 SVG document: the background, then one <path> per run of
// segments of equal colour ("M x y L x y" per segment, 1 unit wide). Coordinates are written in
// the shortest form that reads back as the same float. A translate(0.5 0.5) puts whole-number
// coordinates on pixel centres, where the raster puts them. `note` goes into <metadata>.
std::string SvgDocument(const SegmentRecorder& drawing, int width, int height,
                        std::string_view note);
// The same drawing of width x height units shown at a document size of `shownWidth` x
// `shownHeight`, scaled to fit and centred.
std::string SvgDocument(const SegmentRecorder& drawing, int width, int height,
                        std::string_view note, int shownWidth, int shownHeight);

}  // namespace stringart
