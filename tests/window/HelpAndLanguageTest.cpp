// Help and languages: the window's keys are the table that --help and the help window list, F1
// opens the help and Escape puts it away, and the menu speaks German where the locale does.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <map>
#include <set>

#include "export/FigureFileWriter.h"
#include "options/SteerKeys.h"
#include "options/WindowKeys.h"
#include "tests/support/WindowDriving.h"
#include "window/Form1Window.h"
#include "window/HelpWindow.h"
#include "window/KeySequences.h"
#include "window/Messages.h"
#include "window/Translations.h"

namespace stringart {
namespace {

struct Window {
  QTemporaryDir dir;
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};
  Window() {
    window.KeepFigures(dir.filePath("figures.sqlite").toStdString());
    window.FormLoad();
  }
};

QString Portable(const QList<QKeySequence>& keys) {
  QStringList text;
  for (const QKeySequence& key : keys) text << key.toString(QKeySequence::PortableText);
  return text.join("; ");
}

TEST(Help, EveryKeyOfTheWindowIsTheTablesAndEveryRowHasItsAction) {
  Window run;
  std::set<QString> rows;
  for (const WindowKeyRow& row : WindowKeyTable()) {
    rows.insert(QString::fromUtf8(row.keys.data(), row.keys.size()));
  }
  std::set<QString> bound;
  for (const QAction* action : run.window.findChildren<QAction*>()) {
    if (action->shortcuts().isEmpty()) continue;
    const QString keys = Portable(action->shortcuts());
    bound.insert(keys);
    EXPECT_TRUE(rows.contains(keys)) << action->text().toStdString() << " on " << keys.toStdString()
                                     << " is in no row of the table";
  }
  for (const QShortcut* shortcut : run.window.findChildren<QShortcut*>()) {
    const QString keys = Portable(shortcut->keys());
    bound.insert(keys);
    EXPECT_TRUE(rows.contains(keys)) << keys.toStdString() << " is in no row of the table";
  }
  for (const QString& keys : rows) {
    EXPECT_TRUE(bound.contains(keys)) << "the table's " << keys.toStdString() << " do nothing";
  }
}

TEST(Help, F1OpensTheKeysAndOptionsAndEscapeClosesIt) {
  Window run;
  run.window.SetOptionsHelp("  --draws U1,...,U12     show the figure of these twelve draws");
  run.window.show();
  run.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&run.window));
  QTest::keyClick(&run.window, Qt::Key_F1);
  HelpWindow* help = run.window.helpWindow();
  ASSERT_NE(help, nullptr) << "F1 opened nothing";
  EXPECT_TRUE(help->isVisible());
  const QString page = help->page()->toPlainText();
  for (const WindowKeyRow& row : WindowKeyTable()) {
    EXPECT_TRUE(page.contains(row.does)) << row.does;
  }
  EXPECT_TRUE(page.contains("--draws U1,...,U12")) << page.toStdString();
  ASSERT_TRUE(QTest::qWaitForWindowActive(help));
  QTest::keyClick(help->page(), Qt::Key_Escape);
  EXPECT_FALSE(help->isVisible()) << "Escape left the help open";
}

// F1 lists the keys that Variations and Adjust answer themselves, as the desktop writes them.
TEST(Help, ListsTheKeysOfVariationsAndAdjust) {
  HelpWindow help({}, nullptr);
  const QString page = help.page()->toPlainText();
  for (const auto& [heading, table] : {std::pair{"Keys in Variations", VariationsKeyTable()},
                                       std::pair{"Keys in Adjust", AdjustKeyTable()}}) {
    const qsizetype section = page.indexOf(heading);
    ASSERT_GE(section, 0) << heading;
    for (const SteerKeyRow& row : table) {
      EXPECT_GT(page.indexOf(NativeKeys(row.keys), section), section)
          << heading << ": " << row.keys;
    }
  }
}

TEST(Languages, AGermanLocaleGetsAGermanMenuWhoseLettersDifferWithItsOwnNamesKept) {
  Translations german{QLocale(QLocale::German, QLocale::Germany)};
  ASSERT_TRUE(german.found()) << "no German translation among the resources";
  german.Install();
  Window run;
  QMenu menu;
  run.window.FillContextMenu(menu);
  // Each menu's entries without their marks, and no letter marked twice in one menu: Alt and the
  // letter must reach one entry.
  std::set<QString> texts;
  const auto read = [&texts](const QMenu& menu) {
    std::map<QChar, QString> letters;
    for (const QAction* action : menu.actions()) {
      if (action->isSeparator()) continue;
      QString text = action->text();
      const qsizetype mark = text.indexOf('&');
      if (mark == -1 && !action->isEnabled()) continue;  // the line that tells the place
      ASSERT_NE(mark, -1) << text.toStdString();
      const auto [other, fresh] = letters.emplace(text[mark + 1].toLower(), text);
      EXPECT_TRUE(fresh) << text.toStdString() << " and " << other->second.toStdString();
      texts.insert(text.remove('&'));
    }
  };
  read(menu);
  for (const QAction* action : menu.actions()) {
    if (action->menu() != nullptr) read(*action->menu());
  }
  for (const char* expected :
       {"Neue Figur", "Zurück", "Vorwärts", "Favorit", "Galerie…", "Variationen…", "Anpassen…",
        "Vollbild", "Hilfe", "Tasten und Optionen…", "Über stringart",
        "Als Hintergrundbild festlegen", "Beenden"}) {
    EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
  }
  EXPECT_EQ(run.window.windowTitle(), "Form1");
  EXPECT_EQ(run.window.command1()->text(), "new");
  run.window.ShowHelp();
  // Qt's own buttons come in German too.
  const auto* close =
      run.window.helpWindow()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close);
  EXPECT_EQ(close->text().remove('&'), QString::fromUtf8("Schließen"));
}

}  // namespace
}  // namespace stringart

namespace stringart {
namespace {

// A reason from the layers below the window reaches its message in German, decimal numbers with
// the German point, however many reasons it wraps.
TEST(Languages, AReasonFromBelowReachesAGermanWindowInGerman) {
  Translations german{QLocale(QLocale::German, QLocale::Germany)};
  german.Install();
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.png"));
  QFile(dir.filePath("notes.txt")).open(QIODevice::WriteOnly);
  Window run;
  run.window.OpenFigureFiles(
      {dir.filePath("folder.png"), dir.filePath("missing.png"), dir.filePath("notes.txt")}, false);
  testing::AwaitFilesRead(run.window);
  auto* box = run.window.findChild<QMessageBox*>();
  ASSERT_NE(box, nullptr);
  const QStringList lines = box->text().split('\n');
  ASSERT_EQ(lines.size(), 3) << box->text().toStdString();
  const char* reasons[] = {
      " lässt sich nicht öffnen: es ist ein Ordner.",
      " lässt sich nicht öffnen: Datei oder Verzeichnis nicht gefunden.",
      " lässt sich nicht öffnen: Nur .png-, .svg-, .mp4-, .webm-, .hpgl-, "
      ".plt-, .gcode- und .pdf-Dateien, die stringart geschrieben hat, tragen eine "
      "Figur."};
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(lines[i].endsWith(QString::fromUtf8(reasons[i]))) << lines[i].toStdString();
  }
  EXPECT_EQ(Sentence(std::string(
                "a margin of 99.5 mm leaves no room on A4 (210 x 297 mm): at most 74.5 mm")),
            QString::fromUtf8("Ein Rand von 99,5 mm lässt auf A4 (210 x 297 mm) keinen Platz: "
                              "höchstens 74,5 mm."));
  QLocale::setDefault(before);
}

}  // namespace
}  // namespace stringart
