// The message pane's cursor path against the text engine's own HTML import: whatever HTML
// the cursor path takes on, the reader must see the same text as the engine would show, and
// anything it leaves alone must leave the document empty.

#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "BodyImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static QGuiApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_body_import";
    static char* argv[] = {name, nullptr};
    return new QGuiApplication(argc, argv);
  }();
  (void)app;
  if (size > 64 * 1024) return 0;
  const QString html = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  QTextDocument ours;
  if (!ImportRunsHtml(ours, html)) {
    if (!ours.isEmpty()) __builtin_trap();
    return 0;
  }
  QTextDocument engine;
  engine.setHtml(html);
  if (ours.toPlainText() != engine.toPlainText() || ours.blockCount() != engine.blockCount()) __builtin_trap();
  return 0;
}
