#pragma once

#include <string>

namespace stringart {

// Whether a Wayland compositor takes connections on the socket that WAYLAND_DISPLAY names (a
// path, or a name in XDG_RUNTIME_DIR), asked before Qt would try it. `socket` is set to the
// socket's path, or to what is missing to find it.
bool WaylandAnswers(std::string& socket);

}  // namespace stringart
