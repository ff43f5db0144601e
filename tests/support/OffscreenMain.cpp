// main for window tests: the program's own QApplication, headless unless a platform is given,
// and a journal of figures and settings in temporary folders of its own, never the user's.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "window/GuardedApplication.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  stringart::GuardedApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  // Each test starts from no settings, as a first run does, whatever the tests before it chose.
  struct ForgetSettings : ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
      QSettings(QStringLiteral("stringart"), QStringLiteral("stringart")).clear();
    }
    // A wait for a dialog that never came ends with its test: it holds the test's references.
    void OnTestEnd(const ::testing::TestInfo&) override {
      qDeleteAll(
          qApp->findChildren<QTimer*>(QStringLiteral("WhenShown"), Qt::FindDirectChildrenOnly));
    }
  };
  ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetSettings);
  return RUN_ALL_TESTS();
}
