#include "window/FigureReader.h"

#include <QThread>
#include <memory>
#include <string>
#include <utility>

namespace stringart {

FigureReader::FigureReader(FigureFiles& files, QObject* parent) : QObject(parent), files_(files) {}

FigureReader::~FigureReader() {
  if (thread_ == nullptr) return;
  thread_->wait();
  delete thread_;
}

void FigureReader::Start(const QStringList& paths, bool showFirst) {
  queued_.push_back({paths, showFirst});
  if (thread_ == nullptr) Next();
}

void FigureReader::Next() {
  if (queued_.empty()) return;
  Batch batch = std::move(queued_.front());
  queued_.pop_front();
  std::vector<std::string> paths;
  for (const QString& path : batch.paths) paths.push_back(path.toStdString());
  auto reads = std::make_shared<std::vector<Read>>(paths.size());
  FigureFiles* files = &files_;
  thread_ = QThread::create([files, paths = std::move(paths), reads] {
    for (std::size_t i = 0; i < paths.size(); ++i) {
      std::string why;
      (*reads)[i].figure = files->Open(paths[i], why);
      (*reads)[i].error = QString::fromStdString(why);
    }
  });
  // Finished comes from the reading thread; its handler runs on the window's.
  connect(thread_, &QThread::finished, this, [this, reads, showFirst = batch.showFirst] {
    thread_->wait();
    thread_->deleteLater();
    thread_ = nullptr;
    emit Done(*reads, showFirst);
    Next();
  });
  thread_->start();
}

}  // namespace stringart
