#pragma once
// Printing and PDF export as a module that the viewer loads with the first print or export,
// so that a start loads no print support. Both sides are built from this tree; the version
// guards against a stale module.

#include <QString>

class QTextDocument;
class QWidget;

// Raised whenever this interface changes.
constexpr int kPrintModuleVersion = 1;

// What a printed or exported document is called, and by whom it was made.
struct TPrintJob {
  QString DocName;
  QString Creator;
};

class TPrintModule {
public:
  // Lays document out on pages at screen resolution (the body's lengths are in pixels, and
  // so come out at their size) and writes them to fileName as PDF.
  virtual void WritePdf(QTextDocument& document, const QString& fileName, const TPrintJob& job) const = 0;
  // The print preview of document, modal over parent, from which the user prints or saves;
  // the dialog carries objectName and title.
  virtual void RunPreview(QTextDocument& document, QWidget& parent, const TPrintJob& job,
                          const QString& objectName, const QString& title) const = 0;

protected:
  ~TPrintModule() = default;
};

// The module's one exported symbol: nullptr when version is not the module's own.
#define VELQUIN_PRINT_MODULE_ENTRY "velquin_print_module"
extern "C" {
using TPrintModuleEntry = const TPrintModule* (*)(int version);
}
