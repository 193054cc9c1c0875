// The print module: Qt's print support behind the viewer's TPrintModule interface.
// Everything in it is hidden except the entry point.
#include "PrintModule.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

namespace {

void Describe(QPrinter& printer, const TPrintJob& job) {
  printer.setDocName(job.DocName);
  printer.setCreator(job.Creator);
}

class TLoadedPrintModule final : public TPrintModule {
public:
  void WritePdf(QTextDocument& document, const QString& fileName, const TPrintJob& job) const override {
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    Describe(printer, job);
    document.print(&printer);
  }

  void RunPreview(QTextDocument& document, QWidget& parent, const TPrintJob& job, const QString& objectName,
                  const QString& title) const override {
    QPrinter printer(QPrinter::ScreenResolution);
    Describe(printer, job);
    QPrintPreviewDialog preview(&printer, &parent);
    preview.setObjectName(objectName);
    preview.setWindowTitle(title);
    preview.resize(760, 560);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document](QPrinter* target) { document.print(target); });
    preview.exec();
  }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TPrintModule* velquin_print_module(int version) {
  if (version != kPrintModuleVersion) return nullptr;
  static const TLoadedPrintModule module;
  return &module;
}
