#include "window/JournalLink.h"

#include <QAction>
#include <QEvent>
#include <QMessageBox>
#include <chrono>
#include <cstdio>

#include "text/Quote.h"
#include "window/FigureStage.h"
#include "window/GalleryWindow.h"
#include "window/KeyActions.h"
#include "window/KeySequences.h"
#include "window/Messages.h"

namespace stringart {

JournalLink::JournalLink(FigureStage& stage, const std::string& path)
    : QObject(stage.window()),
      stage_(stage),
      // Added to the window, so that their keys work anywhere in it.
      favourite_(AddAction(stage.window(), tr("Favour&ite"), KeySequences(WindowKey::Favourite))),
      galleryAction_(
          AddAction(stage.window(), tr("Figu&res\u2026"), KeySequences(WindowKey::Gallery))) {
  favourite_->setCheckable(true);
  connect(favourite_, &QAction::triggered, this, &JournalLink::ToggleFavourite);
  connect(galleryAction_, &QAction::triggered, this, &JournalLink::OpenGallery);
  journal_ = std::make_unique<Journal>(path, [this](const JournalNews& news) {
    // From the journal's thread; told on the window's.
    QMetaObject::invokeMethod(
        this, [this, news] { Tell(news); }, Qt::QueuedConnection);
  });
  stage.canvas()->installEventFilter(this);
}

JournalLink::~JournalLink() {
  delete gallery_.data();
  journal_.reset();  // before this object is gone: the journal's thread may still tell
}

GalleryWindow* JournalLink::galleryWindow() const {
  return gallery_.data();
}

bool JournalLink::eventFilter(QObject*, QEvent* event) {
  // The figure about to be painted was queued for the journal when it was traced, and is
  // normally written long before this; waiting here, briefly, makes sure that a figure on the
  // screen is on the disk too. A disk that hangs costs a frame, not the window.
  if (event->type() == QEvent::Paint) journal_->AwaitKept(std::chrono::milliseconds(100));
  return false;
}

QString JournalLink::Words(const JournalNews& news) {
  const auto quoted = [](const std::string& text) { return QString::fromStdString(Quoted(text)); };
  switch (news.notice) {
    case JournalNotice::Damaged:
      return tr("The journal of figures could not be read. It was set aside as %1, and a fresh "
                "one has begun.")
          .arg(quoted(news.aside));
    case JournalNotice::Foreign:
      return tr("%1 holds another program's data, not figures. It was set aside as %2, and a "
                "fresh journal of figures has begun.")
          .arg(quoted(news.path), quoted(news.aside));
    case JournalNotice::NotKept: break;
  }
  if (news.path.empty()) {
    return tr(
        "Figures are not being kept: neither XDG_DATA_HOME nor HOME names a folder for "
        "them.");
  }
  if (news.newer) {
    return tr("Figures are not being kept: %1 was written by a newer stringart; it is left as it "
              "is.")
        .arg(quoted(news.path));
  }
  return tr("Figures are not being kept: %1 cannot be written (%2).")
      .arg(quoted(news.path), Reason(EscapeText(news.reason)));
}

void JournalLink::Tell(const JournalNews& news) {
  const QString text = Words(news);
  told_ << text;
  std::fprintf(stderr, "stringart: %s\n", qPrintable(text));
  if (!stage_.window()->isVisible()) return;
  auto* box = new QMessageBox(QMessageBox::Information, tr("Keeping figures"), text,
                              QMessageBox::Ok, stage_.window());
  box->setTextFormat(Qt::PlainText);  // it names a file
  box->setAttribute(Qt::WA_DeleteOnClose);
  OpenOverWindow(box, stage_.window());  // told at start-up, maybe before the window is placed
}

void JournalLink::OpenGallery() {
  if (gallery_ == nullptr) {
    gallery_ = new GalleryWindow(
        *journal_, thumbnails_, stage_.files(),
        [this](const FigureRecord& figure) { stage_.Open(figure, FigureOrigin::Gallery); },
        stage_.window());  // a window of its own that closes with the main one
    gallery_->setAttribute(Qt::WA_DeleteOnClose);
    connect(gallery_, &GalleryWindow::MarksChanged, this, &JournalLink::UpdateFavourite);
  }
  gallery_->Open();
  gallery_->show();
  gallery_->raise();
  gallery_->activateWindow();
}

void JournalLink::ToggleFavourite() {
  if (!stage_.hasFigure()) return;
  const FigureRecord& figure = stage_.figure();
  journal_->SetFavourite(figure, !journal_->IsFavourite(figure));
  UpdateFavourite();
  if (gallery_ != nullptr && gallery_->isVisible()) gallery_->Reload();
}

void JournalLink::UpdateFavourite() {
  const bool any = stage_.hasFigure();
  favourite_->setEnabled(any);
  favourite_->setChecked(any && journal_->IsFavourite(stage_.figure()));
}

}  // namespace stringart
