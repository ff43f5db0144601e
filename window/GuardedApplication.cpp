#include "window/GuardedApplication.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace stringart {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportFailure(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    ReportFailure(QStringLiteral("unknown exception"));
  }
  // The handler was left half done; nothing after it can be trusted to go on.
  exit(EXIT_FAILURE);
  return false;
}

void GuardedApplication::ReportFailure(const QString& what) {
  std::fprintf(stderr, "stringart: failed: %s\n", what.toLocal8Bit().constData());
  std::fflush(stderr);
  if (failure_.isEmpty()) failure_ = what.isEmpty() ? QStringLiteral("unknown failure") : what;
}

}  // namespace stringart
