#pragma once

#include <QString>
#include <functional>

class QDialog;
class QFileInfo;
class QFormLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace stringart {

// The parts every dialog that saves a file shares: the file's row with its Browse button, the
// line that says what is wrong, and the checks made before the work rather than after it.

// Adds the row "File name:" holding `path`, wide enough to show it, and a Browse button that
// calls `browse`; returns the row's line edit.
QLineEdit* AddFileRow(QFormLayout& form, const QString& path, const std::function<void()>& browse);

// A line of plain text in red under a dialog's form, hidden until something is wrong.
QLabel* NewProblemLabel();

// Why `file` cannot be written (a folder, no folder, a folder that cannot be written to), as a
// sentence quoting the names; empty when it can be.
QString WriteRefusal(const QFileInfo& file);

// Whether to go on writing `file`: when it exists, asks over `dialog` whether to replace it.
bool MayReplace(QDialog& dialog, const QFileInfo& file);
// The same over any window, the question titled `title`.
bool MayReplace(QWidget& parent, const QString& title, const QFileInfo& file);

}  // namespace stringart
