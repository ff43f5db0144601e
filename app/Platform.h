#pragma once

#include <memory>
#include <optional>
#include <string>

namespace stringart {

// The platform the window opens on, chosen before Qt, which aborts with a long message when its
// own choice cannot start.
struct PlatformChoice {
  // Empty when the command line names one (-platform NAME), else the first of QT_QPA_PLATFORM's
  // list (without it Wayland, then X) that can start here.
  std::string name;
  // The connection that asked the X server, to be let go once Qt holds its own: an X server
  // resets when its last client leaves, and Qt's connection, made just after, would find it
  // gone.
  std::shared_ptr<void> probe;
};
// Nullopt, with one line on standard error that names the way out, when no display can be used.
std::optional<PlatformChoice> ChoosePlatform(int argc, char** argv);

}  // namespace stringart
