// Real mails that carry a winmail.dat, when the sample folder is there.

#include <gtest/gtest.h>

#include "MailDocument.h"
#include "TempDir.h"

namespace {

std::unique_ptr<TTNEFReader> OpenSample(const std::string& name) {
  const std::string dir = CorpusDir();
  if (dir.empty()) return nullptr;
  const std::string path = dir + "/jstedfast-mimekit/" + name;
  if (ReadFileBytes(path).empty()) return nullptr;
  return OpenDocument(path, "", nullptr);
}

}  // namespace

TEST(MailCorpus, UkrainianMailFallsBackToTheMailsRecipients) {
  const auto reader = OpenSample("ukr.eml");
  if (!reader) GTEST_SKIP() << "no sample folder";
  EXPECT_EQ(reader->CarrierHeaders().From, "RR Tester 1 <rrtest1@xink.io>");
  EXPECT_EQ(reader->CarrierHeaders().DateText, "2017-11-13 08:01:13 +0000");
  EXPECT_EQ(reader->DisplaySubject(), "rr test 7");
  EXPECT_EQ(reader->DisplayFrom(), "RR Tester 1");  // the stream's own sender wins
  EXPECT_EQ(reader->RecipientLine(TRecipientType::To), "ems365sync <ems365sync@xink.io>");
  EXPECT_EQ(reader->BodyKind(), TBodyKind::Html);
  EXPECT_EQ(reader->Count(), 0);
}

TEST(MailCorpus, RichTextMailShowsTheStreamsAttachments) {
  const auto reader = OpenSample("rich-text.eml");
  if (!reader) GTEST_SKIP() << "no sample folder";
  EXPECT_EQ(reader->DisplayFrom(), "Jeffrey Stedfast <jestedfa@microsoft.com>");
  EXPECT_EQ(reader->BodyKind(), TBodyKind::Rtf);
  ASSERT_EQ(reader->Count(), 3);
  EXPECT_EQ(reader->Files(0).DisplayName(), "kitten-playing-with-a-christmas-tree.jpg");
  EXPECT_EQ(reader->Files(0).Size(), 375081u);
  EXPECT_EQ(reader->Files(2).DisplayName(), "Christmas Celebration!.dat");
}
