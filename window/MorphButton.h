#pragma once

#include <QPushButton>
#include <functional>

#include "export/FigureFiles.h"
#include "figure/FigureRecord.h"
#include "options/ExportRequest.h"

namespace stringart {

class ExportNote;
class ExportRunner;

// "Save morph…" (Ctrl+M) of a window that has figures to morph between (Variations, the
// gallery): asks where, proposing figure-<a>-to-<b>.mp4 in the folder last saved to, then writes
// the morph between the figures the window has chosen off its thread, with a progress dialog,
// the button disabled meanwhile. A morph written is told in a note the window places; one that
// fails, in a message over the window.
class MorphButton final : public QPushButton {
  Q_OBJECT

 public:
  // Gives the figures a morph goes from and to, from what the window has selected; false with
  // `error` set when the selection makes no morph.
  using Choose = std::function<bool(FigureRecord& from, FigureRecord& to, QString& error)>;

  // Writes through `files`, which must outlive the button; a child of the window `owner`.
  MorphButton(FigureFiles& files, Choose choose, const QString& toolTip, QWidget* owner);

  // Starts writing the morph of the chosen figures into the file, size, length and rate of
  // `request`; false with `error` set when it cannot start.
  bool Start(ExportRequest request, QString& error);
  // Whether a morph is being written.
  bool writing() const;
  // The note that tells where the last morph went, for the window to place.
  ExportNote* note() const { return note_; }

 private:
  // Asks where, then starts a morph of the animations' default size, length and rate.
  void AskAndStart();

  FigureFiles& files_;
  Choose choose_;
  ExportRunner* exports_;
  ExportNote* note_;
  QString path_;  // of the morph being written
};

}  // namespace stringart
