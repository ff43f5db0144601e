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

const QString kPaperKind = QStringLiteral("paper/kind");
const QString kPaperWidth = QStringLiteral("paper/width");
const QString kPaperHeight = QStringLiteral("paper/height");
const QString kLandscape = QStringLiteral("paper/landscape");
const QString kMargin = QStringLiteral("paper/margin");
const QString kPens = QStringLiteral("paper/pens");
const QString kPenWidth = QStringLiteral("paper/penWidth");
const QString kDpi = QStringLiteral("paper/dpi");
const QString kOnWhite = QStringLiteral("paper/onWhite");
const QString kPlotMinutes = QStringLiteral("paper/plotMinutes");
const QString kPaperColour = QStringLiteral("paper/colour");  // "#rrggbb", or none
const QString kOwnPens = QStringLiteral("paper/ownPens");     // "#rrggbb,...", or none

// The number kept under `key`, or `fallback` when none is kept or it does not read.
template <typename Number>
Number Read(const QSettings& store, const QString& key, Number fallback) {
  bool read = false;
  const double value = store.value(key).toDouble(&read);
  return read ? static_cast<Number>(value) : fallback;
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

int PaperKind(int fallback) {
  return Read(Store(), kPaperKind, fallback);
}

PaperSettings PaperChoices(const PaperSettings& fallback) {
  const Store store;
  PaperSettings chosen = fallback;
  chosen.paper = {Read(store, kPaperWidth, fallback.paper.width),
                  Read(store, kPaperHeight, fallback.paper.height)};
  chosen.landscape = store.value(kLandscape, fallback.landscape).toBool();
  chosen.margin = Read(store, kMargin, fallback.margin);
  chosen.pens = {Read(store, kPens, fallback.pens.count), {}};
  chosen.penWidth = Read(store, kPenWidth, fallback.penWidth);
  chosen.dpi = Read(store, kDpi, fallback.dpi);
  chosen.onWhite = store.value(kOnWhite, fallback.onWhite).toBool();
  chosen.plotMinutes = Read(store, kPlotMinutes, fallback.plotMinutes);
  // Texts as the command line writes them; one that no longer reads is as if never saved.
  chosen.paperColour = ParseColour(store.value(kPaperColour).toString().toStdString());
  std::string unused;
  if (const auto own = ParsePens(store.value(kOwnPens).toString().toStdString(), unused);
      own && own->own()) {
    chosen.pens = *own;
  }
  return chosen;
}

void SetPaperChoices(int kind, const PaperSettings& chosen) {
  Store store;
  store.setValue(kPaperKind, kind);
  store.setValue(kPaperWidth, static_cast<double>(chosen.paper.width));
  store.setValue(kPaperHeight, static_cast<double>(chosen.paper.height));
  store.setValue(kLandscape, chosen.landscape);
  store.setValue(kMargin, static_cast<double>(chosen.margin));
  store.setValue(kPens, chosen.pens.count);
  store.setValue(kPenWidth, static_cast<double>(chosen.penWidth));
  store.setValue(kDpi, chosen.dpi);
  store.setValue(kOnWhite, chosen.onWhite);
  store.setValue(kPlotMinutes, static_cast<double>(chosen.plotMinutes));
  store.setValue(kPaperColour, chosen.paperColour
                                   ? QString::fromStdString(FormatColour(*chosen.paperColour))
                                   : QString());
  store.setValue(kOwnPens,
                 chosen.pens.own() ? QString::fromStdString(FormatPens(chosen.pens)) : QString());
}

}  // namespace stringart::settings
