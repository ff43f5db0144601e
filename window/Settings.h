#pragma once

#include <QPoint>
#include <QString>
#include <optional>

#include "options/Paper.h"

namespace stringart {

// What the program remembers from one run to the next, in QSettings' file for it
// (~/.config/stringart/stringart.conf): where the window was, the folder last saved to, the
// variations' strength, and the gallery's tab and order. Each value falls back to the one given
// when none is kept, or when the one kept does not read.
namespace settings {

// The file they are kept in.
QString FileName();

// The folder a file was last saved to, or empty.
QString LastFolder();
void SetLastFolder(const QString& folder);

// Where the window's top-left corner was, in the desktop's coordinates.
std::optional<QPoint> WindowPlace();
void SetWindowPlace(QPoint place);

double VariationStrength(double fallback);
void SetVariationStrength(double strength);

// The gallery's tab (favourites or all) and each tab's order (by the time shown or marked).
bool GalleryFavourites(bool fallback);
void SetGalleryFavourites(bool favourites);
int GalleryOrder(bool favourites, int fallback);
void SetGalleryOrder(bool favourites, int order);

// "Save for paper": the kind of file (the dialog's list, from 0), the sheet, its orientation and
// margin, the pens' count and width, a print's dots per inch and ground. The pens' own colours
// belong to one figure and are not kept.
int PaperKind(int fallback);
PaperSettings PaperChoices(const PaperSettings& fallback);
void SetPaperChoices(int kind, const PaperSettings& chosen);

}  // namespace settings
}  // namespace stringart
