// The real viewer, killed by SIGTERM, SIGINT or SIGHUP while it shows a file, still removes
// its temporary folders (which hold the web page with the subject and the attachment copies)
// and then ends by that signal; a start after a crash removes what the crashed one left.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include "UiTestSupport.h"
#include "QvConfigClass.h"
#include "Registry.h"

class TTerminationTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  QString TempDir() const { return FDir.filePath(QStringLiteral("tmp")); }
  QStringList OurFolders(qint64 pid) const {
    return QDir(TempDir()).entryList({QStringLiteral("velquin-%1-*").arg(pid)}, QDir::Dirs | QDir::Hidden);
  }

  // Starts the viewer on a file and waits until it has made its temporary folder.
  bool Start(QProcess& viewer) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TMPDIR"), TempDir());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), FDir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), FDir.filePath(QStringLiteral("etc")));
    viewer.setProcessEnvironment(env);
    viewer.start(QStringLiteral(VELQUIN_READER_EXE), {FDir.filePath(QStringLiteral("shown.dat"))});
    if (!viewer.waitForStarted(10000)) return false;
    for (int i = 0; i < 300 && OurFolders(viewer.processId()).isEmpty(); ++i) QTest::qWait(50);
    return !OurFolders(viewer.processId()).isEmpty();
  }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    QVERIFY(QDir().mkpath(TempDir()));
    UseScratchRegistry(FDir);
    // Past the first run, so that the file opens at once: the viewer's options live under
    // its own executable's name.
    TRegistry registry;
    QVERIFY(registry.OpenKey("\\" + TQvConfigClass::DefaultKeyPath("velquin-reader"), true));
    registry.WriteInteger("HasShowedOptions", 1);
    uitest::WriteMessage(FDir.filePath(QStringLiteral("shown.dat")), "Private subject", "{\\rtf1\\ansi Body\\par}",
                         {{"a.txt", "attachment"}});
  }

  void aSignalRemovesTheFoldersAndEndsByThatSignal_data() {
    QTest::addColumn<int>("signo");
    QTest::addRow("SIGTERM") << int(SIGTERM);
    QTest::addRow("SIGINT") << int(SIGINT);
    QTest::addRow("SIGHUP") << int(SIGHUP);
  }
  void aSignalRemovesTheFoldersAndEndsByThatSignal() {
    QFETCH(int, signo);
    QProcess viewer;
    QVERIFY(Start(viewer));
    const qint64 pid = viewer.processId();
    QCOMPARE(::kill(static_cast<pid_t>(pid), signo), 0);
    QVERIFY(viewer.waitForFinished(20000));
    QCOMPARE(viewer.exitStatus(), QProcess::CrashExit);  // ended by the signal, after cleaning up
    QCOMPARE(OurFolders(pid), QStringList());
  }

  // On a first run the window's first show holds the options dialog, before the main loop
  // has started: the signal must still end the viewer, not only the dialog.
  void aSignalDuringTheFirstRunDialogEndsTheViewer() {
    QTemporaryDir fresh;
    QVERIFY(fresh.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TMPDIR"), TempDir());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), fresh.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), fresh.filePath(QStringLiteral("etc")));
    QProcess viewer;
    viewer.setProcessEnvironment(env);
    viewer.start(QStringLiteral(VELQUIN_READER_EXE), {FDir.filePath(QStringLiteral("shown.dat"))});
    QVERIFY(viewer.waitForStarted(10000));
    // The first run records itself in the store before it shows the dialog.
    const QString config = fresh.filePath(QStringLiteral("config"));
    auto stored = [&config] {
      return !QDir(config).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty();
    };
    for (int i = 0; i < 300 && !stored(); ++i) QTest::qWait(50);
    QVERIFY(stored());
    QTest::qWait(500);
    QCOMPARE(::kill(static_cast<pid_t>(viewer.processId()), SIGTERM), 0);
    QVERIFY(viewer.waitForFinished(20000));
    QCOMPARE(viewer.exitStatus(), QProcess::CrashExit);
  }

  void aStartRemovesWhatAKilledViewerLeft() {
    QProcess killed;
    QVERIFY(Start(killed));
    const qint64 pid = killed.processId();
    killed.kill();  // SIGKILL: nothing can clean up
    QVERIFY(killed.waitForFinished(20000));
    QVERIFY(!OurFolders(pid).isEmpty());
    QProcess next;
    QVERIFY(Start(next));
    QCOMPARE(OurFolders(pid), QStringList());
    next.terminate();
    QVERIFY(next.waitForFinished(20000));
  }
};

QTEST_MAIN(TTerminationTest)
#include "TerminationTest.moc"
