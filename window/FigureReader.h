#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "export/FigureFiles.h"
#include "figure/FigureRecord.h"

class QThread;

namespace stringart {

// Reads the figures that files carry off the window's thread: a file can take long to read
// (FFmpeg parses a whole video tag it is handed), and the window must not freeze meanwhile.
// Batches are read one after another, in order; destroying the reader waits for the one being
// read.
class FigureReader final : public QObject {
  Q_OBJECT

 public:
  // What one file carried: its figure, or why it has none.
  struct Read {
    std::optional<FigureRecord> figure;
    QString error;
  };

  // Reads through `files`, which must outlive the reader.
  FigureReader(FigureFiles& files, QObject* parent);
  ~FigureReader() override;

  // Reads each of `paths`; Done follows with a result a path, in the same order.
  void Start(const QStringList& paths, bool showFirst);
  bool reading() const { return thread_ != nullptr || !queued_.empty(); }

 signals:
  // A batch has been read; `showFirst` is Start's.
  void Done(const std::vector<stringart::FigureReader::Read>& reads, bool showFirst);

 private:
  struct Batch {
    QStringList paths;
    bool showFirst;
  };
  void Next();

  FigureFiles& files_;
  std::deque<Batch> queued_;
  QThread* thread_ = nullptr;
};

}  // namespace stringart
