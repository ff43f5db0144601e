#pragma once

#include "export/FigureFiles.h"

// The module stringart-files.so, which holds the file formats: its one entry, by this name, hands
// out the program's figure files, made on the first call and kept until the module is unloaded.
inline constexpr const char* kFigureFilesModule = "stringart-files.so";
inline constexpr const char* kFigureFilesEntry = "StringartFigureFiles";
extern "C" stringart::FigureFiles* StringartFigureFiles();
