// Reading and writing whole through signals and short transfers.
#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <string>
#include <thread>

#include "runtime/Interrupted.h"

namespace stringart {
namespace {

// Waits until thread `tid` of this process sleeps in the kernel, as its /proc stat says: the
// read it makes has blocked.
void AwaitBlocked(pid_t tid) {
  const std::string path = "/proc/self/task/" + std::to_string(tid) + "/stat";
  for (;;) {
    std::ifstream stat(path);
    std::string line;
    std::getline(stat, line);
    const std::size_t name = line.rfind(')');  // the state follows the command's name
    if (name != std::string::npos && name + 2 < line.size() && line[name + 2] == 'S') return;
    std::this_thread::yield();
  }
}

TEST(ReadAll, GathersPiecesThroughASignalAndStopsAtTheEnd) {
  // A handler without SA_RESTART, so that the signal interrupts the blocked read with EINTR.
  struct sigaction quiet = {}, before = {};
  quiet.sa_handler = [](int) {};
  ASSERT_EQ(sigaction(SIGUSR1, &quiet, &before), 0);
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  const pthread_t reader = pthread_self();
  const pid_t readerId = gettid();
  std::thread writer([&] {
    std::string error;
    EXPECT_TRUE(WriteAll(pipe_fds[1], "abc", 3, error));
    AwaitBlocked(readerId);
    pthread_kill(reader, SIGUSR1);
    AwaitBlocked(readerId);
    EXPECT_TRUE(WriteAll(pipe_fds[1], "defg", 4, error));
    close(pipe_fds[1]);
  });
  char got[16] = {};
  EXPECT_EQ(ReadAll(pipe_fds[0], got, sizeof got), 7);
  writer.join();
  EXPECT_EQ(std::string(got), "abcdefg");
  close(pipe_fds[0]);
  sigaction(SIGUSR1, &before, nullptr);
}

}  // namespace
}  // namespace stringart
