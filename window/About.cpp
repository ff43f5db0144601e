#include "window/About.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

#include "window/ExportDialog.h"
#include "window/Settings.h"

namespace stringart {
namespace {

// Where the texts of "About" are translated.
class About {
  Q_DECLARE_TR_FUNCTIONS(About)
};

}  // namespace

ProgramFiles FilesOfThisRun(const QString& journal) {
  ProgramFiles files;
  files.journal = journal;
  files.settings = settings::FileName();
  // $XDG_DATA_HOME/stringart/wallpapers, ~/.local/share/stringart/wallpapers without it.
  files.wallpapers = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                         .filePath(QStringLiteral("stringart/wallpapers"));
  const QString last = settings::LastFolder();
  files.pictures = ExportDialog::ProposedFolder(last, QStandardPaths::PicturesLocation);
  files.clips = ExportDialog::ProposedFolder(last, QStandardPaths::MoviesLocation);
  return files;
}

QString AboutText(const ProgramFiles& files) {
  // Each name on a line of its own under what it is: a path is long, the box is not wide.
  const auto line = [](const QString& what, const QString& path) {
    return QStringLiteral("%1<br>&nbsp;&nbsp;<tt>%2</tt><br>")
        .arg(what.toHtmlEscaped(), QDir::toNativeSeparators(path).toHtmlEscaped());
  };
  return QStringLiteral(
             "<h3>stringart %1</h3><p>%2</p><p>%3<br>%4</p><p><b>%5</b></p>"
             "<p>%6%7%8%9%10</p>")
      .arg(QCoreApplication::applicationVersion().toHtmlEscaped(),
           About::tr("Draws random string-art figures, one at each press of \"new\".")
               .toHtmlEscaped(),
           About::tr("Free software under the MIT licence.").toHtmlEscaped(),
           QStringLiteral("Copyright (c) 2026 the stringart developers"),
           About::tr("Its files").toHtmlEscaped(),
           line(About::tr("Journal of figures"),
                files.journal.isEmpty() ? About::tr("none kept") : files.journal),
           line(About::tr("Settings"), files.settings),
           line(About::tr("Wallpapers"), files.wallpapers),
           line(About::tr("Pictures and files for paper"), files.pictures),
           line(About::tr("Animations"), files.clips));
}

void ShowAbout(QWidget* parent, const ProgramFiles& files) {
  QMessageBox::about(parent, About::tr("About stringart"), AboutText(files));
}

}  // namespace stringart
