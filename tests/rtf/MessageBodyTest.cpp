#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "MessageBody.h"
#include "TNEFReaderClass.h"
#include "TempDir.h"
#include "TnefBuilder.h"

namespace {

using tb::Lzfu;
using tb::PropBlock;
using tb::TnefBuilder;

class RtfMessageBody : public ::testing::Test {
protected:
  TRtfConversion Convert(const TnefBuilder& b) {
    TTNEFReader reader(b.WriteTo(Dir / "winmail.dat"), "");
    return ConvertMessageBody(reader);
  }
  TTempDir Dir;
};

TEST_F(RtfMessageBody, RtfBodyComesFirst) {
  TnefBuilder b;
  b.MsgProps(PropBlock().Binary(0x1013, "<p>html</p>").Binary(0x1009, Lzfu("{\\rtf1\\ansi {\\b rich}\\par}")));
  const TRtfConversion r = Convert(b);
  EXPECT_EQ(r.Source, TBodySource::Rtf);
  EXPECT_EQ(r.Text, "rich\n");
}

TEST_F(RtfMessageBody, HtmlBodyWithAttachedPicture) {
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + "rest";
  TnefBuilder b;
  b.MsgProps(PropBlock().Binary(0x1013,
      "<html><head><meta charset=windows-1251></head><body><p>\xcf\xf0\xe8</p>"
      "<img src=\"cid:image001.png@01D2EE6A.85652C70\"><script>x()</script></body></html>"));
  b.Attachment("image001.png", png);
  const TRtfConversion r = Convert(b);
  EXPECT_EQ(r.Source, TBodySource::Html);
  EXPECT_EQ(r.Text, "\u041f\u0440\u0438\n");
  ASSERT_EQ(r.Pictures.size(), 1u);
  EXPECT_EQ(r.Pictures[0].Bytes, png);
  EXPECT_EQ(r.Pictures[0].Format, TPictureFormat::Png);
  EXPECT_NE(r.Html.find("<img src=\"velquin-pict:0\">"), std::string::npos) << r.Html;
  EXPECT_EQ(r.Html.find("x()"), std::string::npos);
}

TEST_F(RtfMessageBody, PicturesMatchedByContentIdBeforeName) {
  // Three pictures all named image.png, told apart only by their Content-IDs; a fourth
  // reference names no Content-ID and falls back to the file name.
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8);
  TnefBuilder b;
  b.MsgProps(PropBlock().Binary(0x1013,
      "<img src=\"cid:c3a1\"><img src=\"cid:b2f0\"><img src=\"cid:a9e7\"><img src=\"cid:logo.png@01D2\">"));
  b.Attachment("image.png", png + "first").AttProps(PropBlock().String8(0x3712, "a9e7"));
  b.Attachment("image.png", png + "second").AttProps(PropBlock().Unicode(0x3712, "<b2f0>"));
  b.Attachment("image.png", png + "third").AttProps(PropBlock().String8(0x3712, "c3a1"));
  b.Attachment("logo.png", png + "logo");
  TTNEFReader reader(b.WriteTo(Dir / "winmail.dat"), "");
  // The same whether the attachments are read on the reader's thread or from their
  // snapshot, as a conversion on a worker thread reads them.
  for (const TRtfConversion& r : {ConvertMessageBody(reader), ConvertMessageBody(reader, BodyAttachments(reader))}) {
    ASSERT_EQ(r.Pictures.size(), 4u) << r.Html;
    EXPECT_EQ(r.Pictures[0].Bytes, png + "third");
    EXPECT_EQ(r.Pictures[1].Bytes, png + "second");
    EXPECT_EQ(r.Pictures[2].Bytes, png + "first");
    EXPECT_EQ(r.Pictures[3].Bytes, png + "logo");
  }
}

// A conversion on another thread reads its pictures while the reader's own thread walks the
// same file (an attached message opened, attachments read): neither disturbs the other.
TEST_F(RtfMessageBody, PicturesReadOnAnotherThreadBesideTheReadersWork) {
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8);
  std::string html;
  for (int i = 0; i < 40; ++i) html += "<img src=\"cid:p" + std::to_string(i) + "\">";
  TnefBuilder inner;
  inner.Subject("Inner").Attachment("inner.txt", std::string(70000, 'i'));
  TnefBuilder b;
  b.MsgProps(PropBlock().Binary(0x1013, html));
  for (int i = 0; i < 40; ++i)
    b.Attachment("p.png", png + std::string(5000 + i, char('a' + i % 26)))
        .AttProps(PropBlock().String8(0x3712, "p" + std::to_string(i)));
  b.RendData().Title("Untitled Attachment").Data(std::string(89, 'p'))
      .AttProps(PropBlock().Long(0x3705, 5).Counted(0x000D, 0x3701, {std::string(16, '\x11') + inner.Bytes()}));
  TTNEFReader reader(b.WriteTo(Dir / "winmail.dat"), "");
  const int embedded = reader.Count() - 1;
  ASSERT_TRUE(reader.Files(embedded).IsEmbeddedMessage());
  const TBodyAttachments attachments = BodyAttachments(reader);
  std::vector<TRtfConversion> results(20);
  std::thread worker([&] {
    for (TRtfConversion& r : results) r = ConvertMessageBody(reader, attachments, TBodyOutputs::Html);
  });
  for (int round = 0; round < 20; ++round) {
    EXPECT_EQ(reader.OpenEmbedded(embedded)->Files(0).ReadBytes(1 << 20), std::string(70000, 'i'));
    EXPECT_EQ(reader.Files(round).ReadBytes(1 << 20), png + std::string(5000 + round, char('a' + round % 26)));
  }
  worker.join();
  for (const TRtfConversion& r : results) {
    ASSERT_EQ(r.Pictures.size(), 40u);
    for (int i = 0; i < 40; ++i)
      EXPECT_EQ(r.Pictures[std::size_t(i)].Bytes, png + std::string(5000 + i, char('a' + i % 26)));
  }
}

TEST_F(RtfMessageBody, PlainBodyIsEscaped) {
  TnefBuilder b;
  b.CodePage(1252).Msg(0x0001800C, "a <b> & caf\xe9\r\nnext");  // attBody
  const TRtfConversion r = Convert(b);
  EXPECT_EQ(r.Source, TBodySource::PlainText);
  EXPECT_NE(r.Html.find("a &lt;b&gt; &amp; caf\u00e9<br>next"), std::string::npos) << r.Html;
}

TEST_F(RtfMessageBody, NoBody) {
  TnefBuilder b;
  b.Subject("nothing");
  const TRtfConversion r = Convert(b);
  EXPECT_TRUE(r.Html.empty());
  EXPECT_TRUE(r.Text.empty());
}

}  // namespace

namespace {

// A quick look at a long body converts its start only, cut before a tag, a control word or
// a line, and with the charset the whole body declares.
TEST(RtfMessageBodyFirstPart, CutsWhereNothingIsSplit) {
  TTempDir dir;
  const auto firstPart = [&dir](const PropBlock& props, std::size_t bytes, bool& partial) {
    TnefBuilder b;
    b.MsgProps(props);
    TTNEFReader reader(b.WriteTo(dir / "winmail.dat"), "");
    return ConvertMessageBody(reader, TBodyOutputs::HtmlAndText, bytes, &partial).Text;
  };
  bool partial = true;
  EXPECT_EQ(firstPart(PropBlock().Binary(0x1009, Lzfu("{\\rtf1\\ansi one\\par two\\par}")), 1000, partial),
            "one\ntwo\n");
  EXPECT_FALSE(partial);
  EXPECT_EQ(firstPart(PropBlock().Binary(0x1009, Lzfu("{\\rtf1\\ansi one\\par two\\par}")), 22, partial), "one\n");
  EXPECT_TRUE(partial);
  // "\xcf\xf0\xe8" is Cyrillic in the charset the <meta> names, which the cut leaves out.
  const std::string html = "<meta charset=windows-1251><p>\xcf\xf0\xe8</p><p>second</p>";
  EXPECT_EQ(firstPart(PropBlock().Binary(0x1013, html), html.find("<p>second") + 2, partial), "\xd0\x9f\xd1\x80\xd0\xb8\n");
  EXPECT_TRUE(partial);
  EXPECT_EQ(firstPart(PropBlock().String8(0x1000, "line one\nline two\n"), 12, partial), "line one");
}

// A conversion on a worker thread that the window called off ends with TConversionStopped
// rather than converting the rest of a long body; a flag left unset changes nothing.
TEST(RtfMessageBodyStop, LongBodiesEndOnceTold) {
  std::string rtf = "{\\rtf1\\ansi ", html = "<html><body>", wrapped = "{\\rtf1\\ansi\\fromhtml1 ";
  for (int i = 0; i < 20000; ++i) {
    rtf += "word {\\b bold}\\par ";
    html += "<p>word <b>bold</b></p>";
    wrapped += "{\\*\\htmltag <p>}word{\\*\\htmltag </p>}";
  }
  rtf += "}";
  wrapped += "}";
  const struct {
    const char* Name;
    PropBlock Props;
  } bodies[] = {{"RTF", PropBlock().Binary(0x1009, Lzfu(rtf))},
                {"HTML wrapped in RTF", PropBlock().Binary(0x1009, Lzfu(wrapped))},
                {"HTML", PropBlock().Binary(0x1013, html)}};
  TTempDir dir;
  for (const auto& body : bodies) {
    SCOPED_TRACE(body.Name);
    TnefBuilder b;
    b.MsgProps(body.Props);
    TTNEFReader reader(b.WriteTo(dir / "winmail.dat"), "");
    const TBodyAttachments attachments = BodyAttachments(reader);
    TStopFlag stop{false};
    const TRtfConversion whole = ConvertMessageBody(reader, attachments, TBodyOutputs::Html, std::string_view::npos,
                                                    nullptr, &stop);
    EXPECT_EQ(whole.Html, ConvertMessageBody(reader, attachments, TBodyOutputs::Html).Html);
    EXPECT_NE(whole.Html.find("word"), std::string::npos);
    stop = true;
    EXPECT_THROW(ConvertMessageBody(reader, attachments, TBodyOutputs::Html, std::string_view::npos, nullptr, &stop),
                 TConversionStopped);
  }
}

}  // namespace
