#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Exception.h"
#include "MapiAttrs.h"
#include "TnefBuilder.h"

using namespace tb;

namespace {

std::string AsString(const TMAPI_Value& v) { return std::string(v.begin(), v.end()); }

struct TScanned {
  std::uint32_t Tag;
  std::string Value;
};

std::vector<TScanned> Scan(const std::string& block) {
  std::vector<TScanned> out;
  ScanMessageProps(block, [&](std::uint32_t tag, std::string_view v) {
    out.push_back({tag, std::string(v)});
  });
  return out;
}

}  // namespace

TEST(DecodeMAPIAttrs, EmptyBlockGivesEmptyListAndNoScanCall) {
  const std::string block = Le32(0);
  EXPECT_TRUE(DecodeMAPIAttrs(block).empty());
  EXPECT_TRUE(Scan(block).empty());
}

TEST(DecodeMAPIAttrs, CountBeyondTheBytesLeavesZeroedEntries) {
  const std::string block = PropBlock().Long(0x0E07, 42).Count(3).Bytes();
  const TMAPI_Attrs attrs = DecodeMAPIAttrs(block);
  ASSERT_EQ(attrs.size(), 3u);
  EXPECT_EQ(attrs[0].PropType, 0x0003);
  EXPECT_EQ(attrs[0].PropId, 0x0E07);
  EXPECT_EQ(attrs[0].Count, 1);
  EXPECT_EQ(AsString(attrs[0].Values[0]), Le32(42));
  for (int i : {1, 2}) {
    EXPECT_EQ(attrs[i].PropType, 0);
    EXPECT_EQ(attrs[i].PropId, 0);
    EXPECT_EQ(attrs[i].Count, 0);
    EXPECT_TRUE(attrs[i].Values.empty());
  }
}

TEST(DecodeMAPIAttrs, HugeCountIsNotTrustedForAllocation) {
  const std::string block = PropBlock().Long(1, 1).Count(0x7FFFFFFF).Bytes();
  const TMAPI_Attrs attrs = DecodeMAPIAttrs(block);
  EXPECT_LT(attrs.size(), 64u);
  EXPECT_EQ(attrs[0].Count, 1);
}

TEST(DecodeMAPIAttrs, ValuesAndPaddingKeepTheWalkInStep) {
  // String of 5 bytes (3 padding), binary of 8 (none), 16-bit integer (2 padding), then a
  // long that must be read correctly after all of them.
  const std::string block = PropBlock()
                                .Counted(0x001E, 0x0037, {std::string("abcd\0", 5)})
                                .Binary(0x0FFF, "12345678")
                                .Fixed(0x0002, 0x0017, Le16(7) + std::string(2, '\0'))
                                .Long(0x0E08, 0xDEADBEEF)
                                .Bytes();
  const TMAPI_Attrs attrs = DecodeMAPIAttrs(block);
  ASSERT_EQ(attrs.size(), 4u);
  EXPECT_EQ(attrs[0].Values[0].size(), 5u);
  EXPECT_EQ(AsString(attrs[1].Values[0]), "12345678");
  EXPECT_EQ(AsString(attrs[2].Values[0]), Le16(7));
  EXPECT_EQ(AsString(attrs[3].Values[0]), Le32(0xDEADBEEF));

  const auto scanned = Scan(block);
  ASSERT_EQ(scanned.size(), 2u);  // only counted types are handed
  EXPECT_EQ(scanned[0].Tag, 0x0037001Eu);
  EXPECT_EQ(scanned[1].Tag, 0x0FFF0102u);
  EXPECT_EQ(scanned[1].Value, "12345678");
}

TEST(DecodeMAPIAttrs, LongFileNameValueKeepsItsNul) {
  const TMAPI_Attrs attrs = DecodeMAPIAttrs(PropBlock().String8(0x3707, "report.pdf").Bytes());
  ASSERT_EQ(attrs.size(), 1u);
  EXPECT_EQ(attrs[0].Count, 1);
  EXPECT_EQ(attrs[0].Values[0].size(), 11u);
}

TEST(DecodeMAPIAttrs, AllValuesOfACountedPropertyAreKept) {
  const TMAPI_Attrs attrs =
      DecodeMAPIAttrs(PropBlock().Counted(0x0102, 0x1000, {"one", "three", ""}).Bytes());
  ASSERT_EQ(attrs[0].Count, 3);
  EXPECT_EQ(AsString(attrs[0].Values[1]), "three");
  EXPECT_TRUE(attrs[0].Values[2].empty());
}

TEST(DecodeMAPIAttrs, FixedTypesTheScanStepsOverAreSteppedOverToo) {
  const std::string block = PropBlock()
                                .Fixed(0x0006, 0x1001, std::string(8, 'c'))  // currency
                                .Fixed(0x0007, 0x1002, std::string(8, 'a'))  // app time
                                .Fixed(0x000A, 0x1003, Le32(0x8004010F))     // error
                                .Long(0x1004, 5)
                                .Bytes();
  const TMAPI_Attrs attrs = DecodeMAPIAttrs(block);
  ASSERT_EQ(attrs.size(), 4u);
  EXPECT_EQ(attrs[3].PropId, 0x1004);
  EXPECT_EQ(AsString(attrs[3].Values[0]), Le32(5));
}

TEST(DecodeMAPIAttrs, NamedPropertiesAndMultiValuesKeepTheRestInStep) {
  // A named property carries its GUID, kind and name before the value; multi-valued
  // properties a count and that many values. Real files use both in nearly every block.
  const std::string named = Le16(0x001E) + Le16(0x8005) + std::string(16, 'G') + Le32(1) +
                            Le32(6) + Utf16("ab") + std::string(2, '\0') + Le32(1) + Le32(2) +
                            std::string("x\0", 2) + std::string(2, '\0');
  const std::string multi = Le16(0x101E) + Le16(0x8006) + std::string(16, 'H') + Le32(0) +
                            Le32(0x1234) + Le32(2) + Le32(3) + std::string("ab\0", 3) + '\0' +
                            Le32(1) + std::string(1, '\0') + std::string(3, '\0');
  const std::string multiLong = Le16(0x1003) + Le16(0x0E0A) + Le32(2) + Le32(7) + Le32(8);
  const std::string block = PropBlock()
                                .Raw(named + multi + multiLong)
                                .String8(0x3707, "after.txt")
                                .Count(4)
                                .Bytes();
  const TMAPI_Attrs attrs = DecodeMAPIAttrs(block);
  ASSERT_EQ(attrs.size(), 4u);
  EXPECT_EQ(attrs[1].Count, 2);
  EXPECT_EQ(attrs[2].Count, 2);
  EXPECT_EQ(AsString(attrs[2].Values[1]), Le32(8));
  EXPECT_EQ(attrs[3].PropId, 0x3707);
  EXPECT_EQ(AsString(attrs[3].Values[0]), std::string("after.txt\0", 10));

  const auto scanned = Scan(block);
  ASSERT_EQ(scanned.size(), 2u);  // multi-valued properties are stepped over, not handed
  EXPECT_EQ(scanned[1].Tag, 0x3707001Eu);
}

TEST(DecodeMAPIAttrs, CutValueEndsDecodingQuietlyAndZeroesTheEntry) {
  std::string block = PropBlock().Long(1, 1).Binary(2, "0123456789").Long(3, 3).Bytes();
  block.resize(block.size() - 14);  // cut inside the binary value
  const TMAPI_Attrs attrs = DecodeMAPIAttrs(block);
  ASSERT_EQ(attrs.size(), 3u);
  EXPECT_EQ(attrs[0].PropId, 1);
  EXPECT_EQ(attrs[1].PropId, 0);
  EXPECT_EQ(attrs[1].Count, 0);
  EXPECT_EQ(attrs[2].PropId, 0);
}

TEST(DecodeMAPIAttrs, NegativeCountsAndLengthsRaiseARangeError) {
  EXPECT_THROW(DecodeMAPIAttrs(Le32(0xFFFFFFFF)), ERangeError);
  EXPECT_THROW(DecodeMAPIAttrs(Le32(1) + Le16(0x0102) + Le16(1) + Le32(0xFFFFFFFE)), ERangeError);
  EXPECT_THROW(DecodeMAPIAttrs(Le32(1) + Le16(0x0102) + Le16(1) + Le32(1) + Le32(0x80000000)),
               ERangeError);
}

TEST(ScanMessageProps, HandsOnlyTheFirstOfSeveralValues) {
  // With two values, the second value's length field is read as the next tag.
  const std::string block = PropBlock().Counted(0x0102, 0x1009, {"abcd", "efgh"}).Count(1).Bytes();
  const auto scanned = Scan(block);
  ASSERT_EQ(scanned.size(), 1u);
  EXPECT_EQ(scanned[0].Value, "abcd");
}

TEST(ScanMessageProps, CurrencyAndAppTimeAreEightBytes) {
  const std::string block = PropBlock()
                                .Fixed(0x0006, 1, std::string(8, 'x'))
                                .Fixed(0x0007, 2, std::string(8, 'y'))
                                .String8(0x0037, "Hi")
                                .Bytes();
  const auto scanned = Scan(block);
  ASSERT_EQ(scanned.size(), 1u);
  EXPECT_EQ(scanned[0].Value, std::string("Hi\0", 3));
}

TEST(ScanMessageProps, UnknownTypeConsumesNothing) {
  // 0x0048-like unknown type 0x0099 is followed directly by the next tag.
  const std::string block = Le32(2) + Le16(0x0099) + Le16(1) + PropBlock().String8(0x0037, "S").Bytes().substr(4);
  const auto scanned = Scan(block);
  ASSERT_EQ(scanned.size(), 1u);
  EXPECT_EQ(scanned[0].Tag, 0x0037001Eu);
}

TEST(ScanMessageProps, ValueRunningPastTheEndIsHandedCutThenTheScanFails) {
  std::string block = PropBlock().Binary(0x1009, "0123456789").Long(1, 1).Bytes();
  block.resize(4 + 4 + 4 + 4 + 6);
  std::vector<TScanned> seen;
  EXPECT_THROW(ScanMessageProps(block, [&](std::uint32_t t, std::string_view v) {
                 seen.push_back({t, std::string(v)});
               }),
               EReadError);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Value, "012345");
}

TEST(ScanMessageProps, HeaderPastTheEndRaises) {
  EXPECT_THROW(Scan("ab"), EReadError);
  EXPECT_THROW(Scan(Le32(2) + PropBlock().Long(1, 1).Bytes().substr(4)), EReadError);
  EXPECT_NO_THROW(Scan(Le32(0xFFFFFFF0)));  // negative count: nothing to scan
}

TEST(MapiSweep, EveryTruncationAndByteFlipHasADefinedOutcome) {
  const std::string block = PropBlock()
                                .String8(0x0037, "Subject")
                                .Unicode(0x3707, "name.txt")
                                .Binary(0x1009, std::string(40, 'r'))
                                .Fixed(0x0002, 3, Le32(1))
                                .Raw(Le16(0x101E) + Le16(0x8001) + std::string(16, 'g') + Le32(0) +
                                     Le32(1) + Le32(1) + Le32(2) + "z" + '\0' + "\0\0")
                                .Count(5)
                                .Bytes();
  auto run = [](const std::string& b) {
    try {
      (void)DecodeMAPIAttrs(b);
    } catch (const Exception&) {
    }
    try {
      ScanMessageProps(b, [](std::uint32_t, std::string_view) {});
    } catch (const Exception&) {
    }
  };
  for (std::size_t n = 0; n <= block.size(); ++n) run(block.substr(0, n));
  for (std::size_t i = 0; i < block.size(); ++i)
    for (unsigned char x : {0x01, 0x80, 0xFF}) {
      std::string b = block;
      b[i] = static_cast<char>(b[i] ^ x);
      run(b);
    }
  SUCCEED();
}
