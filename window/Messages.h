#pragma once

#include <QString>
#include <string>

namespace stringart {

// `line`, a reason as the lower layers word it ("cannot save 'x': ..."), as a sentence for a
// message box: a capital first letter and a full stop, and the renderer's name kept on one line.
QString Sentence(const QString& line);
QString Sentence(const std::string& line);

}  // namespace stringart
