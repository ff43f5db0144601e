#include "window/MorphButton.h"

#include "window/ExportRunner.h"
#include "window/Exports.h"
#include "window/Messages.h"

namespace stringart {

MorphButton::MorphButton(FigureFiles& files, Choose choose, const QString& toolTip, QWidget* owner)
    : QPushButton(QStringLiteral("Save morph\u2026"), owner),
      files_(files),
      choose_(std::move(choose)),
      exports_(new ExportRunner(owner)) {
  setToolTip(toolTip);
  setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  setFocusPolicy(Qt::TabFocus);
  connect(this, &QPushButton::clicked, this, &MorphButton::AskAndStart);
  connect(exports_, &ExportRunner::Finished, this, [this](ExportResult result, const QString& e) {
    setEnabled(true);
    if (result == ExportResult::Failed) Warn(window(), QStringLiteral("Save morph"), Sentence(e));
  });
}

bool MorphButton::writing() const {
  return exports_->running();
}

bool MorphButton::Start(ExportRequest request, QString& error) {
  FigureRecord from;
  FigureDraws to{};
  if (!choose_(from, to, error)) return false;
  request.morphTo = to;
  if (!StartExport(*exports_, files_, request, from, error)) return false;
  setEnabled(false);
  return true;
}

void MorphButton::AskAndStart() {
  AskAndStartMorph(window(), [this](ExportRequest request, QString& error) {
    return Start(std::move(request), error);
  });
}

}  // namespace stringart
