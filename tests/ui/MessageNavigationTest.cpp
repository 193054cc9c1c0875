// The window with attached messages and calendar items: an attached message listed by its
// subject, shown in the pane when selected, opened in place of its parent with Back to
// return; the pane's Date, To and Cc lines; a meeting's summary and its iCalendar export.

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "AttachmentListModel.h"
#include "MessageHeader.h"
#include "MimeClassesRootProvider.h"
#include "TNEFReaderClass.h"
#include "UiTestSupport.h"
#include "fmTNEFReader.h"
#include "fmTNEFReaderOptions.h"
#include "ui_fmTNEFReader.h"

using uitest::AttachMessage;
using uitest::WriteMessage;

namespace {

constexpr std::uint32_t kMessageClass = 0x00078008;  // attMessageClass
constexpr std::uint32_t kRecipTable = 0x00069004;    // attRecipTable
constexpr std::int64_t kStart = 1358762400;          // 2013-01-21 10:00 UTC

std::string Row(std::uint32_t type, const std::string& name, const std::string& address) {
  return tb::PropBlock().String8(0x3001, name).String8(0x39FE, address).Long(0x0C15, type).Bytes();
}

// A message with a body, a To and a Cc recipient and one attached file.
std::string Inner(const std::string& subject) {
  tb::TnefBuilder b;
  b.Subject(subject);
  b.MsgProps(tb::PropBlock().String8(uitest::kSenderName, "Inner Sender")
                 .Binary(uitest::kRtfCompressed, tb::Lzfu("{\\rtf1\\ansi Inner body\\par}")));
  b.Msg(kRecipTable, tb::Le32(2) + Row(1, "Ann", "ann@x.org") + Row(2, "Bob", "bob@x.org"));
  b.Attachment("inner.txt", "INNER BYTES");
  return b.Bytes();
}

}  // namespace

class TMessageNavigationTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  QString Path(const QString& name) const { return FDir.filePath(name); }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    UseWindowTestEnvironment(FDir);
  }
  void cleanupTestCase() { SetClassesRootProvider(nullptr); }

  void attachedMessageOpensInPlaceAndBackReturns() {
    // outer > "Middle" > "Deepest": two levels, each listed by its subject.
    tb::TnefBuilder middle;
    middle.Subject("Middle");
    AttachMessage(middle, Inner("Deepest"));
    tb::TnefBuilder outer;
    outer.Subject("Outer").Attachment("first.txt", "FIRST");
    AttachMessage(outer, middle.Bytes());
    outer.WriteTo(Path("nested.dat").toStdString());

    TfmVelquinDatReader w;
    w.OpenFile(Path("nested.dat"));
    auto& f = w.Form();
    QAction* back = w.findChild<QAction*>(QStringLiteral("actBack"));
    QVERIFY(back != nullptr);
    QVERIFY(!back->isVisible());
    QCOMPARE(w.ListModel().Count(), 3);
    QCOMPARE(w.RowText(2, 0), QStringLiteral("Middle"));
    QCOMPARE(w.RowText(2, 1), QStringLiteral("Embedded message"));
    QCOMPARE(w.ListModel().Row(2).Bytes, middle.Bytes().size());

    // Selecting the row shows the attached message in the pane, not the hint.
    w.SelectRow(2);
    QVERIFY(!f.pnlMessage->isHidden());
    QCOMPARE(f.edtSubject->text(), QStringLiteral("Middle"));

    f.actOpen->trigger();
    QCOMPARE(w.NestingDepth(), 1);
    QCOMPARE(w.windowTitle(), QStringLiteral("Velquin Reader - Middle"));
    QCOMPARE(w.RowText(1, 0), QStringLiteral("Deepest"));
    QVERIFY(back->isVisible() && back->isEnabled());
    QCOMPARE(back->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Left));

    w.SelectRow(1);
    f.actOpen->trigger();
    QCOMPARE(w.NestingDepth(), 2);
    QCOMPARE(w.ListModel().Count(), 2);
    QCOMPARE(w.RowText(1, 0), QStringLiteral("inner.txt"));
    w.SelectRow(0);
    QCOMPARE(f.edtSubject->text(), QStringLiteral("Deepest"));
    QVERIFY(f.RichEdit1->toPlainText().contains(QStringLiteral("Inner body")));

    back->trigger();
    back->trigger();
    QCOMPARE(w.NestingDepth(), 0);
    QVERIFY(!back->isVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("Velquin Reader - Outer"));
    QCOMPARE(w.ListModel().Count(), 3);
    // Back where the user left: the attached message's row is selected again.
    QCOMPARE(f.edtSubject->text(), QStringLiteral("Middle"));
  }

  // A sound file can carry a damaged attached message: shown or opened, it gets the notice.
  void damagedAttachedMessageIsTold() {
    tb::TnefBuilder outer;
    outer.Subject("Outer");
    AttachMessage(outer, Inner("Cut") + "trailing garbage");
    outer.WriteTo(Path("carrier.dat").toStdString());

    TfmVelquinDatReader w;
    w.OpenFile(Path("carrier.dat"));
    QVERIFY(w.DamagedNotice() == nullptr || w.DamagedNotice()->isHidden());
    w.SelectRow(1);
    QCOMPARE(w.Form().edtSubject->text(), QStringLiteral("Cut"));
    QVERIFY(w.DamagedNotice() && w.DamagedNotice()->isVisible());
    w.DamagedNotice()->hide();
    w.Form().actOpen->trigger();
    QCOMPARE(w.NestingDepth(), 1);
    QVERIFY(w.DamagedNotice()->isVisible());
  }

  void headerShowsDateToAndCcAndHidesEmptyLines() {
    tb::TnefBuilder with;
    with.Subject("Head").Msg(0x00038005, tb::Date(2024, 3, 5, 9, 7, 1));  // attDateSent
    with.Msg(kRecipTable, tb::Le32(2) + Row(1, "Ann", "ann@x.org") + Row(2, "Bob", "bob@x.org"));
    with.WriteTo(Path("head.dat").toStdString());
    WriteMessage(Path("bare.dat"), "Bare", "{\\rtf1\\ansi x\\par}");

    TfmVelquinDatReader w;
    w.resize(900, 600);
    w.show();
    w.OpenFile(Path("head.dat"));
    TMessageHeader& h = w.MessageHeader();
    QCOMPARE(h.ToLine().FullText(), QStringLiteral("Ann <ann@x.org>"));
    QCOMPARE(h.CcLine().FullText(), QStringLiteral("Bob <bob@x.org>"));
    QVERIFY(h.DateLine().FullText().contains(QStringLiteral("2024")));
    QVERIFY(h.ToLine().isVisibleTo(&w) && h.CcLine().isVisibleTo(&w));
    QVERIFY(h.SummaryText().isEmpty() && !h.SummaryBox().isVisibleTo(&w));

    // A long line is elided, the whole kept in the tooltip.
    const QString many = QStringLiteral("Somebody With A Long Name <somebody@example.org>; ").repeated(40);
    h.ToLine().SetFullText(many);
    QVERIFY(h.ToLine().text().size() < many.size());
    QCOMPARE(h.ToLine().toolTip(), many);

    w.OpenFile(Path("bare.dat"));
    QVERIFY(!h.ToLine().isVisibleTo(&w) && !h.CcLine().isVisibleTo(&w) && !h.DateLine().isVisibleTo(&w));
  }

  void meetingShowsItsSummaryAndExportsICalendar() {
    tb::TnefBuilder b;
    b.Msg(kMessageClass, std::string("IPM.Schedule.Meeting.Request") + '\0').Subject("Planning");
    b.MsgProps(tb::PropBlock()
                   .NamedTime(tb::kPsetidAppointment, 0x820D, kStart)
                   .NamedTime(tb::kPsetidAppointment, 0x820E, kStart + 3600)
                   .NamedString8(tb::kPsetidAppointment, 0x8208, "Room 4"));
    b.Msg(kRecipTable, tb::Le32(2) + Row(1, "Ann", "ann@x.org") + Row(2, "Bob", "bob@x.org"));
    b.WriteTo(Path("meeting.dat").toStdString());
    WriteMessage(Path("plain.dat"), "Plain", "{\\rtf1\\ansi x\\par}");

    TfmVelquinDatReader w;
    w.resize(900, 600);
    w.show();
    QAction* add = w.findChild<QAction*>(QStringLiteral("actAddToCalendar"));
    QVERIFY(add != nullptr);
    w.OpenFile(Path("plain.dat"));
    QVERIFY(!add->isEnabled());
    w.OpenFile(Path("meeting.dat"));
    QVERIFY(add->isEnabled());
    const QString summary = w.MessageHeader().SummaryText();
    QVERIFY2(summary.contains(QStringLiteral("What: Planning")), qPrintable(summary));
    QVERIFY(summary.contains(QStringLiteral("Where: Room 4")));
    QVERIFY(summary.contains(QStringLiteral("Ann <ann@x.org> (required)")));
    QVERIFY(summary.contains(QStringLiteral("Bob <bob@x.org> (optional)")));
    QVERIFY(w.MessageHeader().SummaryBox().isVisibleTo(&w));

    // The save dialog is answered with a path at once.
    const QString target = Path("Planning.ics");
    QFileDialog& dialog = w.SaveDialog();
    QTimer::singleShot(0, &dialog, [&dialog, target] {
      dialog.selectFile(target);
      QMetaObject::invokeMethod(&dialog, "accept");
    });
    add->trigger();
    QFile written(target);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray ics = written.readAll();
    QVERIFY2(ics.startsWith("BEGIN:VCALENDAR"), ics.constData());
    QVERIFY(ics.contains("METHOD:REQUEST"));
    QVERIFY(ics.contains("DTSTART:20130121T100000Z"));
    QVERIFY(ics.contains("LOCATION:Room 4"));
  }
};

QTEST_MAIN(TMessageNavigationTest)
#include "MessageNavigationTest.moc"
