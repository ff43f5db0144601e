// The module the window loads when it first writes or reads a figure file: the program's file
// formats, with FFmpeg's, Cairo's and libpng's libraries and all they bring, kept out of the
// window's start.
#include "app/FigureFilesModule.h"
#include "export/FigureFileWriter.h"

extern "C" __attribute__((visibility("default"))) stringart::FigureFiles* StringartFigureFiles() {
  static stringart::FigureFileWriter files;
  return &files;
}
