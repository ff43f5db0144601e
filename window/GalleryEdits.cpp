// The gallery's edits: marks, notes and removals with their undo and redo, and the pictures and
// figures files it saves and opens.
#include "window/GalleryWindow.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListView>
#include <QStandardPaths>
#include <algorithm>
#include <unordered_map>

#include "canvas/Picture1.h"
#include "export/FigureFiles.h"
#include "figure/FigureHistory.h"
#include "figure/Tracer.h"
#include "journal/FiguresFile.h"
#include "text/Quote.h"
#include "window/ExportNote.h"
#include "window/Messages.h"
#include "window/PictureChoice.h"
#include "window/Settings.h"

namespace stringart {
namespace {

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

}  // namespace stringart
