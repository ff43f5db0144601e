#include "window/Messages.h"

#include <QMessageBox>

#include <QDialog>
#include <QEvent>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "text/Reasons.h"
#include "window/Translations.h"

namespace stringart {

QString Reason(const std::string& reason) {
  const std::string point = QLocale().decimalPoint().toStdString();
  return QString::fromStdString(InLanguage(reason, ApplicationTranslate(), point));
}

QString Sentence(const QString& line) {
  QString text = Reason(line.trimmed().toStdString());
  if (text.isEmpty()) return text;
  text[0] = text[0].toUpper();
  if (!text.endsWith('.') && !text.endsWith('?') && !text.endsWith('!')) text += '.';
  // A message box wraps lines at hyphens; a non-breaking one keeps the program's name whole.
  text.replace(QStringLiteral("stringart-render"), QStringLiteral("stringart\u2011render"));
  return text;
}

QString Sentence(const std::string& line) {
  return Sentence(QString::fromStdString(line));
}

QString Listed(const QStringList& lines) {
  if (lines.size() <= kListedLines) return lines.join('\n');
  return lines.mid(0, kListedLines).join('\n') + '\n' +
         QObject::tr("and %n more", nullptr, static_cast<int>(lines.size() - kListedLines));
}

namespace {

// Opens its dialog at the first expose of the window it watches, then goes.
class OpenAtExpose final : public QObject {
 public:
  OpenAtExpose(QDialog* dialog, QWindow* window) : QObject(window), dialog_(dialog) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
      // After the expose has been handled, when the window's place is known.
      if (dialog_) QTimer::singleShot(0, dialog_.data(), &QDialog::open);
      deleteLater();
    }
    return false;
  }

 private:
  QPointer<QDialog> dialog_;
};

}  // namespace

void OpenOverWindow(QDialog* dialog, QWidget* window) {
  QWindow* handle = window->windowHandle();
  if (handle != nullptr && window->isVisible() && handle->isExposed()) {
    dialog->open();
  } else if (handle != nullptr && window->isVisible()) {
    new OpenAtExpose(dialog, handle);
  } else {
    dialog->open();  // no window on the screen to wait for
  }
}

void Warn(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace stringart
