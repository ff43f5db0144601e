#pragma once

#include <QImage>
#include <QObject>
#include <QThreadPool>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "figure/FigureRecord.h"

namespace stringart {

// Thumbnails of figures: each the figure's exact 500 x 500 raster area-averaged down to
// kSide x kSide, traced on a pool of threads, one per core, newest request first, and kept for
// the next time. Lives on the window's thread; Traced is emitted there.
class ThumbnailCache final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kSide = 125;  // pixels: a quarter of the canvas's side
  // Thumbnails kept, about 61 KB each; the least recently traced go first.
  static constexpr std::size_t kKept = 1500;

  explicit ThumbnailCache(QObject* parent = nullptr);
  // Lets running traces finish; drops the rest.
  ~ThumbnailCache() override;

  // The thumbnail of `figure` (its draws and start directions), or a null image after asking
  // for it to be traced; Traced follows.
  QImage Find(const FigureRecord& figure);
  bool Has(const FigureRecord& figure);
  // Forgets every thumbnail.
  void Clear();

  // The thumbnail of `figure`, traced on the calling thread.
  static QImage Trace(const FigureRecord& figure);
  // The bytes that tell figures apart: draws and start directions.
  static std::string Key(const FigureRecord& figure);

 signals:
  void Traced(const std::string& key);

 private:
  void Work();

  std::mutex mutex_;
  std::unordered_map<std::string, QImage> images_;
  std::deque<std::string> order_;            // keys in images_, oldest first
  std::deque<FigureRecord> wanted_;          // newest at the back
  std::unordered_set<std::string> pending_;  // keys in wanted_ or being traced
  int workers_ = 0;
  QThreadPool pool_;
};

}  // namespace stringart
