// The main window for a user without a mouse and a user who is being tricked: shortcuts,
// Tab order and Return on the list; the question before an attachment that can run code;
// names shown with their direction marks neutralised; drops taken as copies; the About box.

#include <QApplication>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "AboutBox.h"
#include "AttachmentActions.h"
#include "AttachmentListModel.h"
#include "MimeClassesRootProvider.h"
#include "OpenWarning.h"
#include "TNEFReaderClass.h"
#include "UiTestSupport.h"
#include "VelquinReaderOptions.h"
#include "fmTNEFReader.h"
#include "fmTNEFReaderOptions.h"
#include "ui_fmTNEFReader.h"

using uitest::WriteMessage;

namespace {
const char* const kRtf = "{\\rtf1\\ansi Hello\\par}";
}

class TWindowUsabilityTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  std::shared_ptr<TRecordingShell> FShell;
  QString Path(const QString& name) const { return FDir.filePath(name); }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    UseScratchRegistry(FDir);
    TfrmTNEFReaderOptions::SetModalRunner([](TfrmTNEFReaderOptions&) { return int(QDialog::Rejected); });
    SetClassesRootProvider(std::make_shared<TMimeClassesRootProvider>());
    FShell = std::make_shared<TRecordingShell>();
    SetShell(FShell);
  }
  void cleanupTestCase() {
    SetOpenWarningHook({});
    SetShell(nullptr);
    SetClassesRootProvider(nullptr);
  }

  void everyActionHasItsShortcutAndMnemonic() {
    TfmVelquinDatReader w;
    auto& f = w.Form();
    QCOMPARE(f.actOpenWinmail->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QVERIFY(f.actOpen->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Return"))));
    QCOMPARE(f.actSave->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(f.actSaveAll->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    QCOMPARE(f.actOptions->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));
    QCOMPARE(f.actWebsite->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(w.WindowActions().Quit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    // Each toolbar button carries a mnemonic, and no two share a letter.
    QSet<QChar> letters;
    for (QToolBar* bar : {f.ToolBar1, f.ToolBar}) {
      for (QAction* action : bar->actions()) {
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        QVERIFY(button);
        const QString text = button->text();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(text));
        const QChar letter = text.at(amp + 1).toLower();
        QVERIFY2(!letters.contains(letter), qPrintable(text));
        letters.insert(letter);
      }
    }
    // The context menu offers Save all beside Open and Save as.
    QStringList items;
    for (QAction* item : w.PopupMenu().actions()) items << item->objectName();
    QCOMPARE(items, QStringList({"Open1", "Save1", "SaveAll1"}));
  }

  void tabReachesTheToolbarsAndReturnOpens() {
    WriteMessage(Path("keys.dat"), "Keys", kRtf, {{"notes.txt", "some notes"}, {"more.txt", "more"}});
    TfmVelquinDatReader w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.OpenFile(Path("keys.dat"));
    auto& f = w.Form();

    // From the first toolbar button, Tab walks every enabled button and then the list.
    auto* first = qobject_cast<QToolButton*>(f.ToolBar1->widgetForAction(f.actOpenWinmail));
    first->setFocus();
    QList<QWidget*> seen;
    for (int i = 0; i < 8 && !f.lvwFiles->hasFocus(); ++i) {
      seen << QApplication::focusWidget();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QVERIFY(f.lvwFiles->hasFocus());
    // Open is disabled on the message row and passed over.
    const QList<QWidget*> expected{f.ToolBar1->widgetForAction(f.actOpenWinmail), f.ToolBar1->widgetForAction(f.actOptions),
                                   f.ToolBar1->widgetForAction(f.actWebsite), f.ToolBar->widgetForAction(f.actSave),
                                   f.ToolBar->widgetForAction(f.actSaveAll)};
    QCOMPARE(seen, expected);
    // On from the list: the message pane's fields and body.
    QTest::keyClick(f.lvwFiles, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.edtSubject));

    // Return on an attachment row opens it, as a double-click does.
    w.SelectRow(1);
    f.lvwFiles->setFocus();
    FShell->Requests.clear();
    QTest::keyClick(f.lvwFiles, Qt::Key_Return);
    QCOMPARE(FShell->Requests.size(), std::size_t(1));
    QCOMPARE(FShell->Requests[0], w.Reader()->Files(0).TempFileName());
  }

  // The zoom keys reach the message pane from anywhere in the window, and the zoom is kept.
  void zoomKeysWorkFromTheWindowAndTheZoomIsKept() {
    const QString path = Path(QStringLiteral("zoom.dat"));
    WriteMessage(path, "Zoom", kRtf);
    {
      TfmVelquinDatReader w;
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      w.OpenFile(path);
      auto& pane = *w.Form().RichEdit1;
      QCOMPARE(pane.Zoom(), 100);
      w.Form().lvwFiles->setFocus();
      QTest::keyClick(&w, Qt::Key_Equal, Qt::ControlModifier);
      QCOMPARE(pane.Zoom(), 110);
      QTest::keyClick(&w, Qt::Key_Plus, Qt::ControlModifier);
      QCOMPARE(pane.Zoom(), 125);
      QTest::keyClick(&w, Qt::Key_Minus, Qt::ControlModifier);
      QCOMPARE(pane.Zoom(), 110);
      QCOMPARE(TVelquinReaderOptions().MessageZoom(), 110);
    }
    TfmVelquinDatReader again;
    QCOMPARE(again.Form().RichEdit1->Zoom(), 110);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QTest::keyClick(&again, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(again.Form().RichEdit1->Zoom(), 100);
    QCOMPARE(TVelquinReaderOptions().MessageZoom(), 100);
  }

  void namesThatCanRunCode_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("runsCode");
    QTest::newRow("program") << "setup.exe" << true;
    QTest::newRow("script") << "run.sh" << true;
    QTest::newRow("upper case, trailing dot and space") << "SETUP.EXE. " << true;
    QTest::newRow("macros") << "budget.xlsm" << true;
    QTest::newRow("desktop entry") << "readme.desktop" << true;
    QTest::newRow("shortcut") << "photos.lnk" << true;
    QTest::newRow("reversed to look like a picture") << QStringLiteral("photo\u202Egpj.exe") << true;
    QTest::newRow("reversed, harmless end") << QStringLiteral("report\u202Efdp.txt") << true;
    QTest::newRow("spaces push the end away") << "invoice.pdf                    .txt" << true;
    QTest::newRow("document") << "report.pdf" << false;
    QTest::newRow("picture") << "image001.png" << false;
    QTest::newRow("no extension") << "README" << false;
    QTest::newRow("document with macros off") << "letter.docx" << false;
  }
  void namesThatCanRunCode() {
    QFETCH(QString, name);
    QFETCH(bool, runsCode);
    QCOMPARE(CanRunCode(name), runsCode);
  }

  void contentsThatRunCode() {
    QVERIFY(LooksExecutable("MZ\x90\0"));
    QVERIFY(LooksExecutable("\x7F" "ELF"));
    QVERIFY(LooksExecutable("#!/b"));
    QVERIFY(!LooksExecutable("%PDF"));
    QCOMPARE(NeutralisedName(QStringLiteral("photo\u202Egpj.exe")), QStringLiteral("photo\uFFFDgpj.exe"));
    QCOMPARE(NeutralisedName(QStringLiteral("plain.txt")), QStringLiteral("plain.txt"));
  }

  void openAsksBeforeCodeRunsAndCancelKeepsItClosed() {
    const std::string elf = std::string("\x7F" "ELF", 4) + "rest";
    // The names are UTF-8, as the stream's code page says, so the direction mark survives.
    tb::TnefBuilder b;
    b.CodePage(65001).Subject("Risky");
    tb::PropBlock props;
    props.Binary(uitest::kRtfCompressed, tb::Lzfu(kRtf));
    b.MsgProps(props);
    b.Attachment("setup.exe", "MZ program").Attachment("photo\xE2\x80\xAEgpj.exe", "MZ");
    b.Attachment("notes.txt", elf).Attachment("letter.pdf", "%PDF-1.4");
    b.WriteTo(Path("risky.dat").toStdString());
    TfmVelquinDatReader w;
    w.OpenFile(Path("risky.dat"));
    // The reversed name is listed as stored, its direction mark made visible.
    QCOMPARE(w.RowText(2, TAttachmentListModel::ColFilename), QStringLiteral("photo\uFFFDgpj.exe"));

    QStringList questions;
    bool answer = false;
    SetOpenWarningHook([&](const QString& text) {
      questions << text;
      return answer;
    });
    FShell->Requests.clear();
    for (int row : {1, 2, 3}) {
      w.SelectRow(row);
      w.Form().actOpen->trigger();
    }
    QCOMPARE(questions.size(), 3);  // the program, the disguised name, the ELF named .txt
    QVERIFY(FShell->Requests.empty());
    QVERIFY(questions[0].contains(QStringLiteral("\"setup.exe\" is a program")));
    QVERIFY2(questions[1].contains(QStringLiteral("it really ends in \".exe\"")), qPrintable(questions[1]));

    answer = true;
    w.SelectRow(1);
    w.Form().actOpen->trigger();
    QCOMPARE(FShell->Requests.size(), std::size_t(1));

    // A document goes straight to the desktop.
    questions.clear();
    w.SelectRow(4);
    w.Form().actOpen->trigger();
    QVERIFY(questions.isEmpty());
    QCOMPARE(FShell->Requests.size(), std::size_t(2));
    SetOpenWarningHook({});
  }

  void theRealWarningDefaultsToCancel() {
    QTimer::singleShot(0, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      QCOMPARE(box->objectName(), QStringLiteral("OpenWarning"));
      QCOMPARE(box->icon(), QMessageBox::Warning);
      QCOMPARE(box->defaultButton(), box->escapeButton());
      box->defaultButton()->click();
    });
    QVERIFY(!ConfirmOpenAttachment(nullptr, QStringLiteral("setup.exe")));
  }

  void dropsAreTakenAsCopies() {
    WriteMessage(Path("dropped.dat"), "Dropped", kRtf);
    TfmVelquinDatReader w;
    // The window takes drops once it is shown and its start-up has run.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("dropped.dat"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(&w, &drop);
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
    QCOMPARE(w.Form().edtSubject->text(), QStringLiteral("Dropped"));
  }

  void saveAsStartsInTheLastFolderUsed() {
    WriteMessage(Path("saveas.dat"), "Save as", kRtf, {{"a.txt", "a"}});
    TTNEFReader reader(Path("saveas.dat").toStdString(), "");
    QDir(FDir.path()).mkdir(QStringLiteral("chosen"));
    const QString chosen = Path("chosen");
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    TQtAttachmentDialogs dialogs(nullptr, [&]() -> QFileDialog& { return dialog; }, [] () -> TPathDialog& {
      throw std::logic_error("no folder picker here");
    });
    // First save: the user picks a file in "chosen".
    QTimer::singleShot(0, [&] {
      dialog.selectFile(chosen + QStringLiteral("/a.txt"));
      static_cast<QDialog&>(dialog).accept();
    });
    QCOMPARE(dialogs.AskSaveFileName(QStringLiteral("a.txt")), chosen + QStringLiteral("/a.txt"));
    QCOMPARE(QString::fromStdString(TVelquinReaderOptions().LastSaveDirectory()), chosen);
    // The next Save as opens there, with the row's name preset.
    dialog.setDirectory(FDir.path());
    QString startedIn;
    QTimer::singleShot(0, [&] {
      startedIn = dialog.directory().absolutePath();
      dialog.reject();
    });
    QVERIFY(dialogs.AskSaveFileName(QStringLiteral("b.txt")).isEmpty());
    QCOMPARE(startedIn, chosen);
  }

  void aboutBoxNamesVersionLicenceAndAddress() {
    const QString text = AboutBoxText();
    QVERIFY(text.contains(QStringLiteral(VELQUIN_VERSION)));
    QVERIFY(text.contains(QStringLiteral("GNU General Public License")));
    QVERIFY(text.contains(QString::fromLatin1(kProjectAddress)));
  }
};

QTEST_MAIN(TWindowUsabilityTest)
#include "WindowUsabilityTest.moc"
