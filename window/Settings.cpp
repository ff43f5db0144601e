#include "window/Settings.h"

#include <QSettings>

namespace stringart::settings {
namespace {

// The program's own file, whatever the application object is called in tests.
class Store : public QSettings {
 public:
  Store() : QSettings(QStringLiteral("stringart"), QStringLiteral("stringart")) {}
};

const QString kLastFolder = QStringLiteral("files/lastFolder");
const QString kWindowPlace = QStringLiteral("window/place");
const QString kStrength = QStringLiteral("variations/strength");
const QString kFavourites = QStringLiteral("gallery/favourites");
QString OrderKey(bool favourites) {
  return favourites ? QStringLiteral("gallery/favouritesOrder") : QStringLiteral("gallery/order");
}

}  // namespace

QString FileName() {
  return Store().fileName();
}

QString LastFolder() {
  return Store().value(kLastFolder).toString();
}

void SetLastFolder(const QString& folder) {
  Store().setValue(kLastFolder, folder);
}

std::optional<QPoint> WindowPlace() {
  const QVariant place = Store().value(kWindowPlace);
  if (!place.canConvert<QPoint>()) return std::nullopt;
  return place.toPoint();
}

void SetWindowPlace(QPoint place) {
  Store().setValue(kWindowPlace, place);
}

double VariationStrength(double fallback) {
  bool read = false;
  const double strength = Store().value(kStrength).toDouble(&read);
  return read ? strength : fallback;
}

void SetVariationStrength(double strength) {
  Store().setValue(kStrength, strength);
}

bool GalleryFavourites(bool fallback) {
  return Store().value(kFavourites, fallback).toBool();
}

void SetGalleryFavourites(bool favourites) {
  Store().setValue(kFavourites, favourites);
}

int GalleryOrder(bool favourites, int fallback) {
  bool read = false;
  const int order = Store().value(OrderKey(favourites)).toInt(&read);
  return read ? order : fallback;
}

void SetGalleryOrder(bool favourites, int order) {
  Store().setValue(OrderKey(favourites), order);
}

}  // namespace stringart::settings
