#pragma once
// Turns the eight-bit text of an RTF document into UTF-8. Bytes are collected while the code
// page stays the same, so that the two bytes of a double-byte character that arrive as two
// \'hh escapes are decoded together; single-byte code pages go through a table built once.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "RtfTables.h"

class TRtfTextDecoder {
public:
  // Queues bytes in codePage (symbol fonts map their own way).
  void Add(std::string_view bytes, unsigned codePage, TSymbolFont symbol);
  // Decodes what is queued, appending UTF-8 to out.
  void Flush(std::string& out);
  bool Empty() const { return FPending.empty() && FDecoded.empty(); }

private:
  const std::array<std::string, 128>& TableFor(unsigned codePage);
  void DecodePending(std::string& out);

  std::string FPending;
  std::string FDecoded;
  unsigned FCodePage = 0;
  TSymbolFont FSymbol = TSymbolFont::None;
};

// True for the code pages whose characters take one or two bytes.
bool IsDoubleByteCodePage(unsigned codePage);
