#pragma once

#include <functional>

namespace stringart {

// How a long export ended: the file is in place, or nothing was left behind.
enum class ExportResult { Written, Failed, Cancelled };

// Told the fraction of an export done, 0 to 1; returning false cancels it.
using ExportProgress = std::function<bool(double done)>;

}  // namespace stringart
