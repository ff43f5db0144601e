#include "window/PaperPreview.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace stringart {
namespace {

QColor ToQColor(Colour colour) {
  return QColor(colour.red(), colour.green(), colour.blue());
}

}  // namespace

QImage FigureImage(std::span<const Segment> segments, int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(side / 500.0, side / 500.0);
  painter.translate(0.5, 0.5);  // canvas point (-0.5, -0.5) at the corner
  QPen pen(Qt::black, 1.0, Qt::SolidLine, Qt::SquareCap);
  for (const Segment& s : segments) {
    pen.setColor(ToQColor(s.colour));
    painter.setPen(pen);
    painter.drawLine(QPointF(s.fromX, s.fromY), QPointF(s.toX, s.toY));
  }
  return image;
}

QImage PaperPreview(const PaperSettings& settings, Colour ground, const PenPlot* plot,
                    const QImage& figure, int longest) {
  const PaperLayout page = LayOut(settings);
  const double perMm = longest / std::max(page.width, page.height);  // pixels a millimetre
  QImage sheet(std::max(1, static_cast<int>(page.width * perMm + 0.5)),
               std::max(1, static_cast<int>(page.height * perMm + 0.5)), QImage::Format_RGB32);
  sheet.fill(ToQColor(ground));
  if (page.side <= 0) return sheet;
  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const QRectF square(page.left * perMm, page.top * perMm, page.side * perMm, page.side * perMm);
  if (plot == nullptr) {
    painter.drawImage(square, figure);
    return sheet;
  }
  // Canvas pixels to the sheet's, and each pen's paths at the pen's width, as thin as on paper.
  painter.setClipRect(square);
  painter.translate(square.topLeft());
  painter.scale(square.width() / 500.0, square.width() / 500.0);
  painter.translate(0.5, 0.5);
  for (const PenPaths& pen : plot->pens) {
    QPainterPath lines;
    for (std::size_t k = 0; k < pen.paths(); ++k) {
      const auto path = pen.path(k);
      lines.moveTo(path.front().x, path.front().y);
      for (const PlotPoint& p : path.subspan(1)) lines.lineTo(p.x, p.y);
    }
    painter.strokePath(lines, QPen(ToQColor(pen.colour), settings.penWidth / page.scale(),
                                   Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  }
  return sheet;
}

}  // namespace stringart
