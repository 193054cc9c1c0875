#include <gtest/gtest.h>

#include "FileFormat.h"

TEST(FileFormat, IsToldByTheFirstBytes) {
  const struct {
    std::string Head;
    TFileFormat Format;
  } cases[] = {
      {std::string("\x78\x9F\x3E\x22\x01\x00", 6), TFileFormat::Tnef},
      {"From someone@example.org Mon Jan  1 00:00:00 2024\nFrom: a\n", TFileFormat::Mbox},
      {"Content-Type: multipart/mixed;\n\tboundary=x\n", TFileFormat::Mail},
      {"Received: from mx by mx\n", TFileFormat::Mail},
      {"X-Mozilla-Status: 0001\n", TFileFormat::Mail},
      {"From: a@example.org\n", TFileFormat::Mail},
      {"\nFrom: a@example.org\n", TFileFormat::Other},  // a blank first line is no header
      {"Not a header\n", TFileFormat::Other},           // a space in the name
      {": no name\n", TFileFormat::Other},
      {"Subject", TFileFormat::Other},  // no colon before the end
      {std::string("\x78\x9F\x3E", 3), TFileFormat::Other},
      {"", TFileFormat::Other},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectFileFormat(c.Head), c.Format) << c.Head;
}
