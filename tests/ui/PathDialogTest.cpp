// The folder picker: the Directory setter's normalisation, Execute's answers, the shown and
// selection callbacks, the status line and the tree's root. The folder dialog's modal loop
// is replaced by a runner that acts as the user.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "Exception.h"
#include "PathDialog.h"

class TPathDialogTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    qputenv("HOME", FDir.path().toUtf8());
    qunsetenv("XDG_DESKTOP_DIR");
    qputenv("XDG_CONFIG_HOME", FDir.filePath("config").toUtf8());
    QDir(FDir.path()).mkpath("tree/inner");
  }
  void cleanup() {
    TPathDialog::SetModalRunner({});
    TPathDialog::SetMessageRunner({});
  }

  void directorySetterNormalises_data() {
    QTest::addColumn<QString>("assigned");
    QTest::addColumn<QString>("stored");
    QTest::newRow("trailing separator") << "/tmp/Temp/" << "/tmp/Temp";
    QTest::newRow("only one goes") << "/tmp/a//" << "/tmp/a/";
    QTest::newRow("root stays a folder") << "/" << "/";
    QTest::newRow("empty is the current directory") << "" << QDir::currentPath();
  }
  void directorySetterNormalises() {
    QFETCH(QString, assigned);
    QFETCH(QString, stored);
    TPathDialog dialog;
    dialog.SetDirectory(assigned);
    QCOMPARE(dialog.Directory(), stored);
    QVERIFY(dialog.DialogHandle() == nullptr);
  }

  void cancelKeepsTheDirectory() {
    TPathDialog dialog;
    dialog.SetDirectory(FDir.filePath("tree/"));
    bool ran = false;
    TPathDialog::SetModalRunner([&](QFileDialog& d) {
      ran = true;
      // The dialog opens at the assigned folder.
      [&] { QCOMPARE(QDir(d.directory()).absolutePath(), FDir.filePath("tree")); }();
      return int(QDialog::Rejected);
    });
    QVERIFY(!dialog.Execute());
    QVERIFY(ran);
    QCOMPARE(dialog.Directory(), FDir.filePath("tree"));

    // A remembered folder that has gone opens at its nearest parent, and stays remembered.
    dialog.SetDirectory(FDir.filePath("tree/gone/deeper"));
    TPathDialog::SetModalRunner([&](QFileDialog& d) {
      [&] { QCOMPARE(QDir(d.directory()).absolutePath(), FDir.filePath("tree")); }();
      return int(QDialog::Rejected);
    });
    QVERIFY(!dialog.Execute());
    QCOMPARE(dialog.Directory(), FDir.filePath("tree/gone/deeper"));
    QVERIFY(dialog.DialogHandle() == nullptr);
  }

  void choosingAFolderReturnsItAsChosen() {
    TPathDialog dialog;
    TPathDialog::SetModalRunner([&](QFileDialog& d) {
      d.setDirectory(FDir.filePath("tree/inner"));
      return int(QDialog::Accepted);
    });
    QVERIFY(dialog.Execute());
    QCOMPARE(dialog.Directory(), FDir.filePath("tree/inner"));

    // The root comes back with its separator, the only one it has.
    TPathDialog::SetModalRunner([&](QFileDialog& d) {
      d.setDirectory(QStringLiteral("/"));
      return int(QDialog::Accepted);
    });
    QVERIFY(dialog.Execute());
    QCOMPARE(dialog.Directory(), QStringLiteral("/"));
  }

  void theRealDialogAnswersThroughItsModalLoop() {
    TPathDialog dialog;
    dialog.SetDirectory(FDir.filePath("tree"));
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (d == nullptr) return;
      d->setDirectory(FDir.filePath("tree/inner"));
      QMetaObject::invokeMethod(d, "accept");
    });
    QVERIFY(dialog.Execute());
    QCOMPARE(dialog.Directory(), FDir.filePath("tree/inner"));
  }

  void callbacksRunWhileTheDialogIsOpen() {
    TPathDialog dialog;
    dialog.SetDirectory(FDir.filePath("tree"));
    dialog.SetStatusText("first");
    int shown = 0;
    QStringList selected;
    dialog.OnShow = [&](TPathDialog* sender) {
      ++shown;
      QVERIFY(sender->DialogHandle() != nullptr);
    };
    dialog.OnSelect = [&](TPathDialog*, const QString& path) { selected << path; };

    // Without a status line, a new status text is only stored.
    TPathDialog::SetModalRunner([&](QFileDialog& d) {
      [&] { QVERIFY(dialog.StatusLine() == nullptr); }();
      dialog.SetStatusText("second");
      emit d.currentChanged(FDir.filePath("tree/inner"));
      emit d.currentChanged(FDir.filePath("tree/missing"));
      return int(QDialog::Rejected);
    });
    QVERIFY(!dialog.Execute());
    QCOMPARE(shown, 1);
    QCOMPARE(selected, (QStringList{FDir.filePath("tree/inner"), QString()}));
    QCOMPARE(dialog.StatusText(), QStringLiteral("second"));

    // With one, the text appears at once, and moving Directory moves the dialog.
    dialog.SetShowStatus(true);
    TPathDialog::SetModalRunner([&](QFileDialog& d) {
      [&] {
        QVERIFY(dialog.StatusLine() != nullptr);
        QCOMPARE(dialog.StatusLine()->text(), QStringLiteral("second"));
        dialog.SetStatusText("third");
        QCOMPARE(dialog.StatusLine()->text(), QStringLiteral("third"));
        dialog.SetDirectory(FDir.filePath("tree/inner/"));
        QCOMPARE(QDir(d.directory()).absolutePath(), FDir.filePath("tree/inner"));
      }();
      return int(QDialog::Rejected);
    });
    QVERIFY(!dialog.Execute());
    QCOMPARE(shown, 2);
  }

  void failingEventsNeverLeaveTheDialog() {
    TPathDialog dialog;
    QStringList boxes;
    TPathDialog::SetMessageRunner([&](QWidget*, const QString& text) { boxes << text; });
    dialog.OnShow = [](TPathDialog*) { throw Exception("Shown badly"); };
    dialog.OnSelect = [](TPathDialog*, const QString&) { throw std::runtime_error("dropped"); };
    TPathDialog::SetModalRunner([&](QFileDialog& d) {
      emit d.currentChanged(FDir.filePath("tree"));
      return int(QDialog::Rejected);
    });
    QVERIFY(!dialog.Execute());
    QCOMPARE(boxes, QStringList{"Shown badly"});
  }

  void desktopRootNeedsTheDesktopFolder() {
    TPathDialog dialog;
    dialog.SetRootItem(TRootItem::riDesktop);
    QCOMPARE(TPathDialog().RootPath(), QDir::rootPath());
    const QString desktop = dialog.RootPath();
    QVERIFY(desktop.startsWith(FDir.path()));
    int runs = 0;
    TPathDialog::SetModalRunner([&](QFileDialog& d) {
      ++runs;
      // A folder outside the tree is replaced by its top.
      [&] { QCOMPARE(QDir(d.directory()).absolutePath(), desktop); }();
      return int(QDialog::Rejected);
    });
    dialog.SetDirectory("/usr");
    QVERIFY(!dialog.Execute());  // no desktop folder: no dialog
    QCOMPARE(runs, 0);
    QVERIFY(QDir().mkpath(desktop));
    QVERIFY(!dialog.Execute());
    QCOMPARE(runs, 1);
  }
};

QTEST_MAIN(TPathDialogTest)
#include "PathDialogTest.moc"
