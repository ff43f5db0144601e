#pragma once

#include <cstdint>
#include <string>

#include "formats/ExportProgress.h"
#include "formats/PngFile.h"

namespace stringart {

// Writes a large picture as an 8-bit RGB PNG quickly: its rows unfiltered (the figure's flat
// strokes on black repeat whole pixels, which deflate finds without a filter), deflated in bands
// of rows on every usable CPU. The last band is deflated by libdeflate, twice as quick a byte as
// zlib but able only to end a stream; the bands before it by zlib, which can stop a band without
// ending the stream. Bands are sized so that all finish together.
//
// `pixels` are `width` x `height` native-endian 0xFFRRGGBB words, rows with no padding; they are
// used as working space, each band packed in place, and hold no picture afterwards. The file is
// written all or nothing, through a temporary file beside `path` renamed at the end, with the
// options' text chunks and pHYs. `progress` (may be empty)
// hears of the deflating from options.progressFrom to 1 and may cancel; a failure or a cancel
// leaves no file. A failure sets `error` to one line without the path.
ExportResult WriteBandedPng(const std::string& path, std::uint32_t* pixels, int width, int height,
                            const PngOptions& options, const ExportProgress& progress,
                            std::string& error);

}  // namespace stringart
