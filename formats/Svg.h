#pragma once

#include <string>
#include <string_view>

#include "canvas/SegmentRecorder.h"

namespace stringart {

// `text` with the characters XML gives a meaning to in content (&, <, >) escaped.
void AppendXmlEscaped(std::string& out, std::string_view text);

// An SVG document's start up to and with its <metadata>, which holds `note`: the declaration and
// an <svg> shown at `width` x `height` (with their units: "210mm") over user units 0 0 to
// `viewWidth` `viewHeight`, with `namespaces` (each ` xmlns:name="..."`) besides SVG's own.
void AppendSvgStart(std::string& out, std::string_view namespaces, std::string_view width,
                    std::string_view height, std::string_view viewWidth,
                    std::string_view viewHeight, std::string_view note);

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
