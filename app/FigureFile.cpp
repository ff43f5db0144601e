#include "app/FigureFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>
#include <QString>

#include "app/AtomicFile.h"
#include "app/FigureCommand.h"
#include "canvas/SegmentRecorder.h"
#include "canvas/Svg.h"
#include "window/PictureImage.h"
#include "window/Tracer.h"

namespace stringart {

bool SaveFigure(const std::string& path, const Picture1& picture, const FigureRecord& figure,
                std::string& error) {
  const auto format = FormatForPath(path);
  if (!format) {
    error = "cannot save '" + path + "': the name must end in .png or .svg";
    return false;
  }

  // Encoded in memory first: what can fail after this is the file system, in its own words.
  const std::string remake = RemakeCommand(figure);
  std::string bytes;
  if (*format == FigureFormat::Png) {
    QImage image = WrapPicture(picture);
    image.setText("Software", "stringart");
    image.setText("Comment", QString::fromStdString(remake));  // a PNG tEXt chunk
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
      error = "cannot save '" + path + "': " + writer.errorString().toStdString();
      return false;
    }
    bytes.assign(png.constData(), static_cast<std::size_t>(png.size()));
  } else {
    SegmentRecorder drawing;
    TraceAgain(figure, drawing);
    bytes = SvgDocument(drawing, Picture1::kWidth, Picture1::kHeight, remake);
  }

  if (WriteFileAtomically(path, bytes, error)) return true;
  error = "cannot save '" + path + "': " + error;
  return false;
}

}  // namespace stringart
