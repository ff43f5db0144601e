#include "window/MorphButton.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include "figure/FigureHistory.h"
#include "options/ExportLimits.h"
#include "text/Quote.h"
#include "window/ExportDialog.h"
#include "window/ExportNote.h"
#include "window/ExportRunner.h"
#include "window/Exports.h"
#include "window/Messages.h"
#include "window/Settings.h"

namespace stringart {
namespace {

// Asks where to save the morph from `from` to `to`, MP4 or WebM; empty when cancelled.
QString AskMorphPath(QWidget* parent, const FigureRecord& from, const FigureRecord& to) {
  const QString mp4 = MorphButton::tr("MP4 video, H.264 (*.mp4)");
  const QString webm = MorphButton::tr("WebM video, VP9 (*.webm)");
  QString filter = mp4;
  const QString folder =
      ExportDialog::ProposedFolder(settings::LastFolder(), QStandardPaths::MoviesLocation);
  const QString name =
      QStringLiteral("figure-%1-to-%2.mp4")
          .arg(QString::fromStdString(FigureName(from)), QString::fromStdString(FigureName(to)));
  QString path =
      QFileDialog::getSaveFileName(parent, MorphButton::tr("Save morph"),
                                   QDir(folder).filePath(name), mp4 + ";;" + webm, &filter);
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
    path += filter == webm ? QStringLiteral(".webm") : QStringLiteral(".mp4");
  }
  return path;
}

}  // namespace

MorphButton::MorphButton(FigureFiles& files, Choose choose, const QString& toolTip, QWidget* owner)
    : QPushButton(tr("Save morph\u2026"), owner),
      files_(files),
      choose_(std::move(choose)),
      exports_(new ExportRunner(owner)),
      note_(new ExportNote(owner)) {
  setToolTip(toolTip);
  setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  setFocusPolicy(Qt::TabFocus);
  connect(this, &QPushButton::clicked, this, &MorphButton::AskAndStart);
  connect(exports_, &ExportRunner::Finished, this, [this](ExportResult result, const QString& e) {
    setEnabled(true);
    if (result == ExportResult::Written) {
      settings::SetLastFolder(QFileInfo(path_).absolutePath());
      note_->ShowWritten(path_);
    } else if (result == ExportResult::Failed) {
      Warn(window(), tr("Save morph"), Sentence(e));
    }
  });
}

bool MorphButton::writing() const {
  return exports_->running();
}

bool MorphButton::Start(ExportRequest request, QString& error) {
  FigureRecord from, to;
  if (!choose_(from, to, error)) return false;
  request.morphTo = to.draws;
  if (!StartExport(*exports_, files_, request, from, error)) return false;
  path_ = QString::fromStdString(request.path);
  note_->hide();
  setEnabled(false);
  return true;
}

void MorphButton::AskAndStart() {
  FigureRecord from, to;
  QString error;
  if (choose_(from, to, error)) {
    const QString path = AskMorphPath(window(), from, to);
    if (path.isEmpty()) return;
    std::string why;
    const auto request = ExportRequest::Make(path.toStdString(), kDefaultAnimationSize,
                                             kDefaultSeconds, kDefaultFps, {}, why);
    if (!request) {
      error = Sentence("cannot save " + Quoted(path.toStdString()) + ": " + why);
    } else if (Start(*request, error)) {
      return;
    }
  }
  Warn(window(), tr("Save morph"), error);
}

}  // namespace stringart
