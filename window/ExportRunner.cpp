#include "window/ExportRunner.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <utility>

#include "text/TimeLeft.h"

namespace stringart {

// What the thread and the window share: the thread writes `done` and, once finished, `result`
// and `error`; the window sets `cancel`.
struct ExportJob {
  std::atomic<double> done{0};
  std::atomic<bool> cancel{false};
  ExportResult result = ExportResult::Failed;
  std::string error;
};

namespace {
constexpr int kProgressSteps = 1000;
}  // namespace

ExportRunner::ExportRunner(QWidget* window) : QObject(window), window_(window) {}

ExportRunner::~ExportRunner() {
  if (thread_ == nullptr) return;
  job_->cancel = true;
  thread_->wait();
  delete thread_;
}

bool ExportRunner::Start(const QString& title, const QString& label, Work work) {
  if (running()) return false;
  auto job = std::make_shared<ExportJob>();
  thread_ = QThread::create([job, work = std::move(work)] {
    const ExportProgress progress = [&job = *job](double done) {
      job.done = done;
      return !job.cancel;
    };
    std::string why;
    job->result = work(progress, why);
    job->error = std::move(why);
  });
  job_ = job;
  connect(thread_, &QThread::finished, this, &ExportRunner::ThreadFinished);

  progress_ = new QProgressDialog(label, tr("Cancel"), 0, kProgressSteps, window_);
  progress_->setWindowTitle(title);
  // Wide enough for the whole title beside the window manager's buttons.
  progress_->setMinimumWidth(progress_->fontMetrics().horizontalAdvance(title) + 200);
  // The label names a file: shown as the text it is, never as markup.
  auto* text = new QLabel(label, progress_);
  text->setTextFormat(Qt::PlainText);
  progress_->setLabel(text);
  progress_->setWindowModality(Qt::NonModal);  // the window stays usable
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  progress_->setMinimumDuration(0);
  connect(progress_, &QProgressDialog::canceled, this, [job] { job->cancel = true; });
  poll_ = new QTimer(this);
  QElapsedTimer clock;
  clock.start();
  connect(poll_, &QTimer::timeout, progress_, [dialog = progress_.data(), text, label, clock, job] {
    const double done = job->done;
    // The last step waits for the file to be in place.
    dialog->setValue(std::min(kProgressSteps - 1, static_cast<int>(done * kProgressSteps)));
    if (const auto left = TimeLeft(clock.elapsed() / 1000.0, done)) {
      text->setText(
          ExportRunner::tr("%1\nAbout %2 left").arg(label, QString::fromStdString(*left)));
    }
  });
  poll_->start(100);
  progress_->show();
  thread_->start();
  return true;
}

bool ExportRunner::pastCancelling() const {
  return running() && job_->done >= 1.0;
}

void ExportRunner::ThreadFinished() {
  thread_->wait();
  thread_->deleteLater();
  thread_ = nullptr;
  poll_->stop();
  poll_->deleteLater();
  poll_ = nullptr;
  if (progress_) {
    progress_->hide();
    progress_->deleteLater();
  }
  const std::shared_ptr<ExportJob> job = std::exchange(job_, nullptr);
  emit Finished(job->result, QString::fromStdString(job->error));
}

}  // namespace stringart
