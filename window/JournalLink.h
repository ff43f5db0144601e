#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <string>

#include "journal/Journal.h"
#include "window/ThumbnailCache.h"

class QAction;

namespace stringart {

class FigureStage;
class GalleryWindow;

// What ties the window to the journal: the "Favourite" and "Figures…" actions, the gallery,
// the notices the journal gives (each told once), and the canvas's wait before it paints a
// figure until the journal holds it, so that no figure that was on the screen is lost.
class JournalLink final : public QObject {
  Q_OBJECT

 public:
  // Opens the journal at `path` for the main window behind `stage`, whose canvas it watches.
  JournalLink(FigureStage& stage, const std::string& path);
  // Closes the gallery, then writes what is queued and closes the journal.
  ~JournalLink() override;

  Journal& journal() { return *journal_; }
  QAction* favourite() const { return favourite_; }
  QAction* gallery() const { return galleryAction_; }
  // The gallery window, once opened.
  GalleryWindow* galleryWindow() const;
  // What the window has told about the journal, in order.
  const QStringList& told() const { return told_; }

  // Opens the gallery, or brings it forward reloaded.
  void OpenGallery();
  // Marks or unmarks the figure on the canvas.
  void ToggleFavourite();
  // Brings the favourite mark up to date with the figure on the canvas.
  void UpdateFavourite();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Tell(const JournalNews& news);
  // What the window says of `news`, in the person's language.
  static QString Words(const JournalNews& news);

  FigureStage& stage_;
  QAction* favourite_;
  QAction* galleryAction_;
  QStringList told_;
  ThumbnailCache thumbnails_;
  QPointer<GalleryWindow> gallery_;
  std::unique_ptr<Journal> journal_;
};

}  // namespace stringart
