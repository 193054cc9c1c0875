#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "CompressedRtf.h"
#include "Exception.h"
#include "TNEFReaderClass.h"
#include "TempDir.h"
#include "TnefBuilder.h"

using namespace tb;

namespace {

constexpr std::uint32_t kSubject = 0x00018004;
constexpr std::uint32_t kMessageClass = 0x00078008;
constexpr std::uint32_t kDateSent = 0x00038005;
constexpr std::uint32_t kDateModified = 0x00038020;
constexpr std::uint32_t kTnefVersion = 0x00089006;

class ReaderTest : public ::testing::Test {
protected:
  std::unique_ptr<TTNEFReader> Read(const TnefBuilder& b) { return Read(b.Bytes()); }
  std::unique_ptr<TTNEFReader> Read(const std::string& bytes) {
    const std::string path = Dir / ("t" + std::to_string(++FCount) + ".tnef");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return std::make_unique<TTNEFReader>(path, "/nonexistent/mail-library.so");
  }
  std::string ErrorOf(const std::string& bytes) {
    try {
      Read(bytes);
    } catch (const std::exception& e) {
      return e.what();
    }
    return "(no error)";
  }
  TTempDir Dir;

private:
  int FCount = 0;
};

}  // namespace

TEST_F(ReaderTest, SignatureAndKeyAloneGiveAnEmptyModel) {
  const auto r = Read(TnefBuilder());
  EXPECT_EQ(r->Count(), 0);
  EXPECT_EQ(r->Subject(), "");
  EXPECT_EQ(r->From(), "");
  EXPECT_EQ(r->MessageText(), "");
  EXPECT_EQ(r->BodyKind(), TBodyKind::None);
}

TEST_F(ReaderTest, FileErrorsAndTheirMessages) {
  EXPECT_EQ(ErrorOf(""), "Invalid file format");
  EXPECT_EQ(ErrorOf("\x78\x9F\x3E"), "Invalid file format");
  EXPECT_EQ(ErrorOf(std::string("\x78\x9F\x3E\x23\x01\x00", 6)), "Invalid file format");
  // A level-1 length one more than the bytes left after the length field.
  TnefBuilder tooLong;
  tooLong.Attr(1, kSubject, "Hello", 6u, false);
  EXPECT_EQ(ErrorOf(tooLong.Bytes()), "Object larger than file size or object header corrupted");
  EXPECT_THROW(TTNEFReader(Dir / "missing.tnef", ""), EFileError);
  EXPECT_THROW(TTNEFReader(Dir.Path(), ""), EFileError);  // a folder
}

TEST_F(ReaderTest, DataEndingExactlyAtTheEndOfTheFileIsAccepted) {
  TnefBuilder b;
  b.Attr(1, kSubject, std::string("Hi\0", 3), {}, false);
  EXPECT_EQ(Read(b)->Subject(), "Hi");
}

TEST_F(ReaderTest, UnknownLevelEndsTheWalkKeepingWhatWasRead) {
  for (char level : {'\0', '\3', '\n'}) {
    TnefBuilder b;
    b.Subject("Kept").Attachment("a.txt", "abc").Raw(std::string(1, level)).Attachment("b.txt", "x");
    const auto r = Read(b);
    EXPECT_EQ(r->Subject(), "Kept");
    ASSERT_EQ(r->Count(), 1);
    EXPECT_EQ(r->Files(0).FileName(), "a.txt");
  }
}

TEST_F(ReaderTest, SubjectAttributeAndItsEntry) {
  const auto r = Read(TnefBuilder().Subject("Hello"));
  EXPECT_EQ(r->Subject(), "Hello");
  ASSERT_EQ(r->Attributes().size(), 1u);
  EXPECT_EQ(r->Attributes()[0], std::string("98308=Hello\0", 12));
}

TEST_F(ReaderTest, NulExtensionReadsTheNulTheLengthLeftOut) {
  // Length 5 ("Hello"); the NUL follows in the file, then the checksum, then a title.
  TnefBuilder b;
  b.Raw("\x01").Raw(Le32(kSubject) + Le32(5) + "Hello" + '\0' + "cs");
  b.Attachment("after.txt", "1234");
  const auto r = Read(b);
  EXPECT_EQ(r->Subject(), "Hello");
  EXPECT_EQ(r->Attributes()[0], "98308=Hello");  // the entry holds the data as first read
  ASSERT_EQ(r->Count(), 1);
  EXPECT_EQ(r->Files(0).FileName(), "after.txt");
  EXPECT_EQ(r->Files(0).Size(), 4u);
}

TEST_F(ReaderTest, NulExtensionStopsAtTheEndOfTheFileAndEmptyTextsStayEmpty) {
  TnefBuilder atEnd;
  atEnd.Raw("\x01").Raw(Le32(kMessageClass) + Le32(3) + "IPM");
  EXPECT_NO_THROW(Read(atEnd));
  TnefBuilder empty;
  empty.Msg(kSubject, "").Msg(kMessageClass, "").Subject("Second");
  const auto r = Read(empty);
  EXPECT_EQ(r->Subject(), "Second");
  EXPECT_EQ(r->Attributes()[0], "98308=");
  EXPECT_EQ(r->Attributes()[1], "491528=");
}

TEST_F(ReaderTest, AttributesRecordUnhandledMessageAttributes) {
  const auto r = Read(TnefBuilder().Msg(kTnefVersion, Le32(0x00010000)));
  ASSERT_EQ(r->Attributes().size(), 1u);
  EXPECT_EQ(r->Attributes()[0], "561158=" + Le32(0x00010000));
  EXPECT_EQ(r->Subject(), "");
}

TEST_F(ReaderTest, DatesDecodeOnlyWhenValid) {
  TnefBuilder b;
  b.Msg(kDateSent, Date(2024, 2, 29, 13, 45, 30)).Msg(kDateModified, Date(2024, 2, 30, 0, 0, 0));
  const auto r = Read(b);
  EXPECT_EQ(DateTimeToIso(r->DateSent()), "2024-02-29 13:45:30");
  EXPECT_EQ(r->DateModified(), 0);

  TnefBuilder bad;
  bad.Msg(kDateSent, Date(2023, 1, 1, 0, 0, 0) + "xx").Msg(kDateSent, Date(2023, 1, 1, 24, 0, 0));
  EXPECT_EQ(Read(bad)->DateSent(), 0);
  // A later invalid date keeps the earlier valid one.
  TnefBuilder keep;
  keep.Msg(kDateSent, Date(1999, 10, 13, 22, 47, 44)).Msg(kDateSent, Date(1999, 13, 1, 0, 0, 0));
  EXPECT_EQ(DateTimeToIso(Read(keep)->DateSent()), "1999-10-13 22:47:44");
}

TEST_F(ReaderTest, TitlesAndDataPairByCounting) {
  TnefBuilder b;
  b.Title("one.txt").Data("first").Title("two.txt").Data("second!");
  const auto r = Read(b);
  ASSERT_EQ(r->Count(), 2);
  EXPECT_EQ(r->Files(0).FileName(), "one.txt");
  EXPECT_EQ(r->Files(0).Size(), 5u);
  EXPECT_EQ(r->Files(1).FileName(), "two.txt");
  EXPECT_EQ(r->Files(1).Size(), 7u);
  EXPECT_EQ(r->Files(1).Index(), 1);
  EXPECT_THROW(r->Files(2), EListError);
  EXPECT_THROW(r->Files(-1), EListError);

  // Data for two attachments, a title only for the second: the counting gives the title
  // to the first item.
  TnefBuilder odd;
  odd.Data("AAAA").Data("BB").Title("second.bin");
  const auto o = Read(odd);
  ASSERT_EQ(o->Count(), 2);
  EXPECT_EQ(o->Files(0).FileName(), "second.bin");
  EXPECT_EQ(o->Files(0).Size(), 4u);
  EXPECT_EQ(o->Files(1).FileName(), "");
  EXPECT_EQ(o->Files(1).Size(), 2u);
}

TEST_F(ReaderTest, DataOffsetPointsAtTheFirstDataByte) {
  TnefBuilder b;
  b.Title("x.bin").Data("PAYLOAD");
  const auto r = Read(b);
  EXPECT_EQ(b.Bytes().substr(static_cast<std::size_t>(r->Files(0).Offset()), 7), "PAYLOAD");
}

TEST_F(ReaderTest, LongFileNameReplacesTheTitle) {
  TnefBuilder b;
  b.RendData().Title("REPORT~1.PDF").Data("%PDF").AttProps(PropBlock().String8(0x3707, "Report 2024.pdf"));
  b.RendData().Title("DATA~1.TXT").Data("d").AttProps(PropBlock().Unicode(0x3707, "Données.txt"));
  const auto r = Read(b);
  EXPECT_EQ(r->Files(0).FileName(), "Report 2024.pdf");
  EXPECT_EQ(r->Files(1).DisplayName(), "Données.txt");
  EXPECT_TRUE(r->Files(1).FileNameIsUtf8());
}

TEST_F(ReaderTest, LongFileNameEdgeCases) {
  // The last matching property wins; other types and value-less ones are ignored.
  TnefBuilder b;
  b.Title("T.TXT").AttProps(PropBlock()
                                .String8(0x3707, "first.txt")
                                .Counted(0x001E, 0x3707, {})
                                .Binary(0x3707, "binary")
                                .Counted(0x001E, 0x3707, {std::string("last.txt")}));
  EXPECT_EQ(Read(b)->Files(0).FileName(), "last.txt");  // no NUL: the whole value
}

TEST_F(ReaderTest, LongFileNameWithoutAnyAttachmentFailsWithTheIndexError) {
  TnefBuilder b;
  b.AttProps(PropBlock().String8(0x3707, "orphan.txt"));
  EXPECT_EQ(ErrorOf(b.Bytes()), "List index out of bounds (-1)");
  // Without a long file name the block is harmless.
  TnefBuilder ok;
  ok.AttProps(PropBlock().Long(0x0E21, 1));
  EXPECT_NO_THROW(Read(ok));
}

TEST_F(ReaderTest, AttachmentBlockWithANegativeCountFailsTheRead) {
  TnefBuilder b;
  b.Title("a").AttProps(PropBlock().Count(-1));
  EXPECT_EQ(ErrorOf(b.Bytes()), "Range check error");
}

TEST_F(ReaderTest, TitlelessAttachmentsTakeNameAndBytesFromTheirProperties) {
  const std::string iid(16, 'I');
  TnefBuilder b;
  b.RendData().AttProps(PropBlock().String8(0x3707, "plain.doc").Binary(0x3701, "DOCBYTES"));
  b.RendData().AttProps(
      PropBlock().Unicode(0x3707, "object.bin").Counted(0x000D, 0x3701, {iid + "OBJBYTES!"}));
  b.RendData().AttProps(PropBlock().String8(0x3707, "empty.txt"));
  const auto r = Read(b);
  ASSERT_EQ(r->Count(), 3);
  EXPECT_EQ(r->Files(0).FileName(), "plain.doc");
  EXPECT_EQ(r->Files(0).Size(), 8u);
  EXPECT_EQ(b.Bytes().substr(static_cast<std::size_t>(r->Files(0).Offset()), 8), "DOCBYTES");
  EXPECT_EQ(r->Files(1).DisplayName(), "object.bin");
  EXPECT_EQ(r->Files(1).Size(), 9u);
  EXPECT_EQ(b.Bytes().substr(static_cast<std::size_t>(r->Files(1).Offset()), 9), "OBJBYTES!");
  EXPECT_EQ(r->Files(2).Size(), 0u);
}

TEST_F(ReaderTest, TitlelessAttachmentWithoutLongNameTakesItsShortOrDisplayName) {
  TnefBuilder b;
  b.RendData().AttProps(PropBlock().Unicode(0x3001, "Display").String8(0x3704, "SHORT.TXT").Binary(0x3701, "x"));
  b.RendData().AttProps(PropBlock().Unicode(0x3001, "Only display").Binary(0x3701, "y"));
  const auto r = Read(b);
  ASSERT_EQ(r->Count(), 2);
  EXPECT_EQ(r->Files(0).DisplayName(), "SHORT.TXT");
  EXPECT_EQ(r->Files(1).DisplayName(), "Only display");
}

TEST_F(ReaderTest, TitledAttachmentWithoutDataAttributeUsesItsDataProperty) {
  const std::string iid(16, 'I');
  TnefBuilder b;
  b.RendData().Title("Untitled Attachment").AttProps(PropBlock().Counted(0x000D, 0x3701, {iid + "OLE"}));
  b.Attachment("next.txt", "NEXT");
  b.AttProps(PropBlock().Long(0x0E21, 2));
  const auto r = Read(b);
  ASSERT_EQ(r->Count(), 2);
  EXPECT_EQ(r->Files(0).Size(), 3u);
  EXPECT_EQ(r->Files(1).FileName(), "next.txt");
  EXPECT_EQ(r->Files(1).Size(), 4u);  // the data counter stayed in step
}

TEST_F(ReaderTest, AttachmentLengthsPastTheEndStopTheWalk) {
  // Data cut short: Size is what remains.
  TnefBuilder data;
  data.Title("cut.bin").Raw("\x02").Raw(Le32(0x0006800F) + Le32(1000) + "only-this");
  auto r = Read(data);
  ASSERT_EQ(r->Count(), 1);
  EXPECT_EQ(r->Files(0).Size(), 9u);

  // A title running past the end keeps what is there.
  TnefBuilder title;
  title.Data("abc").Raw("\x02").Raw(Le32(0x00018010) + Le32(500) + "partial");
  r = Read(title);
  EXPECT_EQ(r->Files(0).FileName(), "partial");

  // Any other attachment attribute past the end: the walk ends, what came before stands.
  TnefBuilder other;
  other.Attachment("ok.txt", "ok").Raw("\x02").Raw(Le32(0x00069005) + Le32(0xFFFFFFF0) + "x");
  r = Read(other);
  ASSERT_EQ(r->Count(), 1);
  EXPECT_EQ(r->Files(0).FileName(), "ok.txt");

  // A header cut by the end of the file.
  TnefBuilder header;
  header.Attachment("h.txt", "h").Raw("\x02\x10\x80");
  EXPECT_EQ(Read(header)->Count(), 1);
}

TEST_F(ReaderTest, EmptyTitleGivesAnEmptyNameAndKeepsTheWalkInStep) {
  TnefBuilder b;
  b.Att(0x00018010, "").Data("abc").Title("second.txt").Data("de");
  const auto r = Read(b);
  ASSERT_EQ(r->Count(), 2);
  EXPECT_EQ(r->Files(0).FileName(), "");
  EXPECT_EQ(r->Files(0).Size(), 3u);
  EXPECT_EQ(r->Files(1).FileName(), "second.txt");
}

TEST_F(ReaderTest, MessagePropertiesSetSenderSubjectAndBody) {
  const std::string rtf = "{\\rtf1\\ansi Hello}";
  TnefBuilder b;
  b.Subject("From attribute").MsgProps(PropBlock()
                                           .String8(0x0C1A, "Alice")
                                           .String8(0x0037, "From block")
                                           .String8(0x0E1D, "normalized")
                                           .Binary(0x1009, Lzfu(rtf)));
  const auto r = Read(b);
  EXPECT_EQ(r->From(), "Alice");
  EXPECT_EQ(r->Subject(), "From attribute");
  EXPECT_EQ(r->MessageText(), rtf);
  EXPECT_EQ(r->BodyKind(), TBodyKind::Rtf);
  const auto& attrs = r->Attributes();
  EXPECT_NE(std::find(attrs.begin(), attrs.end(), "STR=From block"), attrs.end());
  EXPECT_NE(std::find(attrs.begin(), attrs.end(), "STR=normalized"), attrs.end());
  EXPECT_EQ(std::find(attrs.begin(), attrs.end(), "STR=Alice"), attrs.end());
}

TEST_F(ReaderTest, SubjectFromTheBlockThenOverwrittenByALaterAttribute) {
  TnefBuilder b;
  b.MsgProps(PropBlock().String8(0x0070, "Topic").String8(0x0037, "Subject"));
  EXPECT_EQ(Read(b)->Subject(), "Topic");
  b.Subject("Later");
  EXPECT_EQ(Read(b)->Subject(), "Later");
}

TEST_F(ReaderTest, RejectedRtfFallsBackToTheMailLibrary) {
  TnefBuilder b;
  b.MsgProps(PropBlock().Binary(0x1009, RtfValue(10, 0x41424344, "")));
  const auto r = Read(b);
  EXPECT_EQ(r->MessageText().rfind(
                "Unable to load the Mapi32.dll. The message text won't be avaiable.\r\n\r\nError: ", 0),
            0u);
  EXPECT_EQ(r->BodyKind(), TBodyKind::Rtf);
  EXPECT_EQ(r->Mapi32Path(), "/nonexistent/mail-library.so");
}

// The RTF body is decoded when first asked for: a refusal is damage from then on, and a
// quick look at the start decodes no more than the start of a sound body.
TEST_F(ReaderTest, RtfBodyIsDecodedOnFirstUse) {
  std::string rtf = "{\\rtf1\\ansi ";
  for (int i = 0; i < 500; ++i) rtf += "line " + std::to_string(i) + "\\par\r\n";
  rtf += "}";
  for (const std::string& value : {Lzfu(rtf), Mela(rtf)}) {
    TnefBuilder b;
    b.MsgProps(PropBlock().Binary(0x1009, value));
    const auto r = Read(b);
    EXPECT_EQ(r->BodySize(), rtf.size());
    EXPECT_EQ(r->MessageTextStart(100), rtf.substr(0, 100));
    EXPECT_EQ(r->MessageTextStart(rtf.size() + 5), rtf);
    EXPECT_EQ(r->Body(), rtf);
    EXPECT_EQ(r->MessageTextStart(7), rtf.substr(0, 7));  // from the decoded body now
    EXPECT_FALSE(r->IsDamaged());
  }

  // A body that is damaged past its first 300 bytes: its start reads, the whole is refused.
  // (Literals only: groups of a control byte and eight bytes; the 45th group starts with a
  // reference to a byte before the dictionary's start.)
  std::string damaged = LzfuLiterals(rtf);
  damaged[16 + 44 * 9] = '\x01';
  damaged[16 + 44 * 9 + 1] = '\xFA';
  damaged[16 + 44 * 9 + 2] = '\x00';
  {
    TnefBuilder b;
    b.MsgProps(PropBlock().Binary(0x1009, damaged));
    const auto r = Read(b);
    EXPECT_EQ(r->BodySize(), rtf.size());  // the header's word, until the body is decoded
    EXPECT_EQ(r->MessageTextStart(300), rtf.substr(0, 300));
    EXPECT_FALSE(r->IsDamaged());
    const std::string& text = r->MessageText();
    EXPECT_EQ(r->Damage(), kDamageBodyRefused);
    EXPECT_EQ(text.rfind("Unable to load the Mapi32.dll.", 0), 0u);
    EXPECT_EQ(r->BodySize(), text.size());
    EXPECT_EQ(r->MessageTextStart(5), text.substr(0, 5));
  }
  // Damaged within the start asked for: the whole is decoded (and refused) there and then.
  {
    TnefBuilder b;
    b.MsgProps(PropBlock().Binary(0x1009, damaged));
    const auto r = Read(b);
    EXPECT_EQ(r->MessageTextStart(5000).rfind("Unable to load the Mapi32.dll.", 0), 0u);
    EXPECT_EQ(r->Damage(), kDamageBodyRefused);
  }
  // The body beside a larger property (copied out of its block), and the last of two
  // blocks' bodies counting, the empty one too.
  {
    TnefBuilder b;
    b.MsgProps(PropBlock().Binary(0x1009, Lzfu("{\\rtf1 first}")).String8(0x1000, std::string(5000, 'p')));
    EXPECT_EQ(Read(b)->MessageText(), "{\\rtf1 first}");
    b.MsgProps(PropBlock().Binary(0x1009, Mela("{\\rtf1 second}")));
    EXPECT_EQ(Read(b)->MessageTextStart(9), "{\\rtf1 se");
    b.MsgProps(PropBlock().Binary(0x1009, ""));
    const auto r = Read(b);
    EXPECT_EQ(r->MessageText(), r->DecompressRTFWithMapi(""));
    EXPECT_EQ(r->Damage(), kDamageBodyRefused);
  }
  // A header no decoding can accept is refused when the file opens.
  {
    TnefBuilder b;
    b.MsgProps(PropBlock().Binary(0x1009, RtfValue(10, 0x41424344, "")));
    EXPECT_EQ(Read(b)->Damage(), kDamageBodyRefused);
  }
}

TEST_F(ReaderTest, CutMessageBlockKeepsWhatTheScanSet) {
  std::string block = PropBlock().String8(0x0C1A, "Bob").String8(0x0037, "Subj").Long(1, 1).Bytes();
  block.resize(block.size() - 6);
  TnefBuilder b;
  b.Msg(0x00069003, block).Attachment("after.txt", "z");
  const auto r = Read(b);
  EXPECT_EQ(r->From(), "Bob");
  EXPECT_EQ(r->Subject(), "Subj");
  EXPECT_EQ(r->Count(), 1);
}

TEST_F(ReaderTest, HtmlAndPlainBodiesWhenThereIsNoRtf) {
  TnefBuilder html;
  html.MsgProps(PropBlock().Unicode(0x1000, "plain").Binary(0x1013, "<p>html</p>"));
  auto r = Read(html);
  EXPECT_EQ(r->BodyKind(), TBodyKind::Html);
  EXPECT_EQ(r->Body(), "<p>html</p>");
  EXPECT_EQ(r->PlainBody(), "plain");

  TnefBuilder text;
  text.Msg(0x0001800C, "attBody text").MsgProps(PropBlock().String8(0x1000, "PR_BODY text"));
  r = Read(text);
  EXPECT_EQ(r->BodyKind(), TBodyKind::Text);
  EXPECT_EQ(r->Body(), "attBody text");

  TnefBuilder both;
  both.MsgProps(PropBlock().Binary(0x1013, "<p>x</p>").Binary(0x1009, Mela("{\\rtf1 r}")));
  r = Read(both);
  EXPECT_EQ(r->BodyKind(), TBodyKind::Rtf);
  EXPECT_EQ(r->Body(), "{\\rtf1 r}");
}

TEST_F(ReaderTest, UnicodeSubjectAndSenderStandInForMissingEightBitOnes) {
  TnefBuilder b;
  b.MsgProps(PropBlock().Unicode(0x0037, "Grüße 😀").Unicode(0x0C1A, "Jürgen"));
  auto r = Read(b);
  EXPECT_EQ(r->Subject(), "");
  EXPECT_EQ(r->DisplaySubject(), "Grüße 😀");
  EXPECT_EQ(r->DisplayFrom(), "Jürgen");
  // The eight-bit forms keep precedence.
  b.Subject("Plain");
  r = Read(b);
  EXPECT_EQ(r->DisplaySubject(), "Plain");
}

TEST_F(ReaderTest, EightBitTextsDecodeWithTheMessageCodePage) {
  TnefBuilder b;
  b.CodePage(1251).Subject("\xcf\xf0\xe8\xe2\xe5\xf2").Title("\xf4\xe0\xe9\xeb.txt").Data("x");
  auto r = Read(b);
  EXPECT_EQ(r->OemCodePage(), 1251u);
  EXPECT_EQ(r->DisplaySubject(), "Привет");
  EXPECT_EQ(r->Files(0).DisplayName(), "файл.txt");
  TnefBuilder latin;
  latin.Subject("d\xf6"
                "cument");
  EXPECT_EQ(Read(latin)->DisplaySubject(), "döcument");
}

TEST_F(ReaderTest, SenderFromTheFromTripleWhenNothingElseNamesOne) {
  const std::string name = std::string("Martin\0", 7);
  const std::string address = std::string("SMTP:m@x\0", 9);
  const std::string triple = Le16(4) + Le16(static_cast<std::uint16_t>(8 + name.size() + address.size())) +
                             Le16(static_cast<std::uint16_t>(name.size())) +
                             Le16(static_cast<std::uint16_t>(address.size())) + name + address;
  TnefBuilder b;
  b.Msg(0x00008000, triple);
  EXPECT_EQ(Read(b)->DisplayFrom(), "Martin");
}

TEST_F(ReaderTest, SweepOfTruncationsAndFlipsNeverCrashes) {
  TnefBuilder b;
  b.Subject("Sweep").CodePage(1252).MsgProps(PropBlock()
                                                 .String8(0x0C1A, "S")
                                                 .Binary(0x1009, Lzfu("{\\rtf1 sweep sweep}"))
                                                 .Unicode(0x0037, "u"));
  b.Attachment("a.txt", "AAAA").AttProps(PropBlock().String8(0x3707, "long a.txt"));
  b.RendData().AttProps(PropBlock().String8(0x3707, "b.bin").Binary(0x3701, "BB"));
  const std::string good = b.Bytes();
  auto tryRead = [&](const std::string& bytes) {
    try {
      const auto r = Read(bytes);
      for (int i = 0; i < r->Count(); ++i) {
        EXPECT_LE(r->Files(i).Offset() + r->Files(i).Size(),
                  static_cast<std::int64_t>(bytes.size()));
      }
    } catch (const Exception&) {
    }
  };
  for (std::size_t n = 0; n <= good.size(); n += 3) tryRead(good.substr(0, n));
  for (std::size_t i = 6; i < good.size(); i += 2) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ 0xA5);
    tryRead(bad);
  }
}

// What the tolerant walk passed over is recorded, one kind per bit, and the file still
// reads as far as it can; a sound file records nothing.
TEST_F(ReaderTest, DamageIsRecordedNotRaised) {
  struct TCase {
    const char* Name;
    std::string Bytes;
    unsigned Damage;
  };
  TnefBuilder sound;
  sound.Subject("Sound").MsgProps(PropBlock().String8(0x0C1A, "Sender")).Attachment("a.txt", "abc");
  std::vector<TCase> cases;
  cases.push_back({"sound", sound.Bytes(), kDamageNone});
  cases.push_back({"trailing bytes", sound.Bytes() + "garbage", kDamageTrailingBytes});
  cases.push_back({"header cut", sound.Bytes() + "\x01\x04\x80", kDamageRecordCut});
  cases.push_back({"checksum cut", sound.Bytes().substr(0, sound.Bytes().size() - 1), kDamageRecordCut});
  TnefBuilder badSum;
  badSum.Attr(1, kSubject, std::string("Sum") + '\0', {}, false).Raw("\xFF\xFF").Attachment("a.txt", "abc");
  cases.push_back({"bad checksum", badSum.Bytes(), kDamageBadChecksum});
  TnefBuilder badAttachmentSum;
  badAttachmentSum.Title("a.txt").Attr(2, 0x00069002, std::string(14, '\x01'), {}, false).Raw(std::string(2, '\0'));
  cases.push_back({"bad attachment checksum", badAttachmentSum.Bytes(), kDamageBadChecksum});
  TnefBuilder cutAttachment;
  cutAttachment.Attachment("ok.txt", "ok").Raw("\x02").Raw(Le32(0x00069005) + Le32(0xFFFFFFF0) + "x");
  cases.push_back({"attachment record cut", cutAttachment.Bytes(), kDamageRecordCut});
  TnefBuilder block;
  block.MsgProps(PropBlock().String8(0x0C1A, "Sender").Raw("\x1e\x00").Count(2));
  cases.push_back({"property block", block.Bytes(), kDamagePropertyBlock});
  TnefBuilder body;
  body.MsgProps(PropBlock().Binary(0x1009, RtfValue(100, 0x75465A4C, "not compressed at all", {}, 0x1234)));
  cases.push_back({"body refused", body.Bytes(), kDamageBodyRefused});

  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::unique_ptr<TTNEFReader> r;
    ASSERT_NO_THROW(r = Read(c.Bytes));
    r->MessageText();  // a body is decoded, and maybe refused, on first use
    EXPECT_EQ(r->Damage(), c.Damage);
    EXPECT_EQ(r->IsDamaged(), c.Damage != kDamageNone);
  }
  // What came before the damage is still there.
  const auto trailing = Read(sound.Bytes() + "garbage");
  EXPECT_EQ(trailing->Subject(), "Sound");
  ASSERT_EQ(trailing->Count(), 1);
  EXPECT_EQ(trailing->Files(0).FileName(), "a.txt");
}
