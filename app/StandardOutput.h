#pragma once

namespace stringart {

// Flushes standard output and says whether all that was written to it got there. When it did
// not (a full disk, a closed pipe), tells so on standard error in one line naming `program`,
// so that no program reports success for output that was lost.
bool StandardOutputWritten(const char* program);

}  // namespace stringart
