#include <gtest/gtest.h>

#include <string>

#include "Exception.h"
#include "TNEFReaderClass.h"
#include "TempDir.h"
#include "TnefBuilder.h"

using namespace tb;

namespace {

constexpr std::uint32_t kRecipTable = 0x00069004;
constexpr std::uint32_t kMessageClass = 0x00078008;
const std::string kIid(16, '\x11');

// An attached message as writers store it: a placeholder in attAttachData, the real stream
// after the interface id in PR_ATTACH_DATA_OBJ of the attachment's property block.
TnefBuilder& AttachMessage(TnefBuilder& b, const std::string& stream) {
  return b.RendData()
      .Title("Untitled Attachment")
      .Data(std::string(89, 'p'))
      .AttProps(PropBlock().Long(0x3705, 5).Counted(0x000D, 0x3701, {kIid + stream}));
}

// depth messages, each inside the one before; message k has the subject "level k".
std::string Nested(int depth) {
  std::string inner = TnefBuilder().Subject("level " + std::to_string(depth)).Bytes();
  for (int k = depth - 1; k >= 0; --k) {
    TnefBuilder b;
    b.Subject("level " + std::to_string(k));
    inner = AttachMessage(b, inner).Bytes();
  }
  return inner;
}

class EmbeddedTest : public ::testing::Test {
protected:
  std::unique_ptr<TTNEFReader> Open(const std::string& bytes) {
    const std::string path = Dir / ("t" + std::to_string(++FCount) + ".tnef");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return std::make_unique<TTNEFReader>(path, "/nonexistent/mail-library.so");
  }
  TTempDir Dir;

private:
  int FCount = 0;
};

}  // namespace

TEST_F(EmbeddedTest, AnAttachedMessageIsReadInPlaceWithItsOwnAttachments) {
  TnefBuilder inner;
  inner.Subject("Forwarded").Attachment("note.txt", "INNER BYTES");
  TnefBuilder outer;
  outer.Subject("Outer").Msg(kMessageClass, std::string("IPM.Note\0", 9));
  AttachMessage(outer, inner.Bytes())
      .RendData()
      .Title("pic.png")
      .Data("PNG!")
      .AttProps(PropBlock().Long(0x3705, 1).String8(0x3712, "pic@1").Unicode(0x370E, "image/png"));
  const auto r = Open(outer.Bytes());
  ASSERT_EQ(r->Count(), 2);
  EXPECT_EQ(r->MessageClass(), "IPM.Note");
  const TTNEFFile& message = r->Files(0);
  EXPECT_TRUE(message.IsEmbeddedMessage());
  EXPECT_EQ(message.AttachMethod(), 5u);
  EXPECT_EQ(message.Size(), inner.Bytes().size());  // the stream, not the 89-byte note
  EXPECT_EQ(message.ReadBytes(1 << 20), inner.Bytes());
  EXPECT_EQ(message.DisplayName(), "Forwarded.dat");
  EXPECT_EQ(message.SafeFileName(), "Forwarded.dat");
  const TTNEFFile& picture = r->Files(1);
  EXPECT_FALSE(picture.IsEmbeddedMessage());
  EXPECT_EQ(picture.ContentId(), "pic@1");
  EXPECT_EQ(picture.MimeTag(), "image/png");
  EXPECT_EQ(picture.ReadBytes(2), "PN");

  const auto embedded = r->OpenEmbedded(0);
  EXPECT_EQ(embedded->Depth(), 1);
  EXPECT_EQ(embedded->DisplaySubject(), "Forwarded");
  ASSERT_EQ(embedded->Count(), 1);
  EXPECT_EQ(embedded->Files(0).DisplayName(), "note.txt");
  EXPECT_EQ(embedded->Files(0).ReadBytes(100), "INNER BYTES");
  EXPECT_THROW(r->OpenEmbedded(1), Exception);  // not a message
  EXPECT_THROW(r->OpenEmbedded(2), EListError);
}

TEST_F(EmbeddedTest, NestingIsFollowedToDepthFiftyAndRefusedPastTheLimit) {
  auto r = Open(Nested(50));
  for (int k = 1; k <= 50; ++k) r = r->OpenEmbedded(0);
  EXPECT_EQ(r->DisplaySubject(), "level 50");
  EXPECT_EQ(r->Count(), 0);

  r = Open(Nested(TTNEFReader::kMaxDepth + 5));
  for (int k = 1; k < TTNEFReader::kMaxDepth; ++k) r = r->OpenEmbedded(0);
  EXPECT_THROW(r->OpenEmbedded(0), Exception);
  EXPECT_EQ(r->Files(0).EmbeddedSubject(), "");  // refused, not read
}

TEST_F(EmbeddedTest, AnEmbeddedStreamNeverReadsPastItsOwnBytes) {
  // The inner attachment claims 1000 bytes, the inner message attribute more than the
  // stream holds; the parent's own records follow in the file, and must not be taken.
  const std::string cutData = TnefBuilder().Subject("cut").Attr(2, 0x0006800F, "SHORT", 1000u).Bytes();
  const std::string cutMessage = TnefBuilder().Attr(1, 0x00018004, "Subject", 500u).Bytes();
  for (const std::string& inner : {cutData, cutMessage}) {
    TnefBuilder outer;
    AttachMessage(outer, inner).Attachment("after.txt", std::string(2000, 'A'));
    const auto r = Open(outer.Bytes());
    ASSERT_EQ(r->Count(), 2);
    std::unique_ptr<TTNEFReader> embedded;
    try {
      embedded = r->OpenEmbedded(0);
    } catch (const Exception&) {
      continue;  // the message record larger than its stream is refused, like in a file
    }
    EXPECT_EQ(inner, cutData);
    ASSERT_EQ(embedded->Count(), 1);
    const TTNEFFile& file = embedded->Files(0);
    EXPECT_LE(file.Offset() + file.Size(), r->Files(0).Offset() + r->Files(0).Size());
    EXPECT_EQ(file.ReadBytes(1000).find('A'), std::string::npos);
  }
  // A range outside the file is refused before anything is read.
  const auto r = Open(TnefBuilder().Subject("s").Bytes());
  auto file = std::make_shared<TFileStream>(r->FileName());
  EXPECT_THROW(TTNEFReader(file, 4, file->Size(), ""), ERangeError);
  EXPECT_THROW(TTNEFReader(file, -1, 4, ""), ERangeError);
  EXPECT_EQ(TTNEFReader(file, 0, file->Size(), "").DisplaySubject(), "s");
}

TEST_F(EmbeddedTest, RecipientTableGivesNamesAddressesAndTypes) {
  const auto row = [](std::uint32_t type, const PropBlock& props) {
    return PropBlock(props).Long(0x0C15, type).Bytes();
  };
  const std::string table =
      Le32(1000000) +  // far more rows than the bytes hold
      row(1, PropBlock().String8(0x3001, "Ann").String8(0x3003, "/o=x/cn=ann").Unicode(0x39FE, "ann@x.org")) +
      row(2, PropBlock().Unicode(0x3001, "B\xC3\xA9" "a")) +
      row(3, PropBlock().String8(0x3003, "cid@x.org")) +
      row(1, PropBlock()) +                            // nothing to show: dropped
      PropBlock().Long(0x0C15, 1).Count(3).Bytes();    // cut short: ends the table
  const auto r = Open(TnefBuilder().Msg(kRecipTable, table).Bytes());
  const auto& rows = r->Recipients();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(FormatRecipient(rows[0]), "Ann <ann@x.org>");
  EXPECT_EQ(rows[0].Type, TRecipientType::To);
  EXPECT_EQ(rows[1].Type, TRecipientType::Cc);
  EXPECT_EQ(rows[2].Type, TRecipientType::Bcc);
  EXPECT_EQ(r->RecipientLine(TRecipientType::Cc), "B\xC3\xA9" "a");
  EXPECT_EQ(r->RecipientLine(TRecipientType::Bcc), "cid@x.org");
  EXPECT_EQ(r->RecipientLine(TRecipientType::To), "Ann <ann@x.org>");
}
