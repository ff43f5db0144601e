#include "export/FigureFileWriter.h"

#include "options/FigureCommand.h"

namespace stringart {

std::string FigureFileWriter::Command(const FigureRecord& figure) {
  return CopiedCommand(figure);
}

}  // namespace stringart
