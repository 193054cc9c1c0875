// The message pane's cursor path on any HTML: it must stay memory-safe and bounded, and
// anything it leaves alone must leave the document empty. The slices a fill cuts the same
// HTML into must end, each past the one before, and append to a document safely. With VELQUIN_FUZZ_COMPARE=1 it
// also stops where the text differs from the text engine's own import of the same HTML:
// the pane's tests hold that agreement for the bodies our converter writes, while arbitrary
// markup still finds differences of white space, so the comparison is a hunt on demand.

#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "BodyImport.h"

// Fontconfig drops a few of its own allocations (pattern caches it fills while Qt resolves
// fallback faces) without freeing them. They are the system library's, not the pane's, and
// must not end a run as a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

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
  {
    QTextDocument filled;
    TBodySlicer slicer(html, size % 7 == 0 ? 0 : html.size() / 3);
    qsizetype at = -1;
    while (!slicer.AtEnd()) {
      AppendBodySlice(filled, slicer.Next(64), filled.defaultFont(), size % 3 == 0 ? 150 : 100, {});
      if (slicer.CutEnd() <= at) __builtin_trap();
      at = slicer.CutEnd();
    }
  }
  QTextDocument ours;
  if (!ImportRunsHtml(ours, html)) {
    if (!ours.isEmpty()) __builtin_trap();
    return 0;
  }
  static const bool compare = qEnvironmentVariableIntValue("VELQUIN_FUZZ_COMPARE") == 1;
  if (!compare) {
    (void)ours.toPlainText();
    return 0;
  }
  QTextDocument engine;
  engine.setHtml(html);
  if (ours.toPlainText() != engine.toPlainText() || ours.blockCount() != engine.blockCount()) __builtin_trap();
  return 0;
}
