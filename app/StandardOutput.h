#pragma once

#include <string_view>

namespace stringart {

// Flushes standard output and says whether all that was written to it got there. When it did
// not (a full disk, a closed pipe), tells so on standard error in one line naming `program`,
// so that no program reports success for output that was lost.
bool StandardOutputWritten(const char* program);
// Writes `text` to standard output, keeping the reason of the first write that fails: output
// larger than the stream's buffer fails before the last flush, which no longer knows why.
void WriteStandardOutput(std::string_view text);

}  // namespace stringart
