#include "app/FigureFile.h"

#include <QByteArray>
#include <QImageWriter>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <cctype>

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
  QSaveFile file(QString::fromStdString(path));
  // Renaming over the target is the point; never fall back to writing it in place.
  file.setDirectWriteFallback(false);
  auto fail = [&](const QString& why) {
    error = "cannot save '" + path + "': " + why.toStdString();
    file.cancelWriting();
    return false;
  };
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());

  const std::string remake = RemakeCommand(figure);
  if (*format == FigureFormat::Png) {
    QImage image = WrapPicture(picture);
    image.setText("Software", "stringart");
    image.setText("Comment", QString::fromStdString(remake));  // a PNG tEXt chunk
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
      return fail(file.error() != QFileDevice::NoError ? file.errorString()
                                                       : writer.errorString());
    }
  } else {
    SegmentRecorder drawing;
    TraceAgain(figure, drawing);
    const std::string svg =
        SvgDocument(drawing, Picture1::kWidth, Picture1::kHeight, remake);
    if (file.write(svg.data(), static_cast<qint64>(svg.size())) !=
        static_cast<qint64>(svg.size())) {
      return fail(file.errorString());
    }
  }
  if (!file.commit()) return fail(file.errorString());
  return true;
}

}  // namespace stringart
