#include "app/WaylandProbe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace stringart {

bool WaylandAnswers(std::string& socket) {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string name = display != nullptr && *display != '\0' ? display : "wayland-0";
  if (name[0] == '/') {
    socket = name;
  } else if (runtime != nullptr && *runtime != '\0') {
    socket = std::string(runtime) + "/" + name;
  } else {
    socket = name + " (XDG_RUNTIME_DIR unset)";
    return false;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socket.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, socket.c_str(), socket.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answers =
      connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return answers;
}

}  // namespace stringart
