#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace stringart {

// Writes a picture to the path given, or says why not in `error`.
using SavePicture = std::function<bool(const QString& path, QString& error)>;

// "Save picture" as every window asks it: proposes figure-<name>.png in the folder last saved to
// (else Pictures, else home), PNG or SVG; a bare name takes the chosen type's extension, and a
// file that name then meets is replaced only when the person says so; a name `save` refuses is
// told and asked for again, starting from it. The folder of a saved picture is remembered.
// `name` is the figure's twelve hex digits. False when the person gave up.
bool AskAndSavePicture(QWidget* parent, const QString& name, const SavePicture& save);

}  // namespace stringart
