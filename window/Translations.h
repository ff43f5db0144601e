#pragma once

#include <QLocale>
#include <QTranslator>
#include <memory>

#include "text/Translatable.h"

namespace stringart {

// The program's texts and Qt's own (its standard buttons, key names and dialogs) in the language
// of a locale, where there is a translation for it; English, its plurals made right, where there
// is none.
class Translations {
 public:
  explicit Translations(const QLocale& locale = QLocale::system());
  // Takes them out of the application again, when installed.
  ~Translations();
  Translations(const Translations&) = delete;
  Translations& operator=(const Translations&) = delete;

  // Whether the program's own texts were found, in the locale's language or English's plurals.
  bool found() const { return !ours_->isEmpty(); }
  // Makes them the application's, for every tr() from now on; needs the application object.
  void Install();
  // The texts of the layers without Qt, translated by the program's translation alone: it works
  // before there is an application object, as --help is written.
  Translate ForText() const;

 private:
  std::unique_ptr<QTranslator> ours_, qt_;
  bool installed_ = false;
};

// The texts of the layers without Qt, translated by the application's translators.
Translate ApplicationTranslate();

}  // namespace stringart
