#pragma once

#include <QString>
#include <QStringList>
#include <string>

class QDialog;
class QWidget;

namespace stringart {

// `reason`, as the lower layers word it in English ("cannot save 'x': ..."), in the person's
// language by the application's translators, its decimal numbers with the locale's point.
QString Reason(const std::string& reason);

// `line`, a reason as the lower layers word it, in the person's language and as a sentence for a
// message box: a capital first letter and a full stop, and the renderer's name kept on one line.
QString Sentence(const QString& line);
QString Sentence(const std::string& line);

// The most lines a message lists; more are counted.
inline constexpr int kListedLines = 20;
// `lines`, a line each, the first kListedLines of them and "and N more", so that a message about
// many files stays on the screen.
QString Listed(const QStringList& lines);

// Tells of a problem and waits for the answer: a warning titled `title`, its text shown as the
// plain text it is (it quotes names and what files carry), never as markup.
void Warn(QWidget* parent, const QString& title, const QString& text);

// Opens `dialog` (window-modal, not waiting) over `window` once `window` is on the screen: a
// window manager places a new window only as it maps it, and a dialog opened before that would be
// centred on where the window was not.
void OpenOverWindow(QDialog* dialog, QWidget* window);

}  // namespace stringart
