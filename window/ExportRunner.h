#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "formats/ExportProgress.h"

class QProgressDialog;
class QThread;
class QTimer;
class QWidget;

namespace stringart {

struct ExportJob;

// Runs one long piece of writing at a time off the window's thread, with a progress dialog
// that can cancel; the window stays usable meanwhile. Destroying the runner cancels the work
// and waits for its thread, so that a cancelled export leaves no file.
class ExportRunner final : public QObject {
  Q_OBJECT

 public:
  // The work: reports through `progress` (0 to 1), which answers false once cancelled; a
  // failure sets `error` to one line. Runs on the runner's thread: it must own what it uses.
  using Work = std::function<ExportResult(const ExportProgress& progress, std::string& error)>;

  // Progress dialogs open over `window`.
  explicit ExportRunner(QWidget* window);
  ~ExportRunner() override;

  // Starts `work` with a progress dialog titled `title` saying `label`; false when work is
  // already running.
  bool Start(const QString& title, const QString& label, Work work);
  bool running() const { return thread_ != nullptr; }
  // Whether the work runs past its last chance to cancel (it has reported all done): its file
  // is in place, or about to be, whatever a cancel says; what is left is tidying up.
  bool pastCancelling() const;

 signals:
  // The work has ended, written, cancelled or failed with `error`; its thread is gone.
  void Finished(stringart::ExportResult result, const QString& error);

 private:
  void ThreadFinished();

  QWidget* window_;
  std::shared_ptr<ExportJob> job_;
  QThread* thread_ = nullptr;
  QPointer<QProgressDialog> progress_;
  QTimer* poll_ = nullptr;
};

}  // namespace stringart
