#include "window/GalleryWindow.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_map>

#include "canvas/Picture1.h"
#include "figure/FigureHistory.h"
#include "figure/Tracer.h"
#include "journal/FiguresFile.h"
#include "text/ExportLimits.h"
#include "text/FigureFiles.h"
#include "text/Quote.h"
#include "window/ExportNote.h"
#include "window/KeyActions.h"
#include "window/KeySequences.h"
#include "window/Messages.h"
#include "window/MorphButton.h"
#include "window/PictureChoice.h"
#include "window/Settings.h"
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

QString Quote(const QString& text) {
  return QString::fromStdString(Quoted(text.toStdString()));
}

// Writes the picture of `figure` to `path`, PNG or SVG by its extension.
bool WritePicture(FigureFiles& files, const FigureRecord& figure, const QString& path,
                  QString& error) {
  Picture1 picture;
  TraceAgain(figure, picture);
  std::string why;
  if (files.Save(path.toStdString(), picture, figure, why)) return true;
  error = QString::fromStdString(why);
  return false;
}

// The first of these folders that exists, else the home folder.
QString FolderFor(QStandardPaths::StandardLocation location) {
  const QString folder = QStandardPaths::writableLocation(location);
  return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

}  // namespace

GalleryWindow::GalleryWindow(Journal& journal, ThumbnailCache& thumbnails, FigureFiles& files,
                             ShowFigure show, QWidget* parent)
    : QWidget(parent, Qt::Window),
      journal_(journal),
      thumbnails_(thumbnails),
      files_(files),
      show_(std::move(show)),
      model_(new GalleryModel(journal, thumbnails, files, this)),
      tile_(new GalleryTile(this)),
      view_(new QListView(this)),
      favouritesButton_(new QPushButton(tr("Favourites"), this)),
      allButton_(new QPushButton(tr("All"), this)),
      saveMorph_(new MorphButton(
          files,
          [this](FigureRecord& from, FigureRecord& to, QString& error) {
            return ChooseMorph(from, to, error);
          },
          tr("Save a morph from the figure selected first to the one selected last (Ctrl+M)"),
          this)),
      openFigures_(new QPushButton(tr("Open figures\u2026"), this)),
      order_(new QComboBox(this)),
      period_(new QComboBox(this)),
      search_(new QLineEdit(this)),
      status_(new QLabel(this)),
      watch_(new QTimer(this)) {
  setWindowTitle(tr("Figures"));
  // SQLite folds ASCII letters only: "GRÜN" would not be found by "grün".
  journal_.SetFold([](std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .toCaseFolded()
        .toStdString();
  });
  pool_.setMaxThreadCount(1);
  ReadSettings();
  CreateView();
  CreateBar();
  CreateActions();
  auto* bar = new QHBoxLayout;
  for (QWidget* control : std::initializer_list<QWidget*>{favouritesButton_, allButton_}) {
    bar->addWidget(control);
  }
  bar->addStretch();
  for (QWidget* control :
       std::initializer_list<QWidget*>{order_, period_, search_, openFigures_, saveMorph_}) {
    bar->addWidget(control);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(saveMorph_->note());
  layout->addWidget(view_);
  status_->setTextFormat(Qt::PlainText);  // it names files
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_->hide();
  layout->addWidget(status_);
  // Another window or `stringart --import` may add figures while this one is open; asking the
  // journal is one PRAGMA on its writer's connection, cheap enough to do every second.
  watch_->setObjectName(QStringLiteral("watch"));
  watch_->setInterval(1000);
  connect(watch_, &QTimer::timeout, this, &GalleryWindow::CheckOthers);
  resize(std::max(5 * view_->gridSize().width() + 40, 880), 3 * view_->gridSize().height() + 70);
}

void GalleryWindow::CreateView() {
  view_->setViewMode(QListView::IconMode);
  view_->setMovement(QListView::Static);
  view_->setResizeMode(QListView::Adjust);
  view_->setUniformItemSizes(true);
  view_->setItemDelegate(tile_);
  view_->setIconSize(QSize(ThumbnailCache::kSide, ThumbnailCache::kSide));
  QStyleOptionViewItem option;
  option.initFrom(view_);
  const QSize cell = tile_->sizeHint(option, {});
  view_->setGridSize(cell + QSize(10, 10));
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);  // two, for a morph
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);      // F2 is an action of its own
  view_->setDragEnabled(true);
  view_->setDragDropMode(QAbstractItemView::DragOnly);
  view_->setModel(model_);
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view_, &QListView::activated, this, [this] { ShowSelected(); });
  connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu;
    FillContextMenu(menu);
    menu.exec(view_->viewport()->mapToGlobal(at));
  });
  view_->installEventFilter(this);  // End, before the view goes to the last row it has read
  connect(tile_, &GalleryTile::StarClicked, this, [this](const QModelIndex& index) {
    const JournalRow row = model_->row(index.row());
    Done({{}, {row}, false, !row.favourite, {}});
    model_->Mark({row}, !row.favourite);
  });
  connect(model_, &GalleryModel::PageRead, this, &GalleryWindow::PageRead);
  connect(model_, &GalleryModel::MarksChanged, this, &GalleryWindow::MarksChanged);
  connect(model_, &GalleryModel::NoteWritten, this,
          [this](const JournalRow& before, const std::string& after) {
            Done({{}, {before}, true, false, after});
          });
  connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, &GalleryWindow::ReadAhead);
  connect(view_->verticalScrollBar(), &QScrollBar::rangeChanged, this, &GalleryWindow::ReadAhead);
}

void GalleryWindow::CreateBar() {
  for (QPushButton* button : {favouritesButton_, allButton_}) button->setCheckable(true);
  connect(favouritesButton_, &QPushButton::clicked, this, [this] { ShowFavourites(true); });
  connect(allButton_, &QPushButton::clicked, this, [this] { ShowFavourites(false); });
  order_->addItems({tr("Newest shown first"), tr("Latest marked first")});
  connect(order_, &QComboBox::activated, this, [this](int at) {
    SetOrder(at == 0 ? GalleryQuery::Order::Shown : GalleryQuery::Order::Marked);
  });
  period_->addItems({tr("All days"), tr("Today"), tr("This week")});
  connect(period_, &QComboBox::currentIndexChanged, this, &GalleryWindow::Reload);
  search_->setPlaceholderText(tr("Search notes"));
  search_->setToolTip(tr("Only the figures whose note holds this text (Ctrl+F)"));
  search_->setMinimumWidth(150);
  search_->setClearButtonEnabled(true);
  // A search each time typing rests, not one per key.
  auto* typing = new QTimer(this);
  typing->setSingleShot(true);
  typing->setInterval(250);
  connect(search_, &QLineEdit::textEdited, typing, qOverload<>(&QTimer::start));
  connect(search_, &QLineEdit::textChanged, this, [typing](const QString& text) {
    if (text.isEmpty()) typing->start();  // the clear button
  });
  connect(typing, &QTimer::timeout, this, &GalleryWindow::Reload);
  connect(
      AddAction(search_, tr("Clear the search"), {Qt::Key_Escape}, Qt::WidgetWithChildrenShortcut),
      &QAction::triggered, this, [this] {
        search_->clear();
        view_->setFocus();
      });
  openFigures_->setToolTip(tr("Add the figures of a figures file to the journal (Ctrl+O)"));
  openFigures_->setFocusPolicy(Qt::TabFocus);
  connect(openFigures_, &QPushButton::clicked, this, &GalleryWindow::ImportFiguresAs);
}

void GalleryWindow::CreateActions() {
  // The tiles' actions, in their menu too; while a note is written its line takes its keys.
  open_ = new QAction(tr("&Open"), view_);
  connect(open_, &QAction::triggered, this, &GalleryWindow::ShowSelected);
  favourite_ = AddAction(view_, tr("&Favourite"), KeySequences(GalleryKey::Favourite),
                         Qt::WidgetWithChildrenShortcut);
  favourite_->setCheckable(true);
  connect(favourite_, &QAction::triggered, this, &GalleryWindow::ToggleFavouriteSelected);
  note_ = AddAction(view_, tr("&Note\u2026"), KeySequences(GalleryKey::Note),
                    Qt::WidgetWithChildrenShortcut);
  connect(note_, &QAction::triggered, this, &GalleryWindow::EditNote);
  savePicture_ = AddAction(view_, tr("Save &picture\u2026"), KeySequences(GalleryKey::SavePicture),
                           Qt::WidgetWithChildrenShortcut);
  connect(savePicture_, &QAction::triggered, this, &GalleryWindow::SavePictureAs);
  saveFigures_ = AddAction(view_, tr("Save f&igures\u2026"), KeySequences(GalleryKey::SaveFigures));
  connect(saveFigures_, &QAction::triggered, this, &GalleryWindow::SaveFiguresAs);
  remove_ = AddAction(view_, tr("&Remove"), KeySequences(GalleryKey::Remove),
                      Qt::WidgetWithChildrenShortcut);
  connect(remove_, &QAction::triggered, this, &GalleryWindow::RemoveSelected);
  connect(
      AddAction(view_, tr("Menu"), KeySequences(GalleryKey::Menu), Qt::WidgetWithChildrenShortcut),
      &QAction::triggered, this, [this] {
        const QRect at = view_->visualRect(view_->currentIndex());
        emit view_->customContextMenuRequested(at.isValid() ? at.center() : QPoint());
      });
  connect(AddAction(this, tr("Undo"), KeySequences(GalleryKey::Undo)), &QAction::triggered, this,
          &GalleryWindow::Undo);
  connect(AddAction(this, tr("Redo"), KeySequences(GalleryKey::Redo)), &QAction::triggered, this,
          &GalleryWindow::Redo);
  connect(AddAction(this, tr("Search notes"), KeySequences(GalleryKey::Search)),
          &QAction::triggered, this, [this] {
            search_->setFocus();
            search_->selectAll();
          });
  connect(AddAction(this, tr("Open figures"), KeySequences(GalleryKey::OpenFigures)),
          &QAction::triggered, this, &GalleryWindow::ImportFiguresAs);
  // Esc closes too, in keyPressEvent: as a shortcut it would clash with the search's own.
  QList<QKeySequence> close = KeySequences(GalleryKey::Close);
  close.removeAll(QKeySequence(Qt::Key_Escape));
  connect(AddAction(this, tr("Close"), close), &QAction::triggered, this, &QWidget::close);
}

GalleryWindow::~GalleryWindow() {
  pool_.waitForDone();
}

const std::vector<JournalRow>& GalleryWindow::rows() const {
  return model_->rows();
}

void GalleryWindow::Open() {
  for (QObject* quiet : std::initializer_list<QObject*>{period_, search_})
    quiet->blockSignals(true);
  period_->setCurrentIndex(0);
  search_->clear();
  for (QObject* quiet : std::initializer_list<QObject*>{period_, search_})
    quiet->blockSignals(false);
  end_.reset();
  GalleryQuery query;
  query.favouritesOnly = settings::GalleryFavourites(true);
  query.order = orders_[query.favouritesOnly ? 1 : 0];
  model_->Load(query, 2 * Screenful(), query.favouritesOnly);
}

void GalleryWindow::ReadSettings() {
  for (const bool favourites : {false, true}) {
    GalleryQuery::Order& order = orders_[favourites ? 1 : 0];
    const int kept = settings::GalleryOrder(favourites, static_cast<int>(order));
    if (kept == static_cast<int>(GalleryQuery::Order::Shown) ||
        kept == static_cast<int>(GalleryQuery::Order::Marked)) {
      order = static_cast<GalleryQuery::Order>(kept);
    }
  }
}

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

void GalleryWindow::keyPressEvent(QKeyEvent* event) {
  // Reaches here when no control took it: not the search's clearing, nor a note's writing.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
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

void GalleryWindow::Select(const std::vector<int>& rows) {
  QItemSelectionModel* selection = view_->selectionModel();
  selection->clearSelection();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    selection->setCurrentIndex(model_->index(rows[i]), i == 0 ? QItemSelectionModel::ClearAndSelect
                                                              : QItemSelectionModel::Select);
  }
  if (!rows.empty()) view_->scrollTo(model_->index(rows.front()));
}

int GalleryWindow::selectedRow() const {
  const QModelIndex at = view_->currentIndex();
  return at.isValid() && view_->selectionModel()->isSelected(at) ? at.row() : -1;
}

std::vector<int> GalleryWindow::selectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& at : view_->selectionModel()->selectedIndexes()) rows.push_back(at.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void GalleryWindow::ShowSelected() {
  const int row = selectedRow();
  if (row >= 0) show_(model_->row(row).figure);
}

void GalleryWindow::ToggleFavouriteSelected() {
  std::vector<JournalRow> rows;
  bool all = true;
  for (int at : selectedRows()) {
    rows.push_back(model_->row(at));
    all = all && rows.back().favourite;
  }
  if (rows.empty()) return;
  Done({{}, rows, false, !all, {}});
  model_->Mark(rows, !all);
}

void GalleryWindow::RemoveSelected() {
  const std::vector<int> places = selectedRows();
  if (places.empty()) return;
  Change change;
  change.removal = model_->Remove(places);
  Done(std::move(change));
  // The figure that took the first one's place, alone.
  if (model_->rowCount() > 0) Select({std::min(places.front(), model_->rowCount() - 1)});
  ReadAhead();
}

void GalleryWindow::Done(Change change) {
  undo_.push_back(std::move(change));
  redo_.clear();
}

void GalleryWindow::Undo() {
  if (undo_.empty()) return;
  Change change = std::move(undo_.back());
  undo_.pop_back();
  if (!change.removal.rows.empty()) {
    const std::vector<int> places = model_->Restore(change.removal);
    if (places.empty()) {
      Reload();  // read again since: they come back where the journal puts them
    } else {
      Select(places);
    }
  } else {
    for (const JournalRow& row : change.before) {
      if (change.note) {
        model_->SetNote(row, row.note);
      } else {
        model_->Mark({row}, row.favourite, true);
      }
    }
  }
  redo_.push_back(std::move(change));
}

GalleryModel::Removal GalleryWindow::RemoveAgain(const GalleryModel::Removal& removal) {
  // Undone in place, the rows are in the list again, maybe moved by other changes since.
  std::unordered_map<std::int64_t, int> placeOf;
  for (int i = 0; i < model_->rowCount(); ++i) placeOf.emplace(model_->row(i).id, i);
  std::vector<int> places;
  for (const JournalRow& row : removal.rows) {
    if (const auto at = placeOf.find(row.id); at != placeOf.end()) places.push_back(at->second);
  }
  if (places.size() == removal.rows.size()) {
    GalleryModel::Removal again = model_->Remove(places);
    if (model_->rowCount() > 0) {
      Select({std::min(*std::min_element(places.begin(), places.end()), model_->rowCount() - 1)});
    }
    ReadAhead();
    return again;
  }
  // The list was read again since: out of the journal's gallery, then read once more.
  GalleryModel::Removal again = removal;
  again.removal = journal_.Remove(removal.rows);
  again.generation = -1;  // never the list's: Undo puts them back by reading it again
  Reload();
  return again;
}

void GalleryWindow::Redo() {
  if (redo_.empty()) return;
  Change change = std::move(redo_.back());
  redo_.pop_back();
  if (!change.removal.rows.empty()) {
    change.removal = RemoveAgain(change.removal);
  } else if (change.note) {
    for (const JournalRow& row : change.before) model_->SetNote(row, change.noteAfter);
  } else {
    model_->Mark(change.before, change.on);
  }
  undo_.push_back(std::move(change));
}

void GalleryWindow::EditNote() {
  const QModelIndex at = view_->currentIndex();
  if (!at.isValid()) return;
  view_->edit(at);
}

void GalleryWindow::FillContextMenu(QMenu& menu) {
  const std::vector<int> selected = selectedRows();
  bool all = !selected.empty();
  for (int at : selected) all = all && model_->row(at).favourite;
  favourite_->setChecked(all);
  for (QAction* action : {open_, favourite_, note_, savePicture_, remove_}) {
    action->setEnabled(!selected.empty());
  }
  menu.addActions({open_, favourite_, note_});
  menu.addSeparator();
  menu.addActions({savePicture_, saveFigures_});
  menu.addSeparator();
  menu.addAction(remove_);
}

bool GalleryWindow::SavePicture(const QString& path, QString& error) {
  const int row = selectedRow();
  if (row < 0) {
    error = tr("Select a figure first.");
    return false;
  }
  if (!WritePicture(files_, model_->row(row).figure, path, error)) {
    error = Sentence(error);
    return false;
  }
  // The next picture, here or in the main window, is proposed in the same folder.
  settings::SetLastFolder(QFileInfo(path).absolutePath());
  return true;
}

void GalleryWindow::SavePictureAs() {
  const int row = selectedRow();
  if (row < 0) return;
  const FigureRecord figure = model_->row(row).figure;
  AskAndSavePicture(this, QString::fromStdString(FigureName(figure)),
                    // The figure chosen, whatever the selection became while asking.
                    [this, figure](const QString& path, QString& error) {
                      return WritePicture(files_, figure, path, error);
                    });
}

void GalleryWindow::Beside(std::function<QString()> work,
                           std::function<void(const QString&)> then) {
  ++busy_;
  pool_.start([this, work = std::move(work), then = std::move(then)] {
    const QString result = work();
    QMetaObject::invokeMethod(
        this,
        [this, then, result] {
          --busy_;
          then(result);
        },
        Qt::QueuedConnection);
  });
}

void GalleryWindow::SaveFigures(const QString& path) {
  std::vector<JournalRow> rows;
  for (int at : selectedRows()) rows.push_back(model_->row(at));
  Beside(
      [this, rows, path]() mutable {
        if (rows.empty()) {
          GalleryQuery favourites;
          favourites.favouritesOnly = true;
          favourites.order = GalleryQuery::Order::Marked;
          GalleryCursor cursor;
          while (!cursor.end) {
            const std::vector<JournalRow> page = journal_.Page(favourites, cursor, 1000);
            rows.insert(rows.end(), page.begin(), page.end());
          }
        }
        std::vector<TravellingFigure> figures;
        for (const JournalRow& row : rows) {
          figures.push_back({row.figure, row.favourite, row.shownAt, row.note});
        }
        std::string error;
        if (!WriteFiguresFile(path.toStdString(), figures, error)) {
          return tr("The figures were not saved to %1: %2.").arg(Quote(path), Reason(error));
        }
        return tr("Saved %n figure(s) to %1.", nullptr, static_cast<int>(figures.size()))
            .arg(Quote(path));
      },
      [this](const QString& text) { Tell(text); });
}

void GalleryWindow::SaveFiguresAs() {
  const QString name = QStringLiteral("figures-%1.json")
                           .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
  const QString path = QFileDialog::getSaveFileName(
      this, tr("Save figures"), QDir(FolderFor(QStandardPaths::DocumentsLocation)).filePath(name),
      tr("Figures (*.json)"));
  if (!path.isEmpty()) SaveFigures(path);
}

void GalleryWindow::ImportFigures(const QString& path) {
  Beside(
      [this, path] {
        std::string error;
        const auto figures = ReadFiguresFile(path.toStdString(), error);
        if (!figures) {
          return tr("%1 was not opened: %2. Nothing was added.")
              .arg(Quote(path), Reason(EscapeText(error)));
        }
        const ImportResult result = journal_.Import(*figures);
        if (!result.ok) {
          return tr("The figures of %1 were not added: %2.")
              .arg(Quote(path), Reason(EscapeText(result.error)));
        }
        QString text = tr("Added %n figure(s) from %1.", nullptr, static_cast<int>(result.added))
                           .arg(Quote(path));
        if (result.known > 0) {
          text += QLatin1Char(' ') +
                  tr("%n of them were kept already.", nullptr, static_cast<int>(result.known));
        }
        return text;
      },
      [this](const QString& text) {
        Tell(text);
        Reload();
      });
}

void GalleryWindow::ImportFiguresAs() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Open figures"),
                                                    FolderFor(QStandardPaths::DocumentsLocation),
                                                    tr("Figures (*.json)"));
  if (!path.isEmpty()) ImportFigures(path);
}

void GalleryWindow::Tell(const QString& text) {
  told_ << text;
  status_->setText(text);
  status_->show();
}

bool GalleryWindow::ChooseMorph(FigureRecord& from, FigureRecord& to, QString& error) const {
  const QModelIndex last = view_->currentIndex();
  QModelIndexList selected = view_->selectionModel()->selectedIndexes();
  selected.removeAll(last);
  if (!last.isValid() || selected.size() != 1) {
    error =
        tr("Select two figures: the morph goes from the one selected first to the one "
           "selected last.");
    return false;
  }
  from = model_->row(selected.front().row()).figure;
  to = model_->row(last.row()).figure;
  return true;
}

bool GalleryWindow::StartMorph(ExportRequest request, QString& error) {
  return saveMorph_->Start(std::move(request), error);
}

bool GalleryWindow::exporting() const {
  return saveMorph_->writing();
}

bool GalleryWindow::ScreenTraced() const {
  const QRect area = view_->viewport()->rect();
  for (int i = 0; i < model_->rowCount(); ++i) {
    const QRect cell = view_->visualRect(model_->index(i));
    if (cell.top() > area.bottom()) break;
    if (cell.intersects(area) && !thumbnails_.Has(model_->row(i).figure)) return false;
  }
  return true;
}

}  // namespace stringart
