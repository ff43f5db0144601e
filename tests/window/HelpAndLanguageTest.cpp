// Help and languages: the window's keys are the table that --help and the help window list, F1
// opens the help and Escape puts it away, and the menu speaks German where the locale does.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <set>

#include "app/FigureFileWriter.h"
#include "tests/support/WindowDriving.h"
#include "text/WindowKeys.h"
#include "window/Form1Window.h"
#include "window/HelpWindow.h"
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

}  // namespace
}  // namespace stringart
