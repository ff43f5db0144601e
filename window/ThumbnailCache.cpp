#include "window/ThumbnailCache.h"

#include <cstring>

#include "canvas/AreaAverage.h"
#include "canvas/Picture1.h"
#include "figure/Tracer.h"
#include "runtime/Cpus.h"

namespace stringart {
namespace {

// Requests beyond these are the oldest, for thumbnails scrolled past long ago; they are asked
// for again when they come back into view.
constexpr std::size_t kWantedAtMost = 256;

}  // namespace

ThumbnailCache::ThumbnailCache(QObject* parent) : QObject(parent) {
  pool_.setMaxThreadCount(UsableCpus());
}

ThumbnailCache::~ThumbnailCache() {
  {
    std::lock_guard lock(mutex_);
    wanted_.clear();
  }
  pool_.waitForDone();
}

std::string ThumbnailCache::Key(const FigureRecord& figure) {
  std::string key(sizeof figure.draws + 3, '\0');
  std::memcpy(key.data(), figure.draws.data(), sizeof figure.draws);
  key[sizeof figure.draws] = static_cast<char>(figure.start.red);
  key[sizeof figure.draws + 1] = static_cast<char>(figure.start.green);
  key[sizeof figure.draws + 2] = static_cast<char>(figure.start.blue);
  return key;
}

QImage ThumbnailCache::Trace(const FigureRecord& figure) {
  Picture1 picture;
  TraceAgain(figure, picture);
  QImage image(kSide, kSide, QImage::Format_RGB32);
  AreaAverage(picture.pixels(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride,
              reinterpret_cast<std::uint32_t*>(image.bits()), kSide, kSide,
              image.bytesPerLine() / 4);
  return image;
}

bool ThumbnailCache::Has(const FigureRecord& figure) {
  std::lock_guard lock(mutex_);
  return images_.contains(Key(figure));
}

QImage ThumbnailCache::Find(const FigureRecord& figure) {
  const std::string key = Key(figure);
  std::lock_guard lock(mutex_);
  if (auto found = images_.find(key); found != images_.end()) return found->second;
  if (pending_.insert(key).second) {
    wanted_.push_back(figure);
    if (wanted_.size() > kWantedAtMost) {
      pending_.erase(Key(wanted_.front()));
      wanted_.pop_front();
    }
  }
  if (workers_ < pool_.maxThreadCount()) {
    ++workers_;
    pool_.start([this] { Work(); });
  }
  return {};
}

void ThumbnailCache::Clear() {
  std::lock_guard lock(mutex_);
  images_.clear();
  order_.clear();
}

void ThumbnailCache::Work() {
  for (;;) {
    FigureRecord figure;
    {
      std::lock_guard lock(mutex_);
      if (wanted_.empty()) {
        --workers_;
        return;
      }
      figure = wanted_.back();
      wanted_.pop_back();
    }
    QImage image = Trace(figure);
    const std::string key = Key(figure);
    {
      std::lock_guard lock(mutex_);
      pending_.erase(key);
      if (images_.emplace(key, std::move(image)).second) order_.push_back(key);
      while (order_.size() > kKept) {
        images_.erase(order_.front());
        order_.pop_front();
      }
    }
    QMetaObject::invokeMethod(
        this, [this, key] { emit Traced(key); }, Qt::QueuedConnection);
  }
}

}  // namespace stringart
