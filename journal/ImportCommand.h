#pragma once

#include <iosfwd>
#include <string>

#include "text/Translatable.h"

namespace stringart {

// `stringart --import FILE`: adds the figures of `file` to the journal at `journalPath` and
// prints one line on `out` saying how many were added; 0. A file that does not read: one line
// on `err`, nothing added, 2. A journal that cannot take them: one line on `err`, 1. Each line in
// the person's language by `translate`.
int ImportFiguresCommand(const std::string& file, const std::string& journalPath, std::ostream& out,
                         std::ostream& err, const Translate& translate = {});

}  // namespace stringart
