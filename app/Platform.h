#pragma once

#include <optional>
#include <string>

namespace stringart {

// The platform the window opens on, chosen before Qt, which aborts with a long message when its
// own choice cannot start: empty when the command line names one (-platform NAME), else the
// first of QT_QPA_PLATFORM's list (without it Wayland, then X) that can start here. Nullopt, with
// one line on standard error that names the way out, when no display can be used.
std::optional<std::string> ChoosePlatform(int argc, char** argv);

}  // namespace stringart
