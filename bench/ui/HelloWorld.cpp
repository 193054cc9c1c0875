// The yardstick for the viewer's start-up: the smallest Qt Widgets program, built with the
// same compiler, flags and Qt, and timed the same way as `velquin_window_bench startup`.
//
//   velquin_hello_bench     ms from process start to its window painted

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTest>
#include <cstdio>

#include "StartTime.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setCentralWidget(new QLabel(QStringLiteral("Hello, world")));
  window.resize(769, 550);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  QCoreApplication::processEvents();  // the first paint
  std::printf("window painted %.1f ms after process start, %.1f ms processor time\n", MsSinceProcessStart(),
              CpuMsSinceProcessStart());
  return 0;
}
