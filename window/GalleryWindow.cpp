#include "window/GalleryWindow.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "export/FigureFiles.h"
#include "figure/Tracer.h"
#include "window/ExportNote.h"
#include "window/KeyActions.h"
#include "window/KeySequences.h"
#include "window/Messages.h"
#include "window/MorphButton.h"
#include "window/PictureChoice.h"
#include "window/Settings.h"
#include "window/ThumbnailCache.h"

namespace stringart {

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

void GalleryWindow::keyPressEvent(QKeyEvent* event) {
  // Reaches here when no control took it: not the search's clearing, nor a note's writing.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
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
