#include "MessagePrint.h"

#include <QAction>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QToolButton>
#include <QVBoxLayout>
#include <set>

#include "ErrorBox.h"
#include "Exception.h"
#include "Languages.h"
#include "MessageBrowser.h"
#include "MessageHeader.h"
#include "PrintModuleLoader.h"
#include "SafeFileName.h"
#include "TNEFReaderConst.h"
#include "ui_fmTNEFReader.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }

// The pictures body shows, by name, added to the printed copy: the copy is a plain
// document and cannot ask the body's loader. Each name is taken once.
void CopyPictures(const QTextDocument& body, QTextDocument& copy) {
  std::set<QString> seen;
  for (QTextBlock block = body.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (!format.isImageFormat()) continue;
      const QString name = format.toImageFormat().name();
      if (name.isEmpty() || !seen.insert(name).second) continue;
      const QVariant image = body.resource(QTextDocument::ImageResource, QUrl(name));
      if (image.isValid()) copy.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
  }
}

}  // namespace

QString WithoutMnemonic(QString label) {
  static const QRegularExpression trailing(QStringLiteral("\\(&.\\)"));
  label.remove(trailing);
  label.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  label.remove(QLatin1Char('&'));
  label.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return label.trimmed();
}

std::unique_ptr<QTextDocument> MessagePrintDocument(const QList<TPrintHeaderLine>& header, const QString& summary,
                                                    const QTextDocument& body) {
  auto doc = std::make_unique<QTextDocument>();
  doc->setDefaultFont(body.defaultFont());
  QTextCursor cursor(doc.get());
  // The header: label in bold, then the value, one line each, the subject larger. Sizes in
  // points: the body's own default may be the window's small face.
  constexpr qreal kHeaderPoints = 10;
  bool first = true;
  for (const TPrintHeaderLine& line : header) {
    if (line.Value.isEmpty()) continue;
    if (!first) cursor.insertBlock();
    QTextCharFormat label;
    label.setFontWeight(QFont::Bold);
    label.setFontPointSize(first ? kHeaderPoints * 1.3 : kHeaderPoints);
    QTextCharFormat value;
    value.setFontPointSize(label.fontPointSize());
    if (first) value.setFontWeight(QFont::Bold);
    cursor.insertText(LabelledText(line.Label, {}), label);
    cursor.insertText(line.Value, value);
    first = false;
  }
  for (const QString& line : summary.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (!first) cursor.insertBlock();
    QTextCharFormat plain;
    plain.setFontPointSize(kHeaderPoints);
    cursor.insertText(line, plain);
    first = false;
  }
  // A rule between the header and the body.
  if (!first) {
    cursor.insertHtml(QStringLiteral("<hr/>"));
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  }
  cursor.insertFragment(QTextDocumentFragment(&body));
  CopyPictures(body, *doc);
  doc->setMetaInformation(QTextDocument::DocumentTitle, header.isEmpty() ? QString() : header.first().Value);
  return doc;
}

void WritePdf(QTextDocument& document, const QString& fileName, const QString& title) {
  // Print support is a module, loaded with the first print or export.
  PrintModule().WritePdf(document, fileName, TPrintJob{title, Res(TStringId::AppTitle)});
  // The printer reports no failure of its own: an unwritable place leaves no file.
  const QFileInfo written(fileName);
  if (!written.isFile() || written.size() == 0)
    throw Exception(FormatRes(TStringId::PdfWriteFailed, {Arg(fileName.toStdString())}));
}

TMessagePrint::TMessagePrint(QWidget& window, Ui::TfmVelquinDatReader& form, TMessageHeader& header)
    : QObject(&window), FWindow(window), FForm(form), FHeader(header) {
  FActPrint = new QAction(&window);
  FActPrint->setObjectName(QStringLiteral("actPrint"));
  FActPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  FActExportPdf = new QAction(&window);
  FActExportPdf->setObjectName(QStringLiteral("actExportPdf"));
  FActExportPdf->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
  window.addActions({FActPrint, FActExportPdf});
  connect(FActPrint, &QAction::triggered, this, [this] { RunHandler(&FWindow, [this] { actPrintExecute(); }); });
  connect(FActExportPdf, &QAction::triggered, this,
          [this] { RunHandler(&FWindow, [this] { actExportPdfExecute(); }); });

  // The Print button sits at the right of the Subject label's line, its arrow offering
  // Export as PDF.
  FButton = new QToolButton(form.pnlMessage);
  FButton->setObjectName(QStringLiteral("btnPrint"));
  FButton->setDefaultAction(FActPrint);
  FButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
  FButton->setAutoRaise(true);
  FButton->setFocusPolicy(Qt::TabFocus);
  auto* menu = new QMenu(FButton);
  menu->setObjectName(QStringLiteral("PrintMenu"));
  menu->addAction(FActPrint);
  menu->addAction(FActExportPdf);
  FButton->setMenu(menu);
  FButton->setPopupMode(QToolButton::MenuButtonPopup);
  auto* pane = qobject_cast<QVBoxLayout*>(form.pnlMessage->layout());
  const int at = pane->indexOf(form.lblSubject);
  pane->removeWidget(form.lblSubject);
  auto* line = new QHBoxLayout;
  line->setContentsMargins(0, 0, 0, 0);
  line->addWidget(form.lblSubject, 1, Qt::AlignBottom);
  line->addWidget(FButton, 0, Qt::AlignBottom);
  pane->insertLayout(at, line);
  // In the Tab order after the body, before the web pane.
  QWidget::setTabOrder(form.RichEdit1, FButton);

  // Shown and hidden with the pane; a long body's whole comes after its first part.
  form.pnlMessage->installEventFilter(this);
  connect(form.RichEdit1, &TMessageBrowser::BodyShown, this, &TMessagePrint::UpdateEnabled);
  connect(form.RichEdit1, &QTextEdit::textChanged, this, &TMessagePrint::UpdateEnabled);
  Retranslate();
  UpdateEnabled();
}

bool TMessagePrint::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FForm.pnlMessage && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
    UpdateEnabled();
  return QObject::eventFilter(watched, event);
}

void TMessagePrint::UpdateEnabled() {
  // The first part of a long body is not what the user asked to print.
  const bool available = !FForm.pnlMessage->isHidden() && FForm.RichEdit1->BodyComplete();
  FActPrint->setEnabled(available);
  FActExportPdf->setEnabled(available);
}

void TMessagePrint::Retranslate() {
  FActPrint->setText(Res(TStringId::ActionPrint));
  // The button's caption as the toolbars' read: the dots kept, no "(&T)" left behind.
  FActPrint->setIconText(WithoutMnemonic(Res(TStringId::ActionPrint)));
  FActExportPdf->setText(Res(TStringId::ActionExportPdf));
  FButton->setAccessibleName(WithoutMnemonic(Res(TStringId::ActionPrint)));
  FButton->setAccessibleDescription(Res(TStringId::AccessiblePrintDescription));
  FButton->setToolTip(Res(TStringId::AccessiblePrintDescription));
}

QList<TPrintHeaderLine> TMessagePrint::HeaderLines() const {
  return {{WithoutMnemonic(FForm.lblSubject->text()), FForm.edtSubject->text()},
          {WithoutMnemonic(FForm.lblFrom->text()), FForm.edtFrom->text()},
          {Res(TStringId::HeaderDate), FHeader.DateLine().FullText()},
          {Res(TStringId::HeaderTo), FHeader.ToLine().FullText()},
          {Res(TStringId::HeaderCc), FHeader.CcLine().FullText()}};
}

std::unique_ptr<QTextDocument> TMessagePrint::Document() const {
  return MessagePrintDocument(HeaderLines(), FHeader.SummaryText(), *FForm.RichEdit1->document());
}

void TMessagePrint::ExportPdf(const QString& fileName) {
  const std::unique_ptr<QTextDocument> doc = Document();
  WritePdf(*doc, fileName, FForm.edtSubject->text());
}

void TMessagePrint::actPrintExecute() {
  UpdateEnabled();
  if (!FActPrint->isEnabled()) return;
  const TPrintModule& printing = PrintModule();
  const std::unique_ptr<QTextDocument> doc = Document();
  printing.RunPreview(*doc, FWindow, TPrintJob{FForm.edtSubject->text(), Res(TStringId::AppTitle)},
                      QString::fromLatin1(kPreviewName), WithoutMnemonic(Res(TStringId::ActionPrint)));
}

QString TMessagePrint::SuggestedFileName() const {
  const std::string fallback = LoadResString(TStringId::PdfDefaultName);
  QString name = QString::fromUtf8(CleanFileName(FForm.edtSubject->text().left(120).toStdString(), fallback));
  return name + QStringLiteral(".pdf");
}

void TMessagePrint::actExportPdfExecute() {
  UpdateEnabled();
  if (!FActExportPdf->isEnabled()) return;
  QFileDialog dialog(&FWindow);
  dialog.setObjectName(QStringLiteral("ExportPdfDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(Res(TStringId::PdfFilter));
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  if (!FLastFolder.isEmpty()) dialog.setDirectory(FLastFolder);
  dialog.selectFile(SuggestedFileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString fileName = dialog.selectedFiles().first();
  FLastFolder = QFileInfo(fileName).absolutePath();
  ExportPdf(fileName);
}
