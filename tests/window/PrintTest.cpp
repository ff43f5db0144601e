// Printing through a real CUPS queue that writes PDF (cups-pdf), made by print_cups_test.sh: the
// figure reaches the printer as vectors, as large as the margins allow and centred in them, and
// looks as the canvas does.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QPageLayout>
#include <QPrinter>
#include <QSignalSpy>
#include <QThread>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "canvas/Picture1.h"
#include "figure/Tracer.h"
#include "tests/support/Figures.h"
#include "tests/support/PrintedPage.h"
#include "window/Printing.h"

namespace stringart {
namespace {

namespace fs = std::filesystem;

// The file cups-pdf wrote for the job named `title` on `queue`, once the queue has finished it;
// empty after two minutes.
fs::path PrintedFile(const std::string& queue, const fs::path& folder, const std::string& title) {
  for (int tries = 0; tries < 1200; ++tries) {
    if (testing::Output("lpstat -o '" + queue + "' 2>/dev/null").empty() &&
        fs::is_directory(folder)) {
      for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(title) && name.ends_with(".pdf")) return entry.path();
      }
    }
    QThread::msleep(100);
  }
  return {};
}

// Each way a sheet lies, with margins of four sizes (centred in them is not centred on the
// sheet): the page that reaches the printer, upright, and the figure's square on it, at two
// pixels a millimetre. On its side the sheet's top edge runs along the page's left edge.
struct Sheet {
  QPageLayout::Orientation orientation;
  double centreX, centreY;  // the square's centre on the upright page, pixels
  bool turned;
};
constexpr Sheet kSheets[] = {
    {QPageLayout::Portrait, 180, 312, false},  // 10 + 160 / 2, 30 + 252 / 2 mm: a 160 mm square
    {QPageLayout::Landscape, 225, 327, true},  // (133.5, 112.5) mm on the sheet, 165 mm
};

TEST(Printing, TheFigureReachesAPrinterAsVectorsCentredInTheMargins) {
  const char* queue = std::getenv("STRINGART_PRINT_QUEUE");
  const char* folder = std::getenv("STRINGART_PRINT_OUT");
  if (queue == nullptr || folder == nullptr) {
    GTEST_SKIP() << "print_cups_test.sh runs this with a queue of its own";
  }
  const FigureRecord figure = testing::DrawnFigure(7);
  Picture1 picture;
  TraceAgain(figure, picture);
  const auto shown = testing::Blocks(
      testing::Image(picture.pixels(), Picture1::kWidth, Picture1::kHeight), 0, 0, 500);
  ExportRunner runner(nullptr);
  for (const Sheet& sheet : kSheets) {
    const std::string title = "stringart-print-test-" + std::to_string(getpid()) + "-" +
                              std::to_string(sheet.orientation);
    QSignalSpy finished(&runner, &ExportRunner::Finished);
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPrinterName(queue);
    ASSERT_TRUE(printer->isValid()) << queue;
    printer->setDocName(QString::fromStdString(title));
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), sheet.orientation,
                                       QMarginsF(10, 30, 40, 15), QPageLayout::Millimeter));
    QString error;
    ASSERT_TRUE(StartPrint(runner, printer, figure, error)) << error.toStdString();
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_EQ(finished[0][0].value<ExportResult>(), ExportResult::Written)
        << finished[0][1].toString().toStdString();
    const fs::path pdf = PrintedFile(queue, folder, title);
    ASSERT_FALSE(pdf.empty()) << "nothing printed to " << folder << " as " << title;

    // An upright A4 page, drawn with strokes: no picture in it.
    const std::string info = testing::Output("pdfinfo '" + pdf.string() + "'");
    EXPECT_NE(info.find("Page size:       595 x 842 pts (A4)"), std::string::npos) << info;
    const std::string images =
        testing::Output("pdfimages -list '" + pdf.string() + "' | tail -n +3");
    EXPECT_EQ(images, "") << "the print holds pictures, not vectors";

    const fs::path png = pdf.parent_path() / (title + "-page");
    const testing::Image page = testing::PdfPage(pdf.string(), 50.8, png.string());
    ASSERT_EQ(page.width, 420);
    const auto [left, top, right, bottom] = testing::InkBox(page);
    const int side = sheet.turned ? 330 : 320;
    EXPECT_NEAR((left + right) / 2.0, sheet.centreX, 1.5) << title;
    EXPECT_NEAR((top + bottom) / 2.0, sheet.centreY, 1.5) << title;
    EXPECT_NEAR(right - left, side, 2) << title;
    EXPECT_NEAR(bottom - top, side, 2) << title;

    // Its colours where the canvas has them: each tenth of the square against the canvas's,
    // turned back where the sheet lay on its side.
    const auto printed = testing::Blocks(page, left, top, right - left);
    double off = 0;
    for (int row = 0; row < 10; ++row) {
      for (int column = 0; column < 10; ++column) {
        const int on = sheet.turned ? (9 - column) * 10 + row : row * 10 + column;
        for (int c = 0; c < 3; ++c)
          off += std::fabs(printed[on * 3 + c] - shown[(row * 10 + column) * 3 + c]);
      }
    }
    // Another figure is 38 levels off.
    EXPECT_LT(off / printed.size(), 6) << title << ": the print looks unlike the canvas";
    for (const fs::path& file : {pdf, fs::path(png.string() + ".png")}) fs::remove(file);
  }
}

}  // namespace
}  // namespace stringart
