// main for window tests: the program's own QApplication, headless unless a platform is given,
// and a journal of figures in a temporary folder of its own, never the user's.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "window/GuardedApplication.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
  stringart::GuardedApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
