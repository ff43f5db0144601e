#include "window/Messages.h"

namespace stringart {

QString Sentence(const QString& line) {
  QString text = line.trimmed();
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

}  // namespace stringart
