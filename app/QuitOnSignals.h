#pragma once

#include <QObject>

class QSocketNotifier;

namespace stringart {

// Ends the window program on SIGTERM (a logout, `kill`) and SIGHUP (the terminal closed) as the
// renderer ends on them: the event loops end, then the windows and the work they run end with
// them as on closing, an export cancelled and leaving no file, and the program exits with status
// 128 + the signal's number (143, 129). The signal is heard through a pipe, since a handler may
// do next to nothing.
class QuitOnSignals final : public QObject {
  Q_OBJECT

 public:
  // One a program; from its creation on.
  explicit QuitOnSignals(QObject* parent = nullptr);
  ~QuitOnSignals() override;

  // The signal that ended the program, or 0.
  int signal() const { return signal_; }

 private:
  QSocketNotifier* notifier_ = nullptr;
  int signal_ = 0;
};

}  // namespace stringart
