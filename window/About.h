#pragma once

#include <QString>

class QWidget;

namespace stringart {

// Where the program keeps and puts its files, as "About stringart" tells them.
struct ProgramFiles {
  QString journal;     // the journal of figures; empty when none is kept
  QString settings;    // the settings' file
  QString wallpapers;  // where "Set as wallpaper" writes its pictures
  QString pictures;    // where pictures and files for paper are proposed
  QString clips;       // where animations are proposed
};

// The files of this run: the journal at `journal` (empty when none is kept), the rest from the
// settings and the desktop's folders.
ProgramFiles FilesOfThisRun(const QString& journal);

// The text of "About stringart": the version, the licence and `files`, as rich text with every
// name escaped.
QString AboutText(const ProgramFiles& files);

// Opens "About stringart" over `parent` and waits for it to be closed.
void ShowAbout(QWidget* parent, const ProgramFiles& files);

}  // namespace stringart
