// Start-up, first run and language switching, run as a French user (the locale comes from
// the environment, set before the application object exists). The language modules built
// for velquin-reader are copied beside this test under its own name, as the program looks
// them up by the executable's name.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "Languages.h"
#include "MessageHeader.h"
#include "Startup.h"
#include "StoreNotices.h"
#include "UiTestSupport.h"
#include "VelquinReaderOptions.h"
#include "fmTNEFReader.h"
#include "fmTNEFReaderOptions.h"
#include "ui_fmTNEFReaderOptions.h"

namespace {

QString Res(TStringId id) { return QString::fromStdString(LoadResString(id)); }

// The module path of this executable for an abbreviation.
QString ModuleBesideMe(const QString& abbreviation) {
  return QCoreApplication::applicationFilePath() + QLatin1Char('.') + abbreviation;
}

void InstallModule(const QString& abbreviation, const QString& as) {
  QFile::remove(ModuleBesideMe(as));
  QVERIFY(QFile::copy(QStringLiteral(VELQUIN_MODULE_DIR "/velquin-reader.") + abbreviation, ModuleBesideMe(as)));
}

}  // namespace

class TStartupTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  std::shared_ptr<TRecordingShell> FShell;
  int FDialogsShown = 0;

  void FreshRegistry() {
    static int n = 0;
    const QString root = FDir.filePath(QString::number(++n));
    qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", (root + "/etc").toUtf8());
    qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
  }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    InstallModule("FRA", "FRA");
    InstallModule("CHS", "CHS");
    FShell = std::make_shared<TRecordingShell>();
    SetShell(FShell);
  }
  void init() { FreshRegistry(); }
  void cleanup() {
    TfrmTNEFReaderOptions::SetModalRunner({});
    ApplyLanguage(0);
  }
  void cleanupTestCase() {
    for (const char* a : {"FRA", "CHS", "FR"}) QFile::remove(ModuleBesideMe(a));
    SetShell(nullptr);
  }

  void languageTable() {
    QCOMPARE(LanguageRowForLocale(0x040C), 1);
    QCOMPARE(LanguageRowForLocale(0x0C0C), 1);  // French (Canada): same primary language
    QCOMPARE(LanguageRowForLocale(0x0804), 2);
    QCOMPARE(LanguageRowForLocale(0x0416), -1);  // Portuguese is no row of ours
    QCOMPARE(LanguageRowForLocale(0x0407), -1);  // German keeps the stored language
    QCOMPARE(LanguageRow(5), 0);
    QCOMPARE(SystemDefaultLocaleId(), std::uint16_t(0x040C));
    QVERIFY(LanguageModuleCandidates(2).first().endsWith(QStringLiteral(".CHS")));
    QVERIFY(LanguageModuleCandidates(2).at(1).endsWith(QStringLiteral(".CH")));
  }

  void firstRunTakesTheLocalesLanguageAndShowsTheOptionsOnce() {
    QString captionSeen, noteSeen;
    TfrmTNEFReaderOptions::SetModalRunner([&](TfrmTNEFReaderOptions& d) {
      ++FDialogsShown;
      captionSeen = d.Form().Label3->text();
      if (auto* note = d.findChild<QLabel*>(QStringLiteral("lblFirstRun"))) noteSeen = note->text();
      d.done(QDialog::Accepted);
      return d.result();
    });
    QWidget window;
    FDialogsShown = 0;
    const QString mapi = RunStartupSequence(&window);
    QCOMPARE(FDialogsShown, 1);
    QCOMPARE(captionSeen, QStringLiteral("&Langue"));  // the dialog already speaks French
    // and says in one line why it appears before the window.
    QVERIFY2(noteSeen.startsWith(QStringLiteral("Bienvenue.")), qPrintable(noteSeen));
    QVERIFY(CurrentLanguageModule().endsWith(QStringLiteral(".FRA")));
    QCOMPARE(Res(TStringId::OneFileSaved), QStringLiteral("1 fichier enregistré"));
    TVelquinReaderOptions options;
    QVERIFY(options.HasShowedOptions());
    QCOMPARE(int(options.Language()), 1);
    QCOMPARE(mapi.toStdString(), options.Mapi32Path());

    // Later starts bring the association in line instead and show nothing.
    RunStartupSequence(&window);
    QCOMPARE(FDialogsShown, 1);
  }

  void choicesOfTheFirstRunDialogHoldForThatRun() {
    TfrmTNEFReaderOptions::SetModalRunner([](TfrmTNEFReaderOptions& d) {
      d.Form().cbxLanguage->setCurrentIndex(2);
      d.Form().edtMapi32Path->setText("/opt/chosen.so");
      d.done(QDialog::Accepted);
      return d.result();
    });
    QWidget window;
    QCOMPARE(RunStartupSequence(&window), QStringLiteral("/opt/chosen.so"));
    QVERIFY(CurrentLanguageModule().endsWith(QStringLiteral(".CHS")));
    QCOMPARE(Res(TStringId::LanguageChinese), QStringLiteral("简体中文"));
  }

  void optionsCommandAppliesOnlyOnOk() {
    TfrmTNEFReaderOptions::SetModalRunner([](TfrmTNEFReaderOptions& d) {
      d.Form().cbxLanguage->setCurrentIndex(1);
      d.done(QDialog::Rejected);
      return d.result();
    });
    QVERIFY(!ShowOptionsDialog(nullptr));
    QCOMPARE(CurrentLanguageModule(), QString());
    TfrmTNEFReaderOptions::SetModalRunner([](TfrmTNEFReaderOptions& d) {
      d.Form().cbxLanguage->setCurrentIndex(1);
      d.done(QDialog::Accepted);
      return d.result();
    });
    QVERIFY(ShowOptionsDialog(nullptr));
    QVERIFY(CurrentLanguageModule().endsWith(QStringLiteral(".FRA")));
  }

  void switchingRetranslatesOpenWindowsAtOnce() {
    TfrmTNEFReaderOptions dialog;
    dialog.show();
    dialog.Form().cbxLanguage->setCurrentIndex(2);
    ApplyLanguage(1);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
    QCOMPARE(dialog.Form().Label3->text(), QStringLiteral("&Langue"));
    QCOMPARE(dialog.Form().Button1->text(), QStringLiteral("Annuler"));
    QCOMPARE(dialog.Form().cbxLanguage->itemText(1), QStringLiteral("Français"));
    QCOMPARE(dialog.Form().cbxLanguage->currentIndex(), 2);  // the user's pick survives
    ApplyLanguage(2);
    QCOMPARE(dialog.Form().Button1->text(), QStringLiteral("取消"));
    ApplyLanguage(0);
    QCOMPARE(dialog.Form().Button1->text(), QStringLiteral("Cancel"));
    QCOMPARE(CurrentLanguageModule(), QString());
    QCOMPARE(Res(TStringId::OneFileSaved), QStringLiteral("1 file saved"));
  }

  void twoLetterModuleAndMissingModule() {
    QFile::remove(ModuleBesideMe("FRA"));
    InstallModule("FRA", "FR");
    QVERIFY(ApplyLanguage(1).endsWith(QStringLiteral(".FR")));
    QFile::remove(ModuleBesideMe("FR"));
    InstallModule("FRA", "FRA");
    // No module for English: the built-in texts.
    QCOMPARE(ApplyLanguage(0), QString());
  }

  // A store that cannot be used never stops the start: the window comes up, a file opens,
  // and one box that blocks nothing says what happened to the settings.
  void unusableStoresAreToldInTheWindowAndStopNothing_data() {
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<QString>("expected");
    QTest::newRow("store is a folder") << false << QStringLiteral("cannot be saved");
    QTest::newRow("store is damaged") << true << QStringLiteral("registry.sqlite3.corrupt-");
  }
  void unusableStoresAreToldInTheWindowAndStopNothing() {
    QFETCH(bool, damaged);
    QFETCH(QString, expected);
    const QString store = qEnvironmentVariable("XDG_CONFIG_HOME") + "/velquin-reader/registry.sqlite3";
    if (damaged) {
      QDir().mkpath(QFileInfo(store).path());
      QFile file(store);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(QByteArray(4096, 'x'));
    } else {
      QVERIFY(QDir().mkpath(store));
    }
    TakeStoreNotices();
    FDialogsShown = 0;
    TfrmTNEFReaderOptions::SetModalRunner([&](TfrmTNEFReaderOptions& d) {
      ++FDialogsShown;
      d.done(QDialog::Rejected);
      return d.result();
    });
    TErrorBoxRecorder boxes;
    TfmVelquinDatReader window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY2(boxes.Messages.isEmpty(), qPrintable(boxes.Messages.join('|')));
    auto* notice = window.findChild<QMessageBox*>(QStringLiteral("StoreNotice"));
    QVERIFY(notice != nullptr);
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->windowModality(), Qt::NonModal);
    QVERIFY2(notice->text().contains(expected), qPrintable(notice->text()));
    // A damaged store is replaced, so the first-run dialog runs; a folder skips it.
    QCOMPARE(FDialogsShown, damaged ? 1 : 0);

    const QString message = FDir.filePath(QStringLiteral("notice.dat"));
    uitest::WriteMessage(message, "Still opens", "{\\rtf1 x}");
    window.OpenFile(message);
    QVERIFY(window.Reader() != nullptr);
    // Told once: a later look finds nothing new.
    window.ShowStoreNotices();
    QCOMPARE(window.findChildren<QMessageBox*>(QStringLiteral("StoreNotice")).size(), 1);
  }

  // Dates follow the interface language, not only the system's: this French user reading
  // the English texts gets English dates; the French texts keep the system's conventions.
  // The header's captions take the colon as each language writes it.
  void datesAndCaptionsFollowTheInterfaceLanguage() {
    const QString path = FDir.filePath(QStringLiteral("dated.dat"));
    tb::TnefBuilder b;
    b.Subject("Dated").Msg(0x00038005, tb::Date(2024, 3, 5, 9, 7, 1));  // attDateSent
    b.WriteTo(path.toStdString());
    TfmVelquinDatReader window;
    window.OpenFile(path);
    const auto caption = [&] {
      for (const QLabel* label : window.MessageHeader().findChildren<QLabel*>())
        if (label->text().startsWith(QStringLiteral("Date")) || label->text().startsWith(QStringLiteral("日期")))
          return label->text();
      return QString();
    };

    ApplyLanguage(0);
    QCOMPARE(QLocale().language(), QLocale::English);
    QVERIFY2(window.MessageHeader().DateLine().FullText().contains(QStringLiteral("March")),
             qPrintable(window.MessageHeader().DateLine().FullText()));
    QCOMPARE(caption(), QStringLiteral("Date:"));

    ApplyLanguage(1);
    QCOMPARE(QLocale(), QLocale::system());
    QVERIFY2(window.MessageHeader().DateLine().FullText().contains(QStringLiteral("mars")),
             qPrintable(window.MessageHeader().DateLine().FullText()));
    QCOMPARE(caption(), QStringLiteral("Date\u00A0:"));

    ApplyLanguage(2);
    QCOMPARE(QLocale().language(), QLocale::Chinese);
    QVERIFY2(window.MessageHeader().DateLine().FullText().contains(QStringLiteral("3月")),
             qPrintable(window.MessageHeader().DateLine().FullText()));
    QVERIFY2(caption().endsWith(QChar(0xFF1A)), qPrintable(caption()));
  }

  void websiteFallsBackToTheUserGuide() {
    const QString guide =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/doc/velquin-reader/user-guide.html");
    QDir().mkpath(QFileInfo(guide).path());
    QFile file(guide);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    FShell->Requests.clear();
    actWebsiteExecute();
    QFile::remove(guide);
    QCOMPARE(FShell->Requests, std::vector<std::string>{guide.toStdString()});
  }
};

int main(int argc, char** argv) {
  // A French user: the first run must pick French.
  qputenv("LC_ALL", "fr_FR.UTF-8");
  qputenv("LANG", "fr_FR.UTF-8");
  QApplication app(argc, argv);
  TStartupTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "StartupTest.moc"
