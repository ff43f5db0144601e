#include "app/QuitOnSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace stringart {
namespace {

int pipeEnds[2] = {-1, -1};

void Heard(int signal) {
  const unsigned char number = static_cast<unsigned char>(signal);
  // A full pipe already holds a signal to end on.
  [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &number, 1);
}

}  // namespace

QuitOnSignals::QuitOnSignals(QObject* parent) : QObject(parent) {
  if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;  // without it, the default: to die
  notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    unsigned char number = 0;
    if (read(pipeEnds[0], &number, 1) != 1 || signal_ != 0) return;
    signal_ = number;
    QCoreApplication::exit(128 + signal_);
  });
  struct sigaction action {};
  action.sa_handler = Heard;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

QuitOnSignals::~QuitOnSignals() {
  for (int signal : {SIGTERM, SIGHUP}) std::signal(signal, SIG_DFL);
  delete notifier_;
  for (int& end : pipeEnds) {
    if (end >= 0) close(end);
    end = -1;
  }
}

}  // namespace stringart
