#include "window/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace stringart {

Translations::Translations(const QLocale& locale)
    : ours_(std::make_unique<QTranslator>()), qt_(std::make_unique<QTranslator>()) {
  // Each looks for the locale's languages in turn (de_DE, then de). Where none is ours, the
  // texts stay in English, with English's plural forms ("1 figure", "3 figures"): the only
  // texts stringart_en holds.
  if (!ours_->load(locale, QStringLiteral("stringart"), QStringLiteral("_"),
                   QStringLiteral(":/translations"))) {
    (void)ours_->load(QStringLiteral("stringart_en"), QStringLiteral(":/translations"));
  }
  (void)qt_->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

Translations::~Translations() {
  if (!installed_ || QCoreApplication::instance() == nullptr) return;
  QCoreApplication::removeTranslator(ours_.get());
  QCoreApplication::removeTranslator(qt_.get());
}

void Translations::Install() {
  if (installed_) return;
  installed_ = true;
  if (!qt_->isEmpty()) QCoreApplication::installTranslator(qt_.get());
  if (!ours_->isEmpty()) QCoreApplication::installTranslator(ours_.get());
}

Translate Translations::ForText() const {
  const QTranslator *ours = ours_.get(), *qt = qt_.get();
  return [ours, qt](const char* context, const char* text) {
    // Ours first; Qt's own for what Qt names, the keys.
    QString translated = ours->translate(context, text);
    if (translated.isEmpty()) translated = qt->translate(context, text);
    return translated.isEmpty() ? std::string(text) : translated.toStdString();
  };
}

Translate ApplicationTranslate() {
  return [](const char* context, const char* text) {
    return QCoreApplication::translate(context, text).toStdString();
  };
}

}  // namespace stringart
