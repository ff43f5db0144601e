#pragma once

#include <string>

#include "canvas/Picture1.h"
#include "window/FigureRecord.h"

namespace stringart {

// What the window needs of figure files. The program hands the window its implementation, so
// that the window knows nothing of file formats.
class FigureFiles {
 public:
  virtual ~FigureFiles() = default;
  // Saves `figure`, shown on `picture`, to `path`; false with `error` set to one line.
  virtual bool Save(const std::string& path, const Picture1& picture, const FigureRecord& figure,
                    std::string& error) = 0;
};

}  // namespace stringart
