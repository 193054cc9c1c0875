#pragma once
// Printing and export as PDF of the message the pane shows (the file's own message or an
// embedded one shown in place): a header with the subject, the sender, the date and the
// recipients as the pane shows them, then the body as the pane shows it.

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class QAction;
class QTextDocument;
class QToolButton;
class QWidget;
class TMessageBrowser;
class TMessageHeader;
namespace Ui {
class TfmVelquinDatReader;
}

// One line of the printed header: a label ("Subject") and its value.
struct TPrintHeaderLine {
  QString Label;
  QString Value;
};

// The document printed: the header lines (those with a value), the calendar summary when
// there is one, then a copy of body with the pictures body shows.
std::unique_ptr<QTextDocument> MessagePrintDocument(const QList<TPrintHeaderLine>& header, const QString& summary,
                                                    const QTextDocument& body);
// Writes document to fileName as PDF (no printer needed). Raises the general exception
// when the file cannot be written.
void WritePdf(QTextDocument& document, const QString& fileName, const QString& title);
// A label of the form without its mnemonic: "S&ubject" and "主题(&U)" read "Subject", "主题".
QString WithoutMnemonic(QString label);

class TMessagePrint : public QObject {
  Q_OBJECT
public:
  // The actions join window (their keys work anywhere in it) and a Print button with a menu
  // joins the message pane's first line.
  TMessagePrint(QWidget& window, Ui::TfmVelquinDatReader& form, TMessageHeader& header);

  // The header of the message shown, as the pane shows it.
  QList<TPrintHeaderLine> HeaderLines() const;
  std::unique_ptr<QTextDocument> Document() const;
  // Writes the message shown to fileName as PDF.
  void ExportPdf(const QString& fileName);
  // Ctrl+P: the print preview, from which the user prints or saves.
  void actPrintExecute();
  // Asks for a file name (the subject's, cleaned) and exports.
  void actExportPdfExecute();
  // The preview dialog is made here, shown by actPrintExecute; tests and the screenshot
  // tool reach it while it is open.
  static constexpr const char* kPreviewName = "PrintPreview";

  QAction& PrintAction() const { return *FActPrint; }
  QAction& ExportPdfAction() const { return *FActExportPdf; }
  QToolButton& PrintButton() const { return *FButton; }
  void Retranslate();
  // The actions are there while a message is shown and its whole body is in the pane.
  void UpdateEnabled();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QString SuggestedFileName() const;

  QWidget& FWindow;
  Ui::TfmVelquinDatReader& FForm;
  TMessageHeader& FHeader;
  QAction* FActPrint = nullptr;
  QAction* FActExportPdf = nullptr;
  QToolButton* FButton = nullptr;
  QString FLastFolder;
};
