// Every way a figure comes onto the canvas with every way it leaves, in English and in German:
// whatever brought it, what leaves is the figure on the canvas, checked by its pixels or by the
// draws the file, the clipboard or the journal carries. A way in or out is one line of a table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QListView>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <functional>
#include <memory>

#include "export/FigureFileWriter.h"
#include "journal/FiguresFile.h"
#include "options/FigureCommand.h"
#include "tests/support/Figures.h"
#include "tests/support/PrintedPage.h"
#include "tests/support/WindowDriving.h"
#include "window/AdjustWindow.h"
#include "window/Form1Window.h"
#include "window/GalleryWindow.h"
#include "window/JournalLink.h"
#include "window/Translations.h"
#include "window/VariationsWindow.h"

namespace stringart {

// Failures name the figure as the command line does.
void PrintTo(const FigureRecord& figure, std::ostream* out) {
  *out << DescribeFigure(figure);
}

namespace {

using testing::DrawnFigure;
using testing::Retraced;
using testing::SamePixels;

FigureRecord Known(std::uint64_t i, Directions start) {
  return {DrawnFigure(i).draws, start, {}};
}

// What files, commands and the journal carry of a figure: its draws and start directions.
FigureRecord Made(FigureRecord figure) {
  figure.end = {};
  return figure;
}

// One user's window, keeping its figures in a folder of the journey's own, as on a desktop
// (a wallpaper needs one).
struct Journey {
  QTemporaryDir dir;
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};

  Journey() {
    for (const char* place : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
      qputenv(place, dir.filePath(place).toUtf8());
    }
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    window.KeepFigures(dir.filePath("figures.sqlite").toStdString());
  }
  QString path(const char* name) const { return dir.filePath(name); }
  const FigureRecord& shown() const { return window.form().lastFigure(); }
  void Key(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    to->window()->show();
    to->window()->activateWindow();
    // The window itself, not one of its own (the gallery), which counts as active for it.
    ASSERT_TRUE(QTest::qWaitFor([to] { return QApplication::activeWindow() == to->window(); }));
    QTest::keyClick(to, key, modifiers);
  }
  // Waits for the export the window runs to end.
  void AwaitExport() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window.exporting(); }, 120000));
  }
  // The figure a file the program wrote carries; a failure to read it fails the journey.
  FigureRecord Carried(const QString& file) {
    std::string error;
    const auto figure = files.Open(file.toStdString(), error);
    if (figure) return Made(*figure);
    ADD_FAILURE() << file.toStdString() << ": " << error;
    return {};
  }
};

// A way in: puts a figure on the canvas and returns the figure it should be.
struct WayIn {
  const char* name;
  std::function<FigureRecord(Journey&)> come;
};

const WayIn kWaysIn[] = {
    {"new",
     [](Journey& j) {
       j.window.FormLoad();
       j.window.Command1Click();
       return j.window.form().history().At(1);
     }},
    {"back",
     [](Journey& j) {
       j.window.FormLoad();
       j.window.Command1Click();
       j.Key(&j.window, Qt::Key_Left, Qt::AltModifier);
       return j.window.form().history().At(0);
     }},
    {"draws",  // stringart --draws U1,...,U12 --directions 1,-1,1, as a copied command gives
     [](Journey& j) {
       const FigureRecord figure = Known(1, {1, -1, 1});
       j.window.FormLoad(figure);
       return figure;
     }},
    {"png_file",  // stringart FILE, a PNG the program wrote
     [](Journey& j) {
       const FigureRecord figure = Known(2, {-1, 1, 1});
       Picture1 picture;
       TraceAgain(figure, picture);
       std::string error;
       EXPECT_TRUE(j.files.Save(j.path("in.png").toStdString(), picture, figure, error)) << error;
       j.window.FormLoad(QStringList{j.path("in.png")});
       testing::AwaitFilesRead(j.window);
       return figure;
     }},
    {"hpgl_file",  // a plotter's file the program wrote, dropped or opened
     [](Journey& j) {
       const FigureRecord figure = Known(3, {1, 1, -1});
       std::string error;
       const auto request = ExportRequest::ForPaper(j.path("in.hpgl").toStdString(), {}, error);
       EXPECT_EQ(j.files.Export(
                     *request, figure, [](double) { return true; }, error),
                 ExportResult::Written)
           << error;
       j.window.FormLoad();
       QString why;
       EXPECT_TRUE(j.window.OpenFigureFile(j.path("in.hpgl"), why)) << why.toStdString();
       return figure;
     }},
    {"gallery",  // a figures file imported, the figure shown from the gallery
     [](Journey& j) {
       const FigureRecord figure = Known(4, {-1, -1, 1});
       std::ofstream(j.path("in.json").toStdString())
           << FormatFiguresFile({{figure, false, 1000, ""}});
       j.window.FormLoad();
       j.window.journalLink()->OpenGallery();
       GalleryWindow* gallery = j.window.journalLink()->galleryWindow();
       gallery->ImportFigures(j.path("in.json"));
       if (!QTest::qWaitFor([&] { return !gallery->loading() && gallery->rows().size() == 2; },
                            20000)) {
         ADD_FAILURE() << "the gallery shows " << gallery->rows().size() << " rows, loading "
                       << gallery->loading() << ", told "
                       << gallery->told().join('/').toStdString();
         return figure;
       }
       auto* list = gallery->findChild<QListView*>();
       const int row = gallery->rows()[0].figure.draws == figure.draws ? 0 : 1;
       list->setCurrentIndex(list->model()->index(row, 0));
       gallery->ShowSelected();
       return figure;
     }},
    {"variations",
     [](Journey& j) {
       j.window.FormLoad();
       j.Key(&j.window, Qt::Key_E, Qt::ControlModifier);
       auto* variations = j.window.findChild<VariationsWindow*>();
       variations->Select(2);
       const FigureRecord chosen = variations->figure(2);
       QTest::keyClick(variations, Qt::Key_Return);
       return chosen;
     }},
    {"adjust",  // a slider moved: the figure shown before it is at rest and kept
     [](Journey& j) {
       j.window.FormLoad();
       j.Key(&j.window, Qt::Key_J, Qt::ControlModifier);
       auto* adjust = j.window.findChild<AdjustWindow*>();
       FigureRecord moved = j.shown();
       QTest::keyClick(adjust->slider(0), Qt::Key_Right);
       moved.draws[0] =
           static_cast<float>(adjust->slider(0)->value() / double(AdjustWindow::kPositions));
       return moved;
     }},
};

// A way out: takes the figure on the canvas out of the window and fails the journey unless what
// left carries `figure`.
struct WayOut {
  const char* name;
  std::function<void(Journey&, const FigureRecord& figure)> leave;
};

// Starts `request`'s export as its dialog does and returns the figure the file carries.
FigureRecord Exported(Journey& j, const ExportRequest& request) {
  QString error;
  EXPECT_TRUE(j.window.StartExport(request, error)) << error.toStdString();
  j.AwaitExport();
  return j.Carried(QString::fromStdString(request.path));
}

const WayOut kWaysOut[] = {
    {"png",
     [](Journey& j, const FigureRecord& figure) {
       QString error;
       ASSERT_TRUE(j.window.SavePicture(j.path("out.png"), error)) << error.toStdString();
       EXPECT_EQ(j.Carried(j.path("out.png")), figure);
       EXPECT_TRUE(SamePixels(QImage(j.path("out.png")), Retraced(figure)));
     }},
    {"svg",
     [](Journey& j, const FigureRecord& figure) {
       QString error;
       ASSERT_TRUE(j.window.SavePicture(j.path("out.svg"), error)) << error.toStdString();
       EXPECT_EQ(j.Carried(j.path("out.svg")), figure);
     }},
    {"large_picture",
     [](Journey& j, const FigureRecord& figure) {
       EXPECT_EQ(Exported(j, testing::Request(j.path("out-600x500.png"), 600, 500)), figure);
     }},
    {"animation",
     [](Journey& j, const FigureRecord& figure) {
       EXPECT_EQ(Exported(j, testing::Request(j.path("out.mp4"), 500, 500, 1, 2)), figure);
     }},
    {"paper",
     [](Journey& j, const FigureRecord& figure) {
       std::string error;
       const auto request = ExportRequest::ForPaper(j.path("out.hpgl").toStdString(), {}, error);
       EXPECT_EQ(Exported(j, *request), figure);
     }},
    {"print",
     [](Journey& j, const FigureRecord& figure) {
       const QString pdf = j.path("out.pdf");
       testing::WhenShown<QPrintDialog>([pdf](QPrintDialog* dialog) {
         // To a PDF file, as the dialog's "Print to File (PDF)" does.
         dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
         dialog->printer()->setOutputFileName(pdf);
         dialog->done(QDialog::Accepted);
       });
       j.Key(&j.window, Qt::Key_P, Qt::ControlModifier);
       j.AwaitExport();
       const QImage shown = Retraced(figure).convertToFormat(QImage::Format_RGB32);
       const testing::Image canvas(reinterpret_cast<const std::uint32_t*>(shown.constBits()),
                                   shown.width(), shown.height());
       const std::string page = j.path("page").toStdString();
       EXPECT_LT(testing::LevelsOff(testing::PdfPage(pdf.toStdString(), 50.8, page), canvas), 6)
           << "the print looks unlike the canvas";
     }},
    {"wallpaper",
     [](Journey& j, const FigureRecord& figure) {
       j.Key(&j.window, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
       EXPECT_TRUE(j.window.exporting()) << "Set as wallpaper did nothing";
       j.AwaitExport();
       const QDir folder(j.path("XDG_DATA_HOME/stringart/wallpapers"));
       const QStringList pictures = folder.entryList(QDir::Files);
       ASSERT_EQ(pictures.size(), 1);
       EXPECT_EQ(j.Carried(folder.filePath(pictures[0])), figure);
     }},
    {"copy",
     [](Journey& j, const FigureRecord& figure) {
       j.Key(&j.window, Qt::Key_C, Qt::ControlModifier);
       EXPECT_TRUE(SamePixels(QGuiApplication::clipboard()->image(), Retraced(figure)));
     }},
    {"copy_command",
     [](Journey& j, const FigureRecord& figure) {
       j.Key(&j.window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
       std::string command = QGuiApplication::clipboard()->text().toStdString();
       command.resize(command.rfind(" -o "));  // the file it writes, which the parser leaves
       std::string error;
       const auto remade = ParseRemakeCommand(command, error);
       ASSERT_TRUE(remade) << command << ": " << error;
       EXPECT_EQ(Made(*remade), figure) << command;
     }},
    {"favourite",
     [](Journey& j, const FigureRecord& figure) {
       j.Key(&j.window, Qt::Key_D, Qt::ControlModifier);
       Journal& journal = j.window.journalLink()->journal();
       ASSERT_TRUE(journal.AwaitKept(std::chrono::seconds(20)));
       EXPECT_TRUE(journal.IsFavourite(figure)) << DescribeFigure(figure);
     }},
};

using JourneyCase = std::tuple<int, int, bool>;  // way in, way out, in German

class Journeys : public ::testing::TestWithParam<JourneyCase> {};

TEST_P(Journeys, WhatLeavesIsTheFigureOnTheCanvas) {
  const auto [in, out, german] = GetParam();
  std::unique_ptr<Translations> language;
  if (german) {
    language = std::make_unique<Translations>(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(language->found());
    language->Install();
  }
  Journey j;
  const FigureRecord figure = Made(kWaysIn[in].come(j));
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  ASSERT_EQ(Made(j.shown()), figure) << kWaysIn[in].name << " showed another figure";
  ASSERT_TRUE(SamePixels(WrapPicture(j.window.picture()).copy(), Retraced(figure)))
      << kWaysIn[in].name << ": the canvas is not " << DescribeFigure(figure);
  kWaysOut[out].leave(j, figure);
  // Nothing is being written any more: closing asks nothing.
  bool asked = false;
  testing::WhenShown<QMessageBox>([&asked](QMessageBox* box) {
    asked = true;
    box->reject();
  });
  EXPECT_TRUE(j.window.close());
  EXPECT_FALSE(asked) << "closing asked about an export that had finished";
}

std::string JourneyName(const ::testing::TestParamInfo<JourneyCase>& info) {
  const auto [in, out, german] = info.param;
  return std::string(kWaysIn[in].name) + "_" + kWaysOut[out].name + (german ? "_de" : "_en");
}

INSTANTIATE_TEST_SUITE_P(EveryWayInAndOut, Journeys,
                         ::testing::Combine(::testing::Range(0, int(std::size(kWaysIn))),
                                            ::testing::Range(0, int(std::size(kWaysOut))),
                                            ::testing::Bool()),
                         JourneyName);

}  // namespace
}  // namespace stringart
