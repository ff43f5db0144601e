#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace stringart {

// Whether a program called `name` is on the PATH and may be run.
bool ProgramInstalled(std::string_view name);

// Runs `argv` (argv[0] found on the PATH), its standard input empty and its output discarded,
// and waits for it. True when it ends with status 0; else false with `error` set to one line: the
// program's first line of complaint on standard error, its status, or why it did not start.
bool RunProgram(const std::vector<std::string>& argv, std::string& error);

}  // namespace stringart
