#include "app/FigureFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QImageWriter>
#include <QString>
#include <fstream>

#include "app/Animation.h"
#include "app/AtomicFile.h"
#include "app/FigureCommand.h"
#include "app/LargePicture.h"
#include "canvas/SegmentRecorder.h"
#include "canvas/Svg.h"
#include "window/PictureImage.h"
#include "window/Tracer.h"

namespace stringart {

bool SaveFigure(const std::string& path, const Picture1& picture, const FigureRecord& figure,
                std::string& error) {
  const auto format = FormatForPath(path);
  if (!format || IsAnimation(*format)) {
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

std::optional<FigureRecord> OpenFigure(const std::string& path, std::string& error) {
  const std::string named = "cannot open '" + path + "': ";
  const auto format = FormatForPath(path);
  if (!format) {
    error = named + "only .png and .svg files saved by stringart carry a figure";
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = named + "the file cannot be read";
    return std::nullopt;
  }
  std::string command;
  if (*format == FigureFormat::Png) {
    QImageReader reader(QString::fromStdString(path), "png");
    if (!reader.canRead()) {
      error = named + "it is not a PNG picture";
      return std::nullopt;
    }
    command = reader.text(QStringLiteral("Comment")).toStdString();
  } else {
    // SaveFigure puts the command at the top; the rest of the file, megabytes of segments, is
    // not read.
    constexpr std::size_t kHead = 64 * 1024;
    std::string head(kHead, '\0');
    in.read(head.data(), static_cast<std::streamsize>(kHead));
    head.resize(static_cast<std::size_t>(in.gcount()));
    constexpr std::string_view kOpen = "<metadata>", kClose = "</metadata>";
    const std::size_t open = head.find(kOpen);
    const std::size_t close = open == std::string::npos ? open : head.find(kClose, open);
    if (head.find("<svg") == std::string::npos) {
      error = named + "it is not an SVG drawing";
      return std::nullopt;
    }
    if (close != std::string::npos)
      command = head.substr(open + kOpen.size(), close - open - kOpen.size());
  }
  // Another program's comment or metadata is no damaged command: there is none.
  if (command.find(kRenderProgram) == std::string::npos) {
    error = named + "it carries no " + std::string(kRenderProgram) +
            " command; only pictures saved by stringart do";
    return std::nullopt;
  }
  std::string why;
  auto figure = ParseRemakeCommand(command, why);
  if (!figure) error = named + "its " + std::string(kRenderProgram) + " command is damaged: " + why;
  return figure;
}

std::string FigureFileWriter::Command(const FigureRecord& figure) {
  return RemakeCommand(figure);
}

ExportResult ExportFigure(const std::string& path, const FigureRecord& figure, FrameSize size,
                          int seconds, int fps, const ExportProgress& progress,
                          std::string& error) {
  const auto format = FormatForPath(path);
  std::string why;
  auto within = [](int value, int least, int most) { return value >= least && value <= most; };
  if (!format) {
    why = "the name must end in .png, .svg, .mp4 or .webm";
  } else if (!within(size.width, kMinSide, kMaxSide) || !within(size.height, kMinSide, kMaxSide)) {
    why = "the size " + FormatSize(size) + " has a side outside " + std::to_string(kMinSide) +
          " to " + std::to_string(kMaxSide);
  } else if (IsAnimation(*format) &&
             (size.width > kAnimationMaxSide || size.height > kAnimationMaxSide ||
              size.width % 2 != 0 || size.height % 2 != 0 ||
              !within(seconds, kMinSeconds, kMaxSeconds) || !within(fps, kMinFps, kMaxFps))) {
    why = "an animation of " + FormatSize(size) + " pixels, " + std::to_string(seconds) + " s at " +
          std::to_string(fps) + " fps is not one this program makes";
  }
  if (!why.empty()) {
    error = "cannot save '" + path + "': " + why;
    return ExportResult::Failed;
  }
  const std::string remake = RemakeCommand(figure, size, IsAnimation(*format) ? seconds : 0, fps);
  ExportResult result = ExportResult::Failed;
  switch (*format) {
    case FigureFormat::Png:
      result = SaveLargePicture(figure, size.width, size.height, remake, path, progress, why);
      break;
    case FigureFormat::Svg: {
      SegmentRecorder drawing;
      TraceAgain(figure, drawing);
      const std::string svg = SvgDocument(drawing, Picture1::kWidth, Picture1::kHeight, remake,
                                          size.width, size.height);
      result = WriteFileAtomically(path, svg, why) ? ExportResult::Written : ExportResult::Failed;
      break;
    }
    case FigureFormat::Mp4:
    case FigureFormat::Webm:
      result = SaveAnimation(
          figure, *format == FigureFormat::Mp4 ? AnimationCodec::H264Mp4 : AnimationCodec::Vp9Webm,
          size.width, size.height, seconds, fps, remake, path, progress, why);
      break;
  }
  if (result == ExportResult::Failed) error = "cannot save '" + path + "': " + why;
  return result;
}

ExportResult FigureFileWriter::SaveLargePicture(const std::string& path, const FigureRecord& figure,
                                                int width, int height,
                                                const ExportProgress& progress,
                                                std::string& error) {
  if (FormatForPath(path) != FigureFormat::Png) {
    error = "cannot save '" + path + "': a large picture is a .png file";
    return ExportResult::Failed;
  }
  return ExportFigure(path, figure, {width, height}, 0, 0, progress, error);
}

ExportResult FigureFileWriter::SaveAnimation(const std::string& path, const FigureRecord& figure,
                                             int width, int height, int seconds, int fps,
                                             const ExportProgress& progress, std::string& error) {
  const auto format = FormatForPath(path);
  if (!format || !IsAnimation(*format)) {
    error = "cannot save '" + path + "': an animation is a .mp4 or .webm file";
    return ExportResult::Failed;
  }
  return ExportFigure(path, figure, {width, height}, seconds, fps, progress, error);
}

}  // namespace stringart
