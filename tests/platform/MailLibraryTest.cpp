// Our shipped mail library, called through its exports as the viewer calls it: tolerant
// where the viewer's own decoder is strict, and never out of bounds.

#include <gtest/gtest.h>

#include "ByteIStream.h"
#include "CompressedRtf.h"
#include "DynamicLibrary.h"
#include "Exception.h"
#include "MapiAbi.h"
#include "TnefBuilder.h"

namespace {

class MailLibrary : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FLibrary.Load(VELQUIN_MAILLIB)) << FLibrary.LastError();
    FWrap = reinterpret_cast<mapi::WrapCompressedRTFStreamFn>(FLibrary.Symbol("WrapCompressedRTFStream"));
    ASSERT_NE(FWrap, nullptr);
    ASSERT_NE(FLibrary.Symbol("MAPIInitialize"), nullptr);
    ASSERT_NE(FLibrary.Symbol("MAPIUninitialize"), nullptr);
  }

  // The text the library gives for value, or nullopt when it refuses to wrap.
  std::optional<std::string> Decompress(const std::string& value, mapi::ULONG flags = 0) {
    mapi::IStream* in = mapi::TByteIStream::Create(value);
    mapi::IStream* out = nullptr;
    const mapi::HRESULT hr = FWrap(in, flags, &out);
    in->lpVtbl->Release(in);
    if (hr != mapi::S_OK) {
      EXPECT_EQ(out, nullptr);
      return std::nullopt;
    }
    std::string text;
    char buffer[4096];
    mapi::ULONG n = 0;
    while (out->lpVtbl->Read(out, buffer, sizeof buffer, &n) == mapi::S_OK && n > 0) text.append(buffer, n);
    out->lpVtbl->Release(out);
    return text;
  }

  TDynamicLibrary FLibrary;
  mapi::WrapCompressedRTFStreamFn FWrap = nullptr;
  const std::string FRtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Hello, hello, hello "
                           "world \\par and again world \\par}";
};

TEST_F(MailLibrary, DecodesWhatTheStrictDecoderAccepts) {
  EXPECT_EQ(Decompress(tb::Lzfu(FRtf)), FRtf);
  EXPECT_EQ(Decompress(tb::LzfuLiterals(FRtf)), FRtf);
  EXPECT_EQ(Decompress(tb::Mela(FRtf)), FRtf);
}

TEST_F(MailLibrary, AcceptsWhatRealWritersGetWrong) {
  const auto raw = static_cast<std::uint32_t>(FRtf.size());
  // COMPSIZE holding RAWSIZE in a stored stream, and any CRC.
  EXPECT_EQ(Decompress(tb::RtfValue(raw, kCompTypeStored, FRtf, raw, 0x12345678)), FRtf);
  // A stored stream shorter than RAWSIZE gives what it has.
  EXPECT_EQ(Decompress(tb::RtfValue(raw + 100, kCompTypeStored, FRtf)), FRtf);
  // A compressed stream with a wrong COMPSIZE and CRC.
  std::string lzfu = tb::Lzfu(FRtf);
  lzfu[0] = '\x07';
  lzfu[12] = '\x55';
  EXPECT_THROW(DecompressRTF(lzfu), Exception);
  EXPECT_EQ(Decompress(lzfu), FRtf);
}

TEST_F(MailLibrary, TokenDataCutAnywhereGivesWhatWasDecoded) {
  const std::string full = tb::Lzfu(FRtf);
  for (std::size_t cut = 16; cut < full.size(); ++cut) {
    const auto text = Decompress(full.substr(0, cut));
    ASSERT_TRUE(text) << cut;
    EXPECT_EQ(FRtf.compare(0, text->size(), *text), 0) << cut;
  }
}

TEST_F(MailLibrary, MangledTokensStayInBounds) {
  // Every byte flipped in turn: whatever comes out is defined and bounded.
  const std::string full = tb::Lzfu(FRtf);
  for (std::size_t i = 16; i < full.size(); ++i) {
    std::string bad = full;
    bad[i] = static_cast<char>(bad[i] ^ 0xFF);
    const auto text = Decompress(bad);
    ASSERT_TRUE(text);
    EXPECT_LE(text->size(), (full.size() - 16) * 17 / 2 + 17);
  }
}

TEST_F(MailLibrary, RefusesWhatIsNotCompressedRtf) {
  EXPECT_FALSE(Decompress(""));
  EXPECT_FALSE(Decompress(std::string(15, 'x')));
  EXPECT_FALSE(Decompress(tb::RtfValue(4, 0x12345678, "abcd")));
  EXPECT_FALSE(Decompress(tb::Mela(FRtf), mapi::MAPI_MODIFY));
  mapi::IStream* out = reinterpret_cast<mapi::IStream*>(1);
  EXPECT_NE(FWrap(nullptr, 0, &out), mapi::S_OK);
  EXPECT_EQ(out, nullptr);
}

}  // namespace
