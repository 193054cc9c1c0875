#include "RtfTextDecoder.h"

#include <map>
#include <mutex>

#include "CodePage.h"

namespace {

constexpr std::size_t kMaxTables = 32;

// The few symbol-font characters that real mail uses, mostly as list bullets.
std::uint32_t SymbolChar(std::uint8_t b, TSymbolFont font) {
  if (font == TSymbolFont::Wingdings) {
    switch (b) {
      case 0x6C: return 0x25CF;  // black circle
      case 0x6E: return 0x25A0;  // black square
      case 0x71: return 0x2751;
      case 0x76: return 0x2756;
      case 0x77: return 0x2B25;
      case 0xA7: return 0x25AA;  // small black square, Word's third-level bullet
      case 0xA8: return 0x25FB;
      case 0xD8: return 0x27A2;  // arrowhead
      case 0xE0: return 0x2192;
      case 0xE8: return 0x2794;
      case 0xF0: return 0x21E8;
      case 0xFB: return 0x2717;
      case 0xFC: return 0x2713;  // check mark
      case 0x4A: return 0x263A;
      default: return 0x2022;
    }
  }
  switch (b) {
    case 0xB7: return 0x2022;  // bullet
    case 0xA7: return 0x2663;
    case 0xA8: return 0x2666;
    case 0xA9: return 0x2665;
    case 0xAA: return 0x2660;
    case 0xAE: return 0x2192;
    case 0xAC: return 0x2190;
    case 0xB0: return 0x00B0;
    case 0xB1: return 0x00B1;
    case 0xB4: return 0x00D7;
    case 0xB8: return 0x00F7;
    case 0xA3: return 0x2264;
    case 0xB3: return 0x2265;
    case 0xB9: return 0x2260;
    case 0xE5: return 0x2211;
    case 0x2D: return 0x2212;
    default: break;
  }
  if (b >= 0x41 && b <= 0x5A) {
    static constexpr char16_t kUpper[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
    return kUpper[b - 0x41];
  }
  if (b >= 0x61 && b <= 0x7A) {
    static constexpr char16_t kLower[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";
    return kLower[b - 0x61];
  }
  return b;
}

}  // namespace

bool IsDoubleByteCodePage(unsigned cp) {
  switch (cp) {
    case 932: case 936: case 949: case 950: case 1361:
    case 20932: case 51932: case 51949: case 54936:
    case 10001: case 10002: case 10003: case 10008:
      return true;
    default:
      return false;
  }
}

void TRtfTextDecoder::Add(std::string_view bytes, unsigned codePage, TSymbolFont symbol) {
  if (bytes.empty()) return;
  if (!FPending.empty() && (codePage != FCodePage || symbol != FSymbol)) DecodePending(FDecoded);
  FCodePage = codePage;
  FSymbol = symbol;
  FPending.append(bytes);
}

void TRtfTextDecoder::Flush(std::string& out) {
  DecodePending(FDecoded);
  out += FDecoded;
  FDecoded.clear();
}

void TRtfTextDecoder::DecodePending(std::string& out) {
  if (FPending.empty()) return;
  if (FSymbol != TSymbolFont::None) {
    for (char c : FPending) AppendUtf8(out, SymbolChar(static_cast<std::uint8_t>(c), FSymbol));
  } else if (IsDoubleByteCodePage(FCodePage) || FCodePage == 65001 || FCodePage == 65000 ||
             (FCodePage >= 50220 && FCodePage <= 50229)) {
    // CodePageToUtf8 stops at a NUL; NULs carry nothing in text, so drop them first.
    std::string bytes;
    bytes.reserve(FPending.size());
    for (char c : FPending) if (c) bytes += c;
    out += CodePageToUtf8(bytes, FCodePage);
  } else {
    const std::array<std::string, 128>* table = nullptr;
    std::size_t i = 0;
    while (i < FPending.size()) {
      // Plain ASCII goes over in runs; only the other bytes need the table.
      std::size_t run = i;
      while (run < FPending.size() && static_cast<std::uint8_t>(FPending[run]) - 1u < 0x7Fu) ++run;
      out.append(FPending, i, run - i);
      if (run >= FPending.size()) break;
      const auto b = static_cast<std::uint8_t>(FPending[run]);
      if (b >= 0x80) {
        if (!table) table = &TableFor(FCodePage);
        out += (*table)[b - 0x80];
      }
      i = run + 1;
    }
  }
  FPending.clear();
}

const std::array<std::string, 128>& TRtfTextDecoder::TableFor(unsigned codePage) {
  // Shared by all conversions: building a table costs 128 conversions through iconv, which
  // would otherwise be paid again for every message shown. Entries are never removed, so the
  // references handed out stay valid.
  static std::mutex mutex;
  static std::map<unsigned, std::array<std::string, 128>> tables;
  const std::lock_guard<std::mutex> lock(mutex);
  auto it = tables.find(codePage);
  if (it == tables.end()) {
    // A document naming ever new code pages gets 1252 for the rest instead of unbounded work.
    if (tables.size() >= kMaxTables) {
      codePage = kDefaultCodePage;
      it = tables.find(codePage);
    }
    if (it == tables.end()) {
      std::array<std::string, 128> table;
      for (int b = 0x80; b < 0x100; ++b)
        table[static_cast<std::size_t>(b - 0x80)] =
            CodePageToUtf8(std::string(1, static_cast<char>(b)), codePage);
      it = tables.emplace(codePage, std::move(table)).first;
    }
  }
  return it->second;
}
