// The gallery's paging: the list read a page at a time as it scrolls into view, End that waits
// for the rest, and the watch for figures other programs add to the journal.
#include "window/GalleryWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "window/Settings.h"

namespace stringart {
namespace {

// Seconds since 1970 at which `period` begins, local time; 0 for all.
std::int64_t PeriodStart(GalleryWindow::Period period) {
  const QDate today = QDate::currentDate();
  switch (period) {
    case GalleryWindow::Period::Today: return today.startOfDay().toSecsSinceEpoch();
    case GalleryWindow::Period::ThisWeek:  // from Monday
      return today.addDays(1 - today.dayOfWeek()).startOfDay().toSecsSinceEpoch();
    case GalleryWindow::Period::All: break;
  }
  return 0;
}

}  // namespace

void GalleryWindow::ShowFavourites(bool favourites, bool orAll) {
  GalleryQuery query;
  query.favouritesOnly = favourites;
  query.order = orders_[favourites ? 1 : 0];
  query.since = PeriodStart(static_cast<Period>(period_->currentIndex()));
  query.search = search_->text().trimmed().toStdString();
  end_.reset();  // End was for the list this one replaces
  // As many as the screen shows and a screenful more, so that the first scroll finds them read.
  model_->Load(query, 2 * Screenful(), orAll);
  favouritesButton_->setChecked(favourites);
  allButton_->setChecked(!favourites);
  settings::SetGalleryFavourites(favourites);
}

void GalleryWindow::Reload() {
  // Before the first page has chosen the tab (an import done as the gallery opens), choose again.
  ShowFavourites(showingFavourites(), model_->choosing());
}

void GalleryWindow::SetPeriod(Period period) {
  period_->setCurrentIndex(static_cast<int>(period));  // reloads
}

void GalleryWindow::SetOrder(GalleryQuery::Order order) {
  orders_[showingFavourites() ? 1 : 0] = order;
  settings::SetGalleryOrder(showingFavourites(), static_cast<int>(order));
  Reload();
}

void GalleryWindow::Search(const QString& text) {
  search_->setText(text);
  Reload();
}

void GalleryWindow::PageRead(bool first) {
  if (first) {
    const bool favourites = showingFavourites();
    favouritesButton_->setChecked(favourites);
    allButton_->setChecked(!favourites);
    order_->setCurrentIndex(orders_[favourites ? 1 : 0] == GalleryQuery::Order::Shown ? 0 : 1);
    // Read again for figures added elsewhere: what was selected stays so, where it is read.
    std::vector<int> kept;
    for (int i = 0; i < model_->rowCount() && !keep_.empty(); ++i) {
      const bool was = std::find(keep_.begin(), keep_.end(), model_->row(i).id) != keep_.end();
      if (was) kept.push_back(i);
    }
    keep_.clear();
    if (model_->rowCount() > 0) {
      Select(kept.empty() ? std::vector{0} : kept);
      if (!search_->hasFocus()) view_->setFocus();
    }
  }
  if (end_) {
    EndWhenRead();
    return;
  }
  ReadAhead();
}

void GalleryWindow::EndWhenRead() {
  if (!model_->complete()) {
    // Pages of thousands: a long list is read in a few steps rather than a screenful at a time.
    model_->LoadMore(std::max<std::size_t>(4096, Screenful()));
    return;
  }
  const Qt::KeyboardModifiers modifiers = *end_;
  end_.reset();
  QKeyEvent end(QEvent::KeyPress, Qt::Key_End, modifiers);
  QCoreApplication::sendEvent(view_, &end);
}

bool GalleryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_End && !model_->complete()) {
    // The view knows only the rows read so far: End waits for the rest, then goes on.
    end_ = static_cast<QKeyEvent*>(event)->modifiers();
    if (!model_->loading()) EndWhenRead();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool GalleryWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) CheckOthers();  // back from the terminal, say
  return QWidget::event(event);
}

void GalleryWindow::showEvent(QShowEvent* event) {
  watch_->start();
  CheckOthers();
  QWidget::showEvent(event);
}

void GalleryWindow::hideEvent(QHideEvent* event) {
  watch_->stop();
  QWidget::hideEvent(event);
}

void GalleryWindow::CheckOthers() {
  if (checking_) return;
  checking_ = true;
  pool_.start([this] {
    const std::int64_t version = journal_.OthersVersion();
    QMetaObject::invokeMethod(
        this,
        [this, version] {
          checking_ = false;
          if (othersVersion_ >= 0 && version != othersVersion_) reread_ = true;
          othersVersion_ = version;
          // A note being written would be lost with the list: read again once it is kept.
          if (!reread_ || view_->indexWidget(view_->currentIndex()) != nullptr) return;
          reread_ = false;
          for (int at : selectedRows()) keep_.push_back(model_->row(at).id);
          Reload();
        },
        Qt::QueuedConnection);
  });
}

std::size_t GalleryWindow::Screenful() const {
  const QSize grid = view_->gridSize();
  const QSize area = view_->viewport()->size();
  const int columns = std::max(1, area.width() / std::max(1, grid.width()));
  const int lines = area.height() / std::max(1, grid.height()) + 1;
  return static_cast<std::size_t>(std::max(20, columns * lines));
}

void GalleryWindow::ReadAhead() {
  const QScrollBar* bar = view_->verticalScrollBar();
  // Less than a screenful read below the screen: a screenful more.
  if (bar->maximum() - bar->value() < std::max(1, bar->pageStep())) model_->LoadMore(Screenful());
}

}  // namespace stringart
