// The options dialog: its form, the "Advanced >>" heights, the round trip through the
// registry store (OK stores, Cancel stores nothing, an association failure keeps it open)
// and the library file chooser. Runs against a scratch registry.

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QApplication>
#include <QTest>

#include "Registry.h"
#include "UiTestSupport.h"
#include "VelquinReaderOptions.h"
#include "fmTNEFReaderOptions.h"
#include "ui_fmTNEFReaderOptions.h"

namespace {

std::string DatClass() {
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  return registry.OpenKey(".dat", false) ? registry.ReadString("") : std::string();
}

}  // namespace

class TOptionsDialogTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

private slots:
  void init() {
    // Each test starts from an empty registry and a usable data folder.
    static int n = 0;
    const QString root = FDir.filePath(QString::number(++n));
    qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", (root + "/etc").toUtf8());
    qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
    // An installed copy of the program on this machine would change where the association goes.
    qputenv("XDG_DATA_DIRS", (root + "/share").toUtf8());
  }
  void cleanup() { TfrmTNEFReaderOptions::SetFileDialogRunner({}); }

  void opensWithTheDesignLayoutAndDefaults() {
    TfrmTNEFReaderOptions dialog;
    auto& f = dialog.Form();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
    QCOMPARE(dialog.size(), QSize(401, 185));
    QCOMPARE(f.Panel1->geometry(), QRect(0, 144, 401, 41));
    QVERIFY(!f.Button2->autoDefault() && !f.Button1->autoDefault() && !f.Button2->isDefault());
    // Tab order: the check box, the list, the panel's OK, Cancel and Advanced, then the
    // advanced section.
    QStringList order;
    QWidget* w = f.chkAssociateDatFile;
    do {
      if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
      w = w->nextInFocusChain();
    } while (w != f.chkAssociateDatFile && order.size() < 10);
    QCOMPARE(order, (QStringList{"chkAssociateDatFile", "cbxLanguage", "Button2", "Button1", "btnAdvanced",
                                 "edtMapi32Path", "btnMapi32Path"}));

    QVERIFY(!f.chkAssociateDatFile->isChecked());
    QCOMPARE(f.cbxLanguage->count(), 3);
    // Each language in its own name, whatever the program's language.
    QCOMPARE(f.cbxLanguage->itemText(1), QStringLiteral("Français"));
    QCOMPARE(f.cbxLanguage->itemText(2), QStringLiteral("简体中文"));
    QCOMPARE(f.cbxLanguage->currentText(), QStringLiteral("English"));
    // The library in use is shown (none beside this test program).
    QCOMPARE(f.edtMapi32Path->text().toStdString(), TVelquinReaderOptions().EffectiveMapi32Path());
    QCOMPARE(dialog.opdMapi32().nameFilters().first(), QStringLiteral("Mapi32.dll (Mapi32.dll)"));
  }

  void advancedTogglesBetweenTheTwoHeights() {
    TfrmTNEFReaderOptions dialog;
    QList<int> heights;
    for (int i = 0; i < 4; ++i) {
      dialog.btnAdvancedClick();
      heights << dialog.height();
    }
    QCOMPARE(heights, (QList<int>{243, 181, 243, 181}));
    QCOMPARE(dialog.width(), 401);
    // The panel follows the bottom edge: at 243 the advanced section shows above it.
    dialog.btnAdvancedClick();
    QCOMPARE(dialog.Form().Panel1->y(), 243 - 41);
    QVERIFY(dialog.Form().Panel1->y() >= dialog.Form().btnMapi32Path->geometry().bottom());
    QVERIFY(!dialog.Form().edtMapi32Path->isHidden());
  }

  // Collapsed, the advanced section is out of reach: Tab from the last button wraps to the
  // check box instead of entering the path that typing would replace unseen.
  void collapsedAdvancedSectionTakesNoFocus() {
    TfrmTNEFReaderOptions dialog;
    auto& f = dialog.Form();
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QVERIFY(f.edtMapi32Path->isHidden() && f.btnMapi32Path->isHidden());
    f.btnAdvanced->setFocus();
    QTest::keyClick(f.btnAdvanced, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.chkAssociateDatFile));
    dialog.btnAdvancedClick();
    f.btnAdvanced->setFocus();
    QTest::keyClick(f.btnAdvanced, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.edtMapi32Path));
  }

  void okStoresCancelStoresNothing() {
    {
      // OK with the library path as shown does not pin the path worked out for this start.
      TRegistry reg;
      reg.SetRootKey(HKEY_LOCAL_MACHINE);
      QVERIFY(reg.OpenKey("\\SOFTWARE\\Microsoft\\Windows Messaging Subsystem", true));
      reg.WriteString("MAPI", "1");
      QVERIFY(reg.OpenKey("\\SOFTWARE\\Clients\\Mail\\Microsoft Outlook", true));
      reg.WriteString("DLLPathEx", "/usr/lib/worked-out.so");
      TfrmTNEFReaderOptions dialog;
      QCOMPARE(dialog.Form().edtMapi32Path->text(), QStringLiteral("/usr/lib/worked-out.so"));
      dialog.done(QDialog::Accepted);
      QCOMPARE(TVelquinReaderOptions().Mapi32Path(), std::string());
    }
    {
      TfrmTNEFReaderOptions dialog;
      auto& f = dialog.Form();
      f.chkAssociateDatFile->setChecked(true);
      f.cbxLanguage->setCurrentIndex(1);
      f.edtMapi32Path->setText("/opt/mail/libmapi.so");
      dialog.done(QDialog::Rejected);
    }
    {
      TVelquinReaderOptions options;
      QVERIFY(!options.AssociateDatFiles());
      QCOMPARE(int(options.Language()), 0);
      QVERIFY(options.Mapi32Path() != "/opt/mail/libmapi.so");
      QCOMPARE(DatClass(), std::string());
    }
    {
      TfrmTNEFReaderOptions dialog;
      auto& f = dialog.Form();
      f.chkAssociateDatFile->setChecked(true);
      f.cbxLanguage->setCurrentIndex(2);
      f.edtMapi32Path->setText("/opt/mail/libmapi.so");
      dialog.done(QDialog::Accepted);
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    TVelquinReaderOptions options;
    QVERIFY(options.AssociateDatFiles());
    QCOMPARE(int(options.Language()), 2);
    QCOMPARE(options.Mapi32Path(), std::string("/opt/mail/libmapi.so"));
    QCOMPARE(DatClass(), std::string(TVelquinReaderOptions::kDatClass));

    // A new dialog shows what was stored; turning the box off takes the association away.
    TfrmTNEFReaderOptions again;
    QVERIFY(again.Form().chkAssociateDatFile->isChecked());
    QCOMPARE(again.Form().cbxLanguage->currentIndex(), 2);
    again.Form().chkAssociateDatFile->setChecked(false);
    again.done(QDialog::Accepted);
    QCOMPARE(DatClass(), std::string());
  }

  void languageOutsideTheTableShowsEnglishAndOkStoresIt() {
    TVelquinReaderOptions().SetLanguage(5);
    TfrmTNEFReaderOptions dialog;
    QCOMPARE(dialog.Form().cbxLanguage->currentText(), QStringLiteral("English"));
    dialog.done(QDialog::Accepted);
    QCOMPARE(int(TVelquinReaderOptions().Language()), 0);
  }

  void unreadableOptionsStillGiveAUsableDialog() {
    {
      // A stored value of the wrong type: the options cannot be loaded.
      TRegistry registry;
      QVERIFY(registry.OpenKey(TQvConfigClass::DefaultKeyPath(QCoreApplication::applicationFilePath().toStdString()),
                               true));
      registry.WriteString("Language", "French");
    }
    TErrorBoxRecorder boxes;
    TfrmTNEFReaderOptions dialog;
    dialog.show();
    QCOMPARE(boxes.Messages.size(), 1);
    auto& f = dialog.Form();
    QVERIFY(!f.chkAssociateDatFile->isChecked());
    QCOMPARE(f.cbxLanguage->count(), 0);
    QVERIFY(f.edtMapi32Path->text().isEmpty());
    // OK meets the same failure and stays open; only Cancel closes.
    dialog.done(QDialog::Accepted);
    QCOMPARE(boxes.Messages.size(), 2);
    QVERIFY(dialog.isVisible());
    dialog.done(QDialog::Rejected);
    QVERIFY(!dialog.isVisible());
  }

  void associationFailureKeepsTheDialogOpen() {
    // A data folder that cannot be made: the desktop entry cannot be written.
    QFile blocker(FDir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    qputenv("XDG_DATA_HOME", FDir.filePath("blocker/data").toUtf8());
    TErrorBoxRecorder boxes;
    TfrmTNEFReaderOptions dialog;
    dialog.show();
    auto& f = dialog.Form();
    f.chkAssociateDatFile->setChecked(true);
    f.cbxLanguage->setCurrentIndex(1);
    f.edtMapi32Path->setText("/opt/other.so");
    QTest::mouseClick(f.Button2, Qt::LeftButton);
    QCOMPARE(boxes.Messages,
             QStringList{"Unexpected error associating dat files with this program. Please check if you have "
                         "rights to change the Windows Registry."});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
    TVelquinReaderOptions options;
    QVERIFY(options.AssociateDatFiles());
    QCOMPARE(options.Mapi32Path(), std::string("/opt/other.so"));
    QCOMPARE(int(options.Language()), 0);  // not reached

    // Cancel still closes it.
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }

  void escapeDoesNotClose() {
    TfrmTNEFReaderOptions dialog;
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    dialog.close();  // the title bar's button counts as Cancel
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }

  void libraryChooserStartsFromTheEditsFolder() {
    QTemporaryDir libs;
    QFile lib(libs.filePath("libmapi.so"));
    QVERIFY(lib.open(QIODevice::WriteOnly));
    lib.close();

    TfrmTNEFReaderOptions dialog;
    auto& edit = *dialog.Form().edtMapi32Path;
    const QString before = dialog.opdMapi32().directory().absolutePath();
    QString seenDirectory;
    TfrmTNEFReaderOptions::SetFileDialogRunner([&](QFileDialog& d) {
      seenDirectory = d.directory().absolutePath();
      return int(QDialog::Rejected);
    });
    edit.setText("Mapi32.dll");  // a bare name presets nothing
    dialog.btnMapi32PathClick();
    QCOMPARE(seenDirectory, before);
    QCOMPARE(edit.text(), QStringLiteral("Mapi32.dll"));

    edit.setText(libs.filePath("libmapi.so"));
    dialog.btnMapi32PathClick();
    QCOMPARE(seenDirectory, libs.path());

    TfrmTNEFReaderOptions::SetFileDialogRunner([&](QFileDialog& d) {
      d.selectFile(libs.filePath("libmapi.so"));
      return int(QDialog::Accepted);
    });
    edit.setText("Mapi32.dll");
    dialog.btnMapi32PathClick();
    QCOMPARE(edit.text(), libs.filePath("libmapi.so"));
    // Nothing is stored before OK.
    QVERIFY(TVelquinReaderOptions().Mapi32Path() != libs.filePath("libmapi.so").toStdString());
  }
};

QTEST_MAIN(TOptionsDialogTest)
#include "OptionsDialogTest.moc"
