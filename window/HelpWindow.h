#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace stringart {

// "Keys and options": every key of the window, from the same table as stringart --help, those of
// the gallery, and the command line's options, in one page that scrolls. Escape or Close puts it
// away.
class HelpWindow final : public QDialog {
  Q_OBJECT

 public:
  // `options` is the command line's help as the program writes it (plain text, its columns
  // lined up), or empty where there is none to tell.
  HelpWindow(const QString& options, QWidget* parent);

  QTextBrowser* page() const { return page_; }

 private:
  QTextBrowser* page_;
};

}  // namespace stringart
