// The main of the window tests on an X display: a program folder of their own, the C locale,
// the units registered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "app/unit_list.h"

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("TRESSALY_HOME", home.path().toUtf8());
  qputenv("LANG", "C");
  QApplication app(argc, argv);
  RegisterUnits();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
