// The new fields of real samples against the peer's debug digest beside each sample: the
// message class, and every attachment the peer marks as an embedded message (its stream's
// size and its display name, which is the embedded message's subject).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "Exception.h"
#include "TNEFReaderClass.h"
#include "TempDir.h"

namespace fs = std::filesystem;

TEST(CorpusFields, MessageClassAndEmbeddedMessagesAgreeWithThePeerDigest) {
  const std::string corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "corpus folder not present";
  const std::regex embedded(R"(^\s+\[(\d+)\] .*display='([^']*)'; method=5;.*ATTACH_DATA_OBJ=(\d+) bytes, IID_IMessage)");
  int classes = 0, messages = 0;
  for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("EXPECTED-", 0) != 0) continue;
    std::ifstream in(entry.path());
    std::string line;
    std::getline(in, line);
    const fs::path sample = entry.path().parent_path() / line.substr(std::string("Peer view of ").size());
    std::unique_ptr<TTNEFReader> reader;
    try {
      reader = std::make_unique<TTNEFReader>(sample.string(), "/nonexistent/mail-library.so");
    } catch (const Exception&) {
      continue;  // the sample test says which samples may fail, and how
    }
    SCOPED_TRACE(sample.string());
    bool inDigest = false;
    while (std::getline(in, line)) {
      if (line.rfind("== ", 0) == 0) inDigest = line.rfind("== 4.", 0) == 0;
      if (!inDigest) continue;
      if (line.rfind("  Message Class: ", 0) == 0) {
        EXPECT_EQ(reader->MessageClass(), line.substr(17));
        ++classes;
      }
      std::smatch m;
      if (std::regex_search(line, m, embedded)) {
        const int index = std::stoi(m[1]) - 1;
        ASSERT_LT(index, reader->Count());
        const TTNEFFile& file = reader->Files(index);
        EXPECT_TRUE(file.IsEmbeddedMessage());
        EXPECT_EQ(file.Size() + 16, std::stoul(m[3]));  // the stream follows a 16-byte interface id
        EXPECT_EQ(file.EmbeddedSubject(), m[2].str());
        ++messages;
      }
    }
  }
  EXPECT_GE(classes, 20);  // 26 in the corpus as it stands
  EXPECT_GE(messages, 3);
}
