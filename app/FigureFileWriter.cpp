#include "app/FigureFileWriter.h"

#include "figure/FigureHistory.h"
#include "text/FigureCommand.h"

namespace stringart {

std::string FigureFileWriter::Command(const FigureRecord& figure) {
  return PastableCommand(figure, "figure-" + FigureName(figure) + ".png");
}

}  // namespace stringart
