// Open, Save and Save all: the overwrite question's four answers, the counts, numbered
// variants of repeated names, the body's file name, a failing write, the progress dialog's
// stop. Every modal answer comes from a scripted IAttachmentDialogs.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTest>
#include <deque>

#include "AttachmentActions.h"
#include "Exception.h"
#include "TNEFReaderClass.h"
#include "UiTestSupport.h"
#include "VelquinReaderOptions.h"

namespace {

class TScriptedDialogs : public IAttachmentDialogs {
public:
  // Answers, consumed in order.
  std::optional<QString> Folder;
  QString SaveAnswer;
  std::deque<TOverwriteAnswer> Answers;
  int StopAfterFiles = -1;  // the progress dialog's Cancel, pressed while that file is written
  // What was asked.
  QStringList FoldersOffered, SaveNamesOffered, Questions, Messages, ProgressFiles;
  qint64 ProgressTotal = -1;

  QString AskSaveFileName(const QString& fileName) override {
    SaveNamesOffered << fileName;
    return SaveAnswer;
  }
  std::optional<QString> PickFolder(const QString& directory) override {
    FoldersOffered << directory;
    return Folder;
  }
  TOverwriteAnswer AskOverwrite(const QString& question) override {
    Questions << question;
    if (Answers.empty()) return TOverwriteAnswer::No;
    const TOverwriteAnswer a = Answers.front();
    Answers.pop_front();
    return a;
  }
  void ShowMessage(const QString& text) override { Messages << text; }
  std::unique_ptr<ISaveAllProgress> BeginProgress(qint64 totalBytes, int) override {
    ProgressTotal = totalBytes;
    return std::make_unique<TProgress>(*this);
  }

private:
  struct TProgress : ISaveAllProgress {
    explicit TProgress(TScriptedDialogs& owner) : Owner(owner) {}
    void Writing(const QString& name, qint64) override { Owner.ProgressFiles << name; }
    bool Cancelled() override {
      return Owner.StopAfterFiles >= 0 && Owner.ProgressFiles.size() >= Owner.StopAfterFiles;
    }
    TScriptedDialogs& Owner;
  };
};

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

const char* const kRtf = "{\\rtf1\\ansi Body\\par}";

}  // namespace

class TAttachmentActionsTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  std::shared_ptr<TRecordingShell> FShell;

  QString Path(const QString& name) const { return FDir.filePath(name); }
  // A fresh, empty folder for one test's output.
  QString Folder(const QString& name) const {
    QDir(FDir.path()).mkpath(name);
    return Path(name);
  }
  std::unique_ptr<TTNEFReader> Open(const QString& name) {
    return std::make_unique<TTNEFReader>(Path(name).toStdString(), "");
  }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    UseScratchRegistry(FDir);
    FShell = std::make_shared<TRecordingShell>();
    SetShell(FShell);
    uitest::WriteMessage(Path("two.dat"), "Two", kRtf, {{"a.txt", "alpha"}, {"b.txt", "bravo"}});
    uitest::WriteMessage(Path("one.dat"), "One", kRtf, {{"only.bin", "xyz"}});
  }
  void cleanupTestCase() { SetShell(nullptr); }

  void saveAllIntoEmptyFolderWritesEveryRowAndRemembersTheFolder() {
    auto reader = Open("one.dat");
    TScriptedDialogs dialogs;
    dialogs.Folder = Folder("empty");
    TAttachmentActions actions(dialogs);
    const TSaveAllResult r = actions.actSaveAllExecute(*reader);
    QCOMPARE(r.Saved, 2);
    QVERIFY(dialogs.Questions.isEmpty());
    QCOMPARE(dialogs.Messages, QStringList{QStringLiteral("2 files saved")});
    QCOMPARE(Read(Folder("empty") + "/Message text.rtf"), QByteArray::fromStdString(reader->MessageText()));
    QCOMPARE(Read(Folder("empty") + "/only.bin"), QByteArray("xyz"));
    // The next Save all starts in the folder just used.
    QCOMPARE(QString::fromStdString(TVelquinReaderOptions().LastSaveAllDirectory()), Folder("empty"));
    actions.actSaveAllExecute(*reader);
    QCOMPARE(dialogs.FoldersOffered.last(), Folder("empty"));
  }

  void overwriteAnswers_data() {
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("replaced");
    using A = TOverwriteAnswer;
    QTest::newRow("yes to all asks once") << QList<int>{int(A::YesToAll)} << 1 << "3 files saved"
                                          << QStringList{"Message text.rtf", "a.txt", "b.txt"};
    QTest::newRow("no to all asks once") << QList<int>{int(A::NoToAll)} << 1 << "0 files saved" << QStringList{};
    QTest::newRow("mixed") << QList<int>{int(A::No), int(A::Yes), int(A::No)} << 3 << "1 file saved"
                           << QStringList{"a.txt"};
    QTest::newRow("no, then yes to all") << QList<int>{int(A::No), int(A::YesToAll)} << 2 << "2 files saved"
                                         << QStringList{"a.txt", "b.txt"};
  }
  void overwriteAnswers() {
    QFETCH(QList<int>, answers);
    QFETCH(int, questions);
    QFETCH(QString, message);
    QFETCH(QStringList, replaced);
    const QString folder = Folder(QStringLiteral("full-") + QTest::currentDataTag());
    for (const char* name : {"Message text.rtf", "a.txt", "b.txt"}) Write(folder + "/" + name, "old");

    auto reader = Open("two.dat");
    TScriptedDialogs dialogs;
    dialogs.Folder = folder;
    for (int a : answers) dialogs.Answers.push_back(TOverwriteAnswer(a));
    TAttachmentActions(dialogs).actSaveAllExecute(*reader);

    QCOMPARE(dialogs.Questions.size(), questions);
    QCOMPARE(dialogs.Questions.first(),
             QStringLiteral("The file \"Message text.rtf\" already exists on the selected directory. "
                            "Do you want to overwrite it?"));
    QCOMPARE(dialogs.Messages, QStringList{message});
    for (const char* name : {"Message text.rtf", "a.txt", "b.txt"})
      QCOMPARE(Read(folder + "/" + name) != "old", replaced.contains(QString::fromLatin1(name)));
  }

  void noToAllStillWritesFilesThatDoNotExist() {
    const QString folder = Folder("partly");
    Write(folder + "/Message text.rtf", "old");
    auto reader = Open("two.dat");
    TScriptedDialogs dialogs;
    dialogs.Folder = folder;
    dialogs.Answers = {TOverwriteAnswer::NoToAll};
    TAttachmentActions(dialogs).actSaveAllExecute(*reader);
    QCOMPARE(dialogs.Messages, QStringList{"2 files saved"});
    QCOMPARE(Read(folder + "/Message text.rtf"), QByteArray("old"));
    QCOMPARE(Read(folder + "/b.txt"), QByteArray("bravo"));
  }

  void cancellingThePickerWritesAndStoresNothing() {
    TVelquinReaderOptions().SetLastSaveAllDirectory("/kept");
    auto reader = Open("two.dat");
    TScriptedDialogs dialogs;  // no folder: cancelled
    QVERIFY(!TAttachmentActions(dialogs).actSaveAllExecute(*reader).Ran);
    QVERIFY(dialogs.Messages.isEmpty());
    QCOMPARE(dialogs.FoldersOffered, QStringList{"/kept"});
    QCOMPARE(TVelquinReaderOptions().LastSaveAllDirectory(), std::string("/kept"));
  }

  void repeatedNamesGetNumberedVariantsWithinOneRun() {
    tb::TnefBuilder b;
    b.Subject("Pictures");
    b.Attachment("image001.png", "first").Attachment("image001.png", "second").Attachment("IMAGE001.png", "third");
    b.WriteTo(Path("dups.dat").toStdString());
    auto reader = Open("dups.dat");
    const QString folder = Folder("dups");
    TScriptedDialogs dialogs;
    dialogs.Folder = folder;
    TAttachmentActions(dialogs).actSaveAllExecute(*reader);
    QVERIFY(dialogs.Questions.isEmpty());
    QCOMPARE(Read(folder + "/image001.png"), QByteArray("first"));
    QCOMPARE(Read(folder + "/image001 (2).png"), QByteArray("second"));
    QCOMPARE(Read(folder + "/IMAGE001 (3).png"), QByteArray("third"));
    // The body of a message without any body is still the RTF row's name.
    QVERIFY(QFileInfo::exists(folder + "/Message text.rtf"));
    // Saving again asks about each of the names it used last time, numbered ones included.
    dialogs.Answers = {TOverwriteAnswer::YesToAll};
    TAttachmentActions(dialogs).actSaveAllExecute(*reader);
    QCOMPARE(dialogs.Questions.size(), 1);
    QCOMPARE(dialogs.Messages.last(), QStringLiteral("4 files saved"));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 4);
  }

  void htmlAndPlainBodiesAreSavedAsTheyAre() {
    tb::TnefBuilder html;
    html.Subject("Html");
    html.MsgProps(tb::PropBlock().Binary(uitest::kBodyHtml, "<p>Hi</p>"));
    html.Attachment("x.txt", "x");
    html.WriteTo(Path("html.dat").toStdString());
    tb::TnefBuilder plain;
    plain.Subject("Plain");
    plain.MsgProps(tb::PropBlock().String8(uitest::kBody, "Just text"));
    plain.Attachment("x.txt", "x");
    plain.WriteTo(Path("plain.dat").toStdString());

    TScriptedDialogs dialogs;
    dialogs.Folder = Folder("bodies");
    auto h = Open("html.dat");
    TAttachmentActions(dialogs).actSaveAllExecute(*h);
    QCOMPARE(Read(Folder("bodies") + "/Message text.htm"), QByteArray("<p>Hi</p>"));
    auto p = Open("plain.dat");
    TAttachmentActions(dialogs).actSaveAllExecute(*p);
    QCOMPARE(Read(Folder("bodies") + "/Message text.txt"), QByteArray("Just text"));
    QVERIFY(!QFileInfo::exists(Folder("bodies") + "/Message text.rtf"));
  }

  void aFailingWriteStopsAtThatRowWithoutACount() {
    const QString folder = Folder("blocked");
    // A folder where the second row's file should go: that file cannot be written.
    QDir(folder).mkpath("a.txt");
    auto reader = Open("two.dat");
    TScriptedDialogs dialogs;
    dialogs.Folder = folder;
    dialogs.Answers = {TOverwriteAnswer::Yes};
    // The folder is stored before the first file is written.
    TVelquinReaderOptions().SetLastSaveAllDirectory("");
    QVERIFY_THROWS_EXCEPTION(std::exception, TAttachmentActions(dialogs).actSaveAllExecute(*reader));
    QVERIFY(dialogs.Messages.isEmpty());
    QVERIFY(QFileInfo(folder + "/Message text.rtf").isFile());
    QVERIFY(!QFileInfo::exists(folder + "/b.txt"));
    QCOMPARE(QString::fromStdString(TVelquinReaderOptions().LastSaveAllDirectory()), folder);
  }

  void largeSaveAllShowsProgressAndStopsAfterTheCurrentFile() {
    const std::string big(static_cast<std::size_t>(kSaveAllProgressThreshold / 2 + 1), 'z');
    uitest::WriteMessage(Path("big.dat"), "Big", kRtf, {{"one.bin", big}, {"two.bin", big}, {"three.bin", "3"}});
    auto reader = Open("big.dat");
    TScriptedDialogs dialogs;
    dialogs.Folder = Folder("big");
    dialogs.StopAfterFiles = 2;  // pressed while one.bin is written
    const TSaveAllResult r = TAttachmentActions(dialogs).actSaveAllExecute(*reader);
    QVERIFY(dialogs.ProgressTotal > kSaveAllProgressThreshold);
    QCOMPARE(dialogs.ProgressFiles, (QStringList{"Message text.rtf", "one.bin"}));
    QVERIFY(r.Cancelled);
    QCOMPARE(dialogs.Messages, QStringList{"2 files saved"});
    QCOMPARE(QFileInfo(Folder("big") + "/one.bin").size(), qint64(big.size()));
    QVERIFY(!QFileInfo::exists(Folder("big") + "/two.bin"));

    // Small runs show none.
    TScriptedDialogs small;
    small.Folder = Folder("small");
    auto two = Open("two.dat");
    TAttachmentActions(small).actSaveAllExecute(*two);
    QCOMPARE(small.ProgressTotal, qint64(-1));
  }

  void saveWritesTheChosenRowUnderTheChosenName() {
    auto reader = Open("two.dat");
    TScriptedDialogs dialogs;
    const QString folder = Folder("single");
    dialogs.SaveAnswer = folder + "/renamed.txt";
    TAttachmentActions actions(dialogs);
    actions.actSaveExecute(*reader, &reader->Files(1));
    QCOMPARE(dialogs.SaveNamesOffered, QStringList{"b.txt"});
    QCOMPARE(Read(folder + "/renamed.txt"), QByteArray("bravo"));

    dialogs.SaveAnswer = folder + "/body.rtf";
    actions.actSaveExecute(*reader, nullptr);
    QCOMPARE(dialogs.SaveNamesOffered.last(), QStringLiteral("Message text.rtf"));
    QCOMPARE(Read(folder + "/body.rtf"), QByteArray::fromStdString(reader->MessageText()));

    dialogs.SaveAnswer.clear();  // cancelled
    actions.actSaveExecute(*reader, &reader->Files(0));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
  }

  void openHandsTheTemporaryCopyToTheShellAndTheBodyRowDoesNothing() {
    auto reader = Open("two.dat");
    FShell->Requests.clear();
    TAttachmentActions::actOpenExecute(nullptr);
    QVERIFY(FShell->Requests.empty());
    TAttachmentActions::actOpenExecute(&reader->Files(0));
    QCOMPARE(FShell->Requests.size(), std::size_t(1));
    QCOMPARE(Read(QString::fromStdString(FShell->Requests[0])), QByteArray("alpha"));

    // Dragging out of the list offers the same temporary copy.
    std::unique_ptr<QMimeData> drag(AttachmentDragData(reader->Files(1)));
    QCOMPARE(drag->urls().size(), 1);
    QCOMPARE(Read(drag->urls().first().toLocalFile()), QByteArray("bravo"));
  }
};

QTEST_MAIN(TAttachmentActionsTest)
#include "AttachmentActionsTest.moc"
