// Reading and writing whole through signals and short transfers.
#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include "runtime/Interrupted.h"

namespace stringart {
namespace {

TEST(ReadAll, GathersPiecesThroughASignalAndStopsAtTheEnd) {
  // A handler without SA_RESTART, so that the signal interrupts the blocked read with EINTR.
  struct sigaction quiet = {}, before = {};
  quiet.sa_handler = [](int) {};
  ASSERT_EQ(sigaction(SIGUSR1, &quiet, &before), 0);
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  const pthread_t reader = pthread_self();
  std::thread writer([&] {
    std::string error;
    EXPECT_TRUE(WriteAll(pipe_fds[1], "abc", 3, error));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pthread_kill(reader, SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
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
