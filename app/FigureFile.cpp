#include "app/FigureFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>
#include <QString>
#include <algorithm>
#include <cctype>

#include "app/AtomicFile.h"
#include "canvas/SegmentRecorder.h"
#include "canvas/Svg.h"
#include "window/Form1.h"

namespace stringart {
namespace {

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         std::equal(suffix.rbegin(), suffix.rend(), s.rbegin(),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

}  // namespace

std::optional<FigureFormat> FormatForPath(const std::string& path) {
  if (EndsWithNoCase(path, ".png")) return FigureFormat::Png;
  if (EndsWithNoCase(path, ".svg")) return FigureFormat::Svg;
  return std::nullopt;
}

QImage WrapPicture(const Picture1& picture) {
  return QImage(reinterpret_cast<const uchar*>(picture.pixels()), Picture1::kWidth,
                Picture1::kHeight, Picture1::kStride * 4, QImage::Format_RGB32);
}

std::string RemakeCommand(const FigureRecord& figure) {
  return "stringart-render --draws " + FormatDraws(figure.draws) + " --directions " +
         FormatDirections(figure.start);
}

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
