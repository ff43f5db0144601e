#pragma once

#include <QFrame>
#include <QString>

class QLabel;
class QPushButton;

namespace stringart {

// A note across the top of the window saying where a finished export went, with a button that
// opens its folder in the file manager. It waits without blocking anything until it is closed
// or the next export replaces it.
class ExportNote final : public QFrame {
  Q_OBJECT

 public:
  explicit ExportNote(QWidget* window);

  // Tells that `path` has been written, and shows the note.
  void ShowWritten(const QString& path);
  // Shows `said`, in which %1 is the file's name and %2 its folder, for the file at `path`.
  void ShowFile(const QString& said, const QString& path);

  QString text() const;
  QString folder() const { return folder_; }
  QPushButton* openFolderButton() const { return openFolder_; }
  QPushButton* closeButton() const { return close_; }

 private:
  // Opens the folder in the file manager, or says where the file is when none answers.
  void OpenFolder();

  QLabel* label_;
  QPushButton *openFolder_, *close_;
  QString folder_, path_;
};

}  // namespace stringart
