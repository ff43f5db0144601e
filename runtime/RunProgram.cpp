#include "runtime/RunProgram.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "runtime/Interrupted.h"

extern char** environ;

namespace stringart {

bool ProgramInstalled(std::string_view name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr || name.empty() || name.find('/') != std::string_view::npos) return false;
  std::string_view folders(path);
  while (true) {
    const std::size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    const std::string file = std::string(folder.empty() ? "." : folder) + "/" + std::string(name);
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::access(file.c_str(), X_OK) == 0) {
      return true;
    }
    if (colon == std::string_view::npos) return false;
    folders.remove_prefix(colon + 1);
  }
}

bool RunProgram(const std::vector<std::string>& argv, std::string& error) {
  if (argv.empty()) {
    error = "no program to run";
    return false;
  }
  int complaint[2];
  if (::pipe2(complaint, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, complaint[1], 2);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(complaint[1]);
  if (spawned != 0) {
    ::close(complaint[0]);
    error = argv[0] + ": " + std::strerror(spawned);
    return false;
  }
  // Read to the end, so that a talkative program never blocks on a full pipe.
  std::string said;
  char buffer[4096];
  for (ssize_t n;
       (n = RetryInterrupted([&] { return ::read(complaint[0], buffer, sizeof buffer); })) != 0;) {
    if (n < 0) break;
    if (said.size() < 4096) said.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(complaint[0]);
  int status = 0;
  RetryInterrupted([&] { return ::waitpid(child, &status, 0); });
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  const std::string line = said.substr(0, said.find('\n'));
  if (!line.empty()) {
    error = argv[0] + ": " + line;
  } else if (WIFEXITED(status)) {
    error = argv[0] + " ended with status " + std::to_string(WEXITSTATUS(status));
  } else {
    error = argv[0] + " was ended by signal " + std::to_string(WTERMSIG(status));
  }
  return false;
}

}  // namespace stringart
