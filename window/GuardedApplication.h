#pragma once

#include <QApplication>
#include <QString>

namespace stringart {

// The program's QApplication. A failure that escapes an event handler is caught here rather
// than left to end the process without a word: it is written to standard error and the event
// loop is ended with a failure status, so that main can show it and exit non-zero.
class GuardedApplication final : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Writes "stringart: failed: <what>" to standard error and keeps the first failure.
  void ReportFailure(const QString& what);
  // The first failure reported, empty if none.
  const QString& failure() const { return failure_; }

 private:
  QString failure_;
};

}  // namespace stringart
