#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>

#include "ErrorMessage.h"
#include "Exception.h"
#include "MailBuilder.h"
#include "MailDocument.h"
#include "TempDir.h"
#include "TnefBuilder.h"

using namespace tb;

namespace {

const std::string kDate = "Mon, 13 Nov 2017 08:01:13 -0500";

// A TNEF stream with a subject and one attachment, but no sender, recipients or date: what
// most real streams look like.
std::string Tnef(const std::string& subject, const std::string& attachment = "inner.txt") {
  TnefBuilder b;
  b.CodePage(1252).Subject(subject).MsgProps(PropBlock().Binary(0x1009, Lzfu("{\\rtf1 body}")));
  b.Attachment(attachment, "INNER");
  return b.Bytes();
}

std::string Body() { return Entity("Content-Type: text/plain; charset=us-ascii\n", "The body.\n"); }

std::string WriteFile(const TTempDir& dir, const std::string& name, const std::string& bytes) {
  const std::string path = dir / name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// Windows' runtime would write each "\n" as "\r\n" without it.
#ifdef O_BINARY
constexpr int kBinary = O_BINARY;
#else
constexpr int kBinary = 0;
#endif

// What WriteTnefPart decodes, read back from a scratch file.
std::string DecodedPart(const TMailFile& mail, int entry) {
  TTempDir dir;
  const std::string path = dir / "part";
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kBinary, 0600);
  EXPECT_TRUE(mail.WriteTnefPart(entry, fd));
  ::close(fd);
  return ReadFileBytes(path);
}

}  // namespace

// One mail holding every way senders attach a TNEF stream: base64 and named in the mail
// itself, quoted-printable and unnamed inside an attached mail; beside them a picture, the
// text body and an attached mail without TNEF.
TEST(MailFile, FindsTnefPartsAtAnyDepthWithTheHeadersAroundThem) {
  const std::string outerTnef = Tnef("Outer subject");
  const std::string innerTnef = Tnef("Inner subject", "deep.txt");
  const std::string forwarded =
      Mail("Inner Sender <inner@example.org>", "Someone <someone@example.org>", "Forwarded", "Tue, 14 Nov 2017 10:00:00 +0100",
           Multipart("mixed", "inner", {Body(), TnefPart(innerTnef, "quoted-printable", "", "application/vnd.ms-tnef")}));
  const std::string plain = Mail("p@example.org", "q@example.org", "Plain one", kDate, Body());
  const std::string mail = Mail(
      "=?utf-8?q?Ren=C3=A9_Dupr=C3=A9?= <rene@example.org>", "A <a@example.org>, b@example.org",
      "=?iso-8859-1?q?Caf=E9?= menu", kDate,
      Multipart("mixed", "outer",
                {Body(), TnefPart(outerTnef, "base64", "winmail.dat"), FilePart("photo.png", "image/png", "PNG-BYTES"),
                 Entity("Content-Type: message/rfc822\n", forwarded), Entity("Content-Type: message/rfc822\n", plain)}));
  const auto file = TMailFile::FromBytes(mail);
  EXPECT_FALSE(file->IsMailbox());
  ASSERT_EQ(file->Count(), 2);

  const TMailEntry& outer = file->Entry(0);
  EXPECT_EQ(outer.PartInMail, 0);
  EXPECT_EQ(outer.PartsInMail, 2);
  EXPECT_EQ(outer.PartName, "winmail.dat");
  EXPECT_EQ(outer.Headers.From, "René Dupré <rene@example.org>");
  EXPECT_EQ(outer.Headers.To, "A <a@example.org>; b@example.org");
  EXPECT_EQ(outer.Headers.Subject, "Café menu");
  EXPECT_EQ(outer.Headers.DateText, "2017-11-13 08:01:13 -0500");
  const TMailEntry& inner = file->Entry(1);
  EXPECT_EQ(inner.PartName, "");
  EXPECT_EQ(inner.Headers.From, "Inner Sender <inner@example.org>");
  EXPECT_EQ(inner.Headers.DateText, "2017-11-14 10:00:00 +0100");
  EXPECT_EQ(DecodedPart(*file, 0), outerTnef);
  EXPECT_EQ(DecodedPart(*file, 1), innerTnef);

  // Outside the TNEF parts: the picture and the attached mail without one; not the text
  // bodies, nor the attached mail whose TNEF part is listed already.
  const auto& others = file->Attachments(0);
  ASSERT_EQ(others.size(), 2u);
  EXPECT_EQ(others[0].Name, "photo.png");
  EXPECT_EQ(others[0].MimeType, "image/png");
  EXPECT_EQ(others[1].Name, "Plain one.eml");

  // The reader: the stream's own facts first, the mail's where the stream has none, and
  // the mail's other files as rows after the stream's attachments, bytes intact.
  const auto reader = OpenMailEntry(*file, 0, "");
  EXPECT_EQ(reader->DisplaySubject(), "Outer subject");
  EXPECT_EQ(reader->DisplayFrom(), "René Dupré <rene@example.org>");
  EXPECT_EQ(reader->RecipientLine(TRecipientType::To), "A <a@example.org>; b@example.org");
  EXPECT_EQ(DateTimeToIso(reader->DateSent()), "2017-11-13 08:01:13");
  ASSERT_EQ(reader->Count(), 3);
  EXPECT_EQ(reader->Files(0).DisplayName(), "inner.txt");
  EXPECT_FALSE(reader->Files(0).IsCarried());
  EXPECT_EQ(reader->Files(0).ReadBytes(100), "INNER");
  EXPECT_EQ(reader->Files(1).DisplayName(), "photo.png");
  EXPECT_TRUE(reader->Files(1).IsCarried());
  EXPECT_EQ(reader->Files(1).MimeTag(), "image/png");
  EXPECT_EQ(reader->Files(1).ReadBytes(100), "PNG-BYTES");
  EXPECT_EQ(reader->Files(2).ReadBytes(1 << 20), plain);
  TTempDir out;
  EXPECT_EQ(ReadFileBytes(reader->Files(1).SaveTo(out.Path(), "")), "PNG-BYTES");

  const auto innerReader = OpenMailEntry(*file, 1, "");
  EXPECT_EQ(innerReader->DisplayFrom(), "Inner Sender <inner@example.org>");
  EXPECT_EQ(innerReader->Files(0).DisplayName(), "deep.txt");
}

TEST(MailFile, SplitsAMailboxIntoItsMails) {
  const std::string first = Mail("one@example.org", "x@example.org", "First", kDate,
                                 Multipart("mixed", "b", {Entity("Content-Type: text/plain\n", "From here on\n"),
                                                          TnefPart(Tnef("T1"), "base64", "winmail.dat")}));
  const std::string second = Mail("two@example.org", "x@example.org", "No TNEF", kDate, Body());
  const std::string third = Mail("three@example.org", "x@example.org", "Third", kDate,
                                 TnefPart(Tnef("T3"), "base64", "WIN.DAT", "application/octet-stream"));
  TTempDir dir;
  const std::string path = WriteFile(dir, "box", Mbox({first, second, third}));
  const auto opened = TMailFile::Open(path);
  const TMailFile& box = *opened;
  EXPECT_TRUE(box.IsMailbox());
  EXPECT_EQ(box.MailCount(), 3);
  ASSERT_EQ(box.Count(), 2);
  EXPECT_EQ(box.Entry(0).Mail, 0);
  EXPECT_EQ(box.Entry(0).Headers.Subject, "First");
  EXPECT_EQ(box.Entry(1).Mail, 2);
  EXPECT_EQ(box.Entry(1).Headers.From, "three@example.org");
  EXPECT_EQ(OpenMailEntry(box, 1, "")->DisplaySubject(), "T3");

  // Several parts ask the chooser, which may decline.
  int asked = 0;
  const auto chosen = OpenDocument(path, "", [&](const TMailFile& mail) {
    ++asked;
    EXPECT_EQ(mail.Count(), 2);
    return 1;
  });
  EXPECT_EQ(asked, 1);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->DisplaySubject(), "T3");
  EXPECT_EQ(OpenDocument(path, "", [](const TMailFile&) { return -1; }), nullptr);
}

TEST(MailFile, OpensByContentAndSaysWhenAMailHasNoTnef) {
  TTempDir dir;
  const std::string tnef = WriteFile(dir, "message.eml", Tnef("Bare stream"));  // the name misleads
  EXPECT_EQ(OpenDocument(tnef, "", nullptr)->DisplaySubject(), "Bare stream");
  const std::string mail = WriteFile(dir, "winmail.dat", Mail("a@b", "c@d", "s", kDate, TnefPart(Tnef("In a mail"), "base64", "")));
  EXPECT_EQ(OpenDocument(mail, "", nullptr)->DisplaySubject(), "In a mail");
  const std::string none = WriteFile(dir, "plain.eml", Mail("a@b", "c@d", "s", kDate, Body()));
  EXPECT_EQ(MessageOf([&] { OpenDocument(none, "", nullptr); }), "The mail carries no winmail.dat");
  const std::string other = WriteFile(dir, "junk", "\x01\x02 not anything");
  EXPECT_EQ(MessageOf([&] { OpenDocument(other, "", nullptr); }), "Invalid file format");
}

// Damage that real mails show: a multipart without its boundary, base64 cut short, a
// mail that ends inside its headers. Each has a defined outcome, and what decoded stays.
TEST(MailFile, DamagedMailsGiveWhatTheyHold) {
  const std::string tnef = Tnef("Cut");
  const auto noBoundary = TMailFile::FromBytes(
      Mail("a@b", "c@d", "s", kDate, "Content-Type: multipart/mixed\n\n--x\n" + TnefPart(tnef, "base64", "winmail.dat")));
  EXPECT_LE(noBoundary->Count(), 1);

  std::string encoded = Base64(tnef);
  encoded.resize(encoded.size() / 2 + 1);  // mid-quantum
  const auto cut = TMailFile::FromBytes(
      Mail("a@b", "c@d", "s", kDate,
           Entity("Content-Type: application/ms-tnef\nContent-Transfer-Encoding: base64\n", encoded)));
  ASSERT_EQ(cut->Count(), 1);
  const std::string decoded = DecodedPart(*cut, 0);
  EXPECT_GT(decoded.size(), 0u);
  EXPECT_EQ(decoded, tnef.substr(0, decoded.size()));
  try {
    OpenMailEntry(*cut, 0, "");
  } catch (const Exception&) {
    // a stream cut inside a record is refused like a cut winmail.dat
  }

  EXPECT_EQ(TMailFile::FromBytes("Subject: only a head")->Count(), 0);
  EXPECT_EQ(MessageOf([] { TMailFile::FromBytes("\x01\x02"); }), "Invalid file format");
}
