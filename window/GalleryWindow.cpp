#include "window/GalleryWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "text/ExportLimits.h"
#include "window/ExportRunner.h"
#include "window/Exports.h"
#include "window/GalleryModel.h"
#include "window/Messages.h"
#include "window/ThumbnailCache.h"

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

GalleryWindow::GalleryWindow(Journal& journal, ThumbnailCache& thumbnails, FigureFiles& files,
                             ShowFigure show, QWidget* parent)
    : QWidget(parent, Qt::Window),
      journal_(journal),
      thumbnails_(thumbnails),
      files_(files),
      show_(std::move(show)),
      model_(new GalleryModel(thumbnails, files, this)),
      view_(new QListView(this)),
      favouritesButton_(new QPushButton(QStringLiteral("Favourites"), this)),
      allButton_(new QPushButton(QStringLiteral("All"), this)),
      saveMorph_(new QPushButton(QStringLiteral("Save morph\u2026"), this)),
      period_(new QComboBox(this)),
      exports_(new ExportRunner(this)) {
  setWindowTitle(QStringLiteral("Figures"));
  constexpr int kCell = ThumbnailCache::kSide + 16;
  view_->setViewMode(QListView::IconMode);
  view_->setMovement(QListView::Static);
  view_->setResizeMode(QListView::Adjust);
  view_->setUniformItemSizes(true);
  view_->setIconSize(QSize(ThumbnailCache::kSide, ThumbnailCache::kSide));
  view_->setGridSize(QSize(kCell, kCell + 20));
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);  // two, for a morph
  view_->setDragEnabled(true);
  view_->setDragDropMode(QAbstractItemView::DragOnly);
  view_->setModel(model_);
  connect(view_, &QListView::activated, this, [this] { ShowSelected(); });

  for (QPushButton* button : {favouritesButton_, allButton_}) button->setCheckable(true);
  connect(favouritesButton_, &QPushButton::clicked, this, [this] { ShowFavourites(true); });
  connect(allButton_, &QPushButton::clicked, this, [this] { ShowFavourites(false); });
  period_->addItems(
      {QStringLiteral("All days"), QStringLiteral("Today"), QStringLiteral("This week")});
  connect(period_, &QComboBox::currentIndexChanged, this, [this] { Load(0); });

  auto* bar = new QHBoxLayout;
  bar->addWidget(favouritesButton_);
  bar->addWidget(allButton_);
  bar->addStretch();
  bar->addWidget(saveMorph_);
  bar->addWidget(period_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(view_);
  resize(5 * kCell + 40, 4 * (kCell + 20) + 60);

  auto* unmark = new QAction(this);
  unmark->setShortcut(QKeySequence::Delete);
  unmark->setShortcutContext(Qt::WindowShortcut);
  connect(unmark, &QAction::triggered, this, &GalleryWindow::UnmarkSelected);
  auto* undo = new QAction(this);
  undo->setShortcut(QKeySequence::Undo);
  connect(undo, &QAction::triggered, this, &GalleryWindow::Undo);
  addActions({unmark, undo});

  saveMorph_->setToolTip(QStringLiteral(
      "Save a morph from the figure selected first to the one selected last (Ctrl+M)"));
  saveMorph_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  saveMorph_->setFocusPolicy(Qt::TabFocus);
  connect(saveMorph_, &QPushButton::clicked, this, &GalleryWindow::SaveMorphAs);
  connect(exports_, &ExportRunner::Finished, this, [this](ExportResult result, const QString& e) {
    saveMorph_->setEnabled(true);
    if (result == ExportResult::Failed) Warn(this, QStringLiteral("Save morph"), Sentence(e));
  });
}

const std::vector<JournalRow>& GalleryWindow::rows() const {
  return model_->rows();
}

void GalleryWindow::Open() {
  period_->blockSignals(true);
  period_->setCurrentIndex(0);
  period_->blockSignals(false);
  ShowFavourites(!journal_.Figures(true, 0).empty());
}

void GalleryWindow::ShowFavourites(bool favourites) {
  favourites_ = favourites;
  Load(0);
}

void GalleryWindow::SetPeriod(Period period) {
  period_->setCurrentIndex(static_cast<int>(period));  // reloads
}

void GalleryWindow::Load(int selectRow) {
  favouritesButton_->setChecked(favourites_);
  allButton_->setChecked(!favourites_);
  model_->SetRows(
      journal_.Figures(favourites_, PeriodStart(static_cast<Period>(period_->currentIndex()))));
  if (model_->rowCount() == 0) return;
  const QModelIndex at = model_->index(std::min(selectRow, model_->rowCount() - 1));
  view_->setCurrentIndex(at);
  view_->scrollTo(at);
  view_->setFocus();
}

int GalleryWindow::selectedRow() const {
  const QModelIndex at = view_->currentIndex();
  return at.isValid() && view_->selectionModel()->isSelected(at) ? at.row() : -1;
}

void GalleryWindow::ShowSelected() {
  const int row = selectedRow();
  if (row >= 0) show_(rows()[static_cast<std::size_t>(row)].figure);
}

bool GalleryWindow::StartMorph(ExportRequest request, QString& error) {
  const QModelIndex to = view_->currentIndex();
  QModelIndexList selected = view_->selectionModel()->selectedIndexes();
  selected.removeAll(to);
  if (!to.isValid() || selected.size() != 1) {
    error = QStringLiteral(
        "Select two figures: the morph goes from the one selected first to the one selected "
        "last.");
    return false;
  }
  const FigureRecord& from = rows()[static_cast<std::size_t>(selected.front().row())].figure;
  const FigureRecord& last = rows()[static_cast<std::size_t>(to.row())].figure;
  request.morphTo = last.draws;
  if (!StartExport(*exports_, files_, request, from, error)) return false;
  saveMorph_->setEnabled(false);
  return true;
}

void GalleryWindow::SaveMorphAs() {
  AskAndStartMorph(this, [this](ExportRequest request, QString& error) {
    return StartMorph(std::move(request), error);
  });
}

void GalleryWindow::UnmarkSelected() {
  const int row = selectedRow();
  if (row < 0 || !rows()[static_cast<std::size_t>(row)].favourite) return;
  const JournalRow unmarked = rows()[static_cast<std::size_t>(row)];
  journal_.SetFavourite(unmarked.figure, false, unmarked.id);
  undo_.push_back({unmarked});
  Load(row);
}

void GalleryWindow::Undo() {
  if (undo_.empty()) return;
  const JournalRow row = undo_.back().row;
  undo_.pop_back();
  // Marked again at the time it had, so it comes back to its place among the favourites.
  journal_.SetFavourite(row.figure, true, row.id,
                        row.markedAt > 0 ? row.markedAt : static_cast<double>(row.shownAt));
  Load(0);
  for (int i = 0; i < model_->rowCount(); ++i) {
    if (rows()[static_cast<std::size_t>(i)].id == row.id ||
        rows()[static_cast<std::size_t>(i)].figure == row.figure) {
      view_->setCurrentIndex(model_->index(i));
      view_->scrollTo(model_->index(i));
      break;
    }
  }
}

bool GalleryWindow::ScreenTraced() const {
  const QRect area = view_->viewport()->rect();
  for (int i = 0; i < model_->rowCount(); ++i) {
    const QRect cell = view_->visualRect(model_->index(i));
    if (cell.top() > area.bottom()) break;
    if (cell.intersects(area) && !thumbnails_.Has(rows()[static_cast<std::size_t>(i)].figure)) {
      return false;
    }
  }
  return true;
}

}  // namespace stringart
