#include "RtfReader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <unordered_map>

#include "CodePage.h"
#include "RtfField.h"

namespace {

// Real documents nest groups a few dozen deep; beyond this bound braces are only counted, so
// the state stack (one copy per open group) stays small whatever the input.
constexpr std::size_t kMaxDepth = 256;
// A field instruction is a short command line (HYPERLINK "target" ...); longer ones are clipped.
constexpr std::size_t kMaxInstruction = 4096;
// The page may grow to this many bytes per input byte (plus a floor) before it is cut.
constexpr std::size_t kOutputPerInputByte = 48;
constexpr std::size_t kOutputFloor = 1 << 20;

enum class W {
  Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, FromHtml, FromText,
  FontTable, ColorTable, Pict, Field, FldInst, FldRslt, HtmlTag, HtmlRtf,
  SkipDest, ShowDest, ListText, PnText, Background, ShapeName, ShapeValue,
  F, FCharset, Cpg, Red, Green, Blue,
  Plain, B, I, Ul, UlNone, Strike, V, Caps, Super, Sub, NoSuperSub, Fs, Cf, Cb, Highlight,
  Pard, Par, Sect, Line, Tab, Page, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, InTbl, Ls, RtlPar, LtrPar,
  Trowd, Cellx, Cell, Row, NestCell, NestRow, ClCbPat, Border, TrLeft,
  U, Uc,
  PngBlip, JpegBlip, EmfBlip, WMetafile, DiBitmap, WBitmap, Picw, Pich, PicwGoal, PichGoal,
  PicScaleX, PicScaleY,
  Char,  // a control word that stands for one character
};

struct TWordInfo {
  W Kind;
  std::uint32_t CodePoint = 0;
};

const std::unordered_map<std::string_view, TWordInfo>& Words() {
  static const std::unordered_map<std::string_view, TWordInfo> words = [] {
    std::unordered_map<std::string_view, TWordInfo> m = {
        {"rtf", {W::Rtf}}, {"ansi", {W::Ansi}}, {"mac", {W::Mac}}, {"pc", {W::Pc}},
        {"pca", {W::Pca}}, {"ansicpg", {W::AnsiCpg}}, {"deff", {W::Deff}},
        {"fromhtml", {W::FromHtml}}, {"fromtext", {W::FromText}},
        {"fonttbl", {W::FontTable}}, {"colortbl", {W::ColorTable}}, {"pict", {W::Pict}},
        {"field", {W::Field}}, {"fldinst", {W::FldInst}}, {"fldrslt", {W::FldRslt}},
        {"htmltag", {W::HtmlTag}}, {"htmlrtf", {W::HtmlRtf}},
        {"listtext", {W::ListText}}, {"pntext", {W::PnText}}, {"background", {W::Background}},
        {"sn", {W::ShapeName}}, {"sv", {W::ShapeValue}},
        {"shppict", {W::ShowDest}}, {"shprslt", {W::ShowDest}}, {"result", {W::ShowDest}},
        {"f", {W::F}}, {"fcharset", {W::FCharset}}, {"cpg", {W::Cpg}},
        {"red", {W::Red}}, {"green", {W::Green}}, {"blue", {W::Blue}},
        {"plain", {W::Plain}}, {"b", {W::B}}, {"i", {W::I}},
        {"ul", {W::Ul}}, {"uld", {W::Ul}}, {"uldash", {W::Ul}}, {"uldashd", {W::Ul}},
        {"uldashdd", {W::Ul}}, {"uldb", {W::Ul}}, {"ulhwave", {W::Ul}}, {"ulth", {W::Ul}},
        {"ulw", {W::Ul}}, {"ulwave", {W::Ul}}, {"ulldash", {W::Ul}}, {"ululdbwave", {W::Ul}},
        {"ulnone", {W::UlNone}}, {"strike", {W::Strike}}, {"striked", {W::Strike}},
        {"v", {W::V}}, {"webhidden", {W::V}}, {"caps", {W::Caps}}, {"scaps", {W::Caps}},
        {"super", {W::Super}}, {"sub", {W::Sub}}, {"nosupersub", {W::NoSuperSub}},
        {"fs", {W::Fs}}, {"cf", {W::Cf}}, {"cb", {W::Cb}}, {"chcbpat", {W::Cb}},
        {"highlight", {W::Highlight}},
        {"pard", {W::Pard}}, {"par", {W::Par}}, {"sect", {W::Sect}}, {"line", {W::Line}},
        {"tab", {W::Tab}}, {"page", {W::Page}}, {"ql", {W::Ql}}, {"qc", {W::Qc}},
        {"qr", {W::Qr}}, {"qj", {W::Qj}}, {"qd", {W::Qj}}, {"li", {W::Li}}, {"lin", {W::Li}},
        {"ri", {W::Ri}}, {"rin", {W::Ri}}, {"fi", {W::Fi}}, {"sb", {W::Sb}}, {"sa", {W::Sa}},
        {"intbl", {W::InTbl}}, {"ls", {W::Ls}}, {"rtlpar", {W::RtlPar}}, {"ltrpar", {W::LtrPar}},
        {"trowd", {W::Trowd}}, {"cellx", {W::Cellx}}, {"cell", {W::Cell}}, {"row", {W::Row}},
        {"nestcell", {W::NestCell}}, {"nestrow", {W::NestRow}}, {"clcbpat", {W::ClCbPat}},
        {"clbrdrt", {W::Border}}, {"clbrdrb", {W::Border}}, {"clbrdrl", {W::Border}},
        {"clbrdrr", {W::Border}}, {"trbrdrt", {W::Border}}, {"trbrdrb", {W::Border}},
        {"trbrdrl", {W::Border}}, {"trbrdrr", {W::Border}}, {"trleft", {W::TrLeft}},
        {"u", {W::U}}, {"uc", {W::Uc}},
        {"pngblip", {W::PngBlip}}, {"jpegblip", {W::JpegBlip}}, {"emfblip", {W::EmfBlip}},
        {"wmetafile", {W::WMetafile}}, {"dibitmap", {W::DiBitmap}}, {"wbitmap", {W::WBitmap}},
        {"picw", {W::Picw}}, {"pich", {W::Pich}}, {"picwgoal", {W::PicwGoal}},
        {"pichgoal", {W::PichGoal}}, {"picscalex", {W::PicScaleX}}, {"picscaley", {W::PicScaleY}},
        {"emdash", {W::Char, 0x2014}}, {"endash", {W::Char, 0x2013}},
        {"emspace", {W::Char, 0x2003}}, {"enspace", {W::Char, 0x2002}},
        {"qmspace", {W::Char, 0x2005}}, {"bullet", {W::Char, 0x2022}},
        {"lquote", {W::Char, 0x2018}}, {"rquote", {W::Char, 0x2019}},
        {"ldblquote", {W::Char, 0x201C}}, {"rdblquote", {W::Char, 0x201D}},
        {"zwj", {W::Char, 0x200D}}, {"zwnj", {W::Char, 0x200C}}, {"zwbo", {W::Char, 0x200B}},
        {"ltrmark", {W::Char, 0x200E}}, {"rtlmark", {W::Char, 0x200F}},
    };
    // Destinations the pane does not show: document properties, styles, lists' definitions,
    // headers and footers, notes, comments, index entries, bookmarks, embedded objects' data.
    static constexpr std::string_view kSkipped[] = {
        "stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl",
        "footerr", "footerf", "footnote", "pn", "pntxta", "pntxtb", "listtable",
        "listoverridetable", "revtbl", "rsidtbl", "filetbl", "nonshppict", "xe", "tc", "txe",
        "rxe", "bkmkstart", "bkmkend", "author", "operator", "title", "subject", "keywords",
        "comment", "doccomm", "company", "objdata", "objclass", "objname", "template",
        "annotation", "atnid", "atnauthor", "atndate", "atnref", "atnparent", "themedata",
        "colorschememapping", "datastore", "latentstyles", "generator", "userprops", "docvar",
        "private", "shpinst", "sp", "picprop", "blipuid", "ftnsep", "ftnsepc",
        "aftnsep", "aftnsepc", "listpicture", "mmathPr", "panose", "falt", "leveltext",
        "levelnumbers", "listname", "do", "creatim", "revtim", "printim", "buptim",
        "xmlnstbl", "wgrffmtfilter", "pgdsctbl", "mhtmltag", "datafield", "formfield",
        "ffdeftext", "fftext", "ffname", "ffentrymcr", "ffexitmcr", "ffhelptext",
        "ffstattext", "ffl", "fchars", "lchars", "pgptbl", "protusertbl",
        "tcn", "ud", "upr", "hlinkbase", "nesttableprops", "passwordhash", "defchp", "defpap",
        "bkmkcolf", "bkmkcoll", "fldtype", "mmath", "oleclsid",
    };
    for (std::string_view s : kSkipped) m.emplace(s, TWordInfo{W::SkipDest});
    return m;
  }();
  return words;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

TRtfReader::TRtfReader(std::string_view rtf, unsigned defaultCodePage, TBodyOutputs outputs, const TStopFlag* stop)
    : FTokenizer(rtf),
      FWriter(FFonts, FColors, kOutputFloor + kOutputPerInputByte * rtf.size(), rtf.size(), outputs),
      FCodePage(defaultCodePage ? defaultCodePage : kDefaultCodePage),
      FHtmlLimit(kOutputFloor + 4 * rtf.size()),
      FInputSize(rtf.size()),
      FStop(stop) {
  FStack.reserve(kMaxDepth + 1);
  FStack.emplace_back();
}

bool TRtfReader::HtmlOut() const {
  const TRtfGroupState& s = FStack.back();
  if (!FResult.EncapsulatedHtml) return false;
  if (s.Destination == TRtfDestination::HtmlTag) return true;
  return s.Destination == TRtfDestination::Normal && !s.HtmlRtf;
}

bool TRtfReader::Shown() const {
  const TRtfGroupState& s = FStack.back();
  if (FResult.EncapsulatedHtml) return HtmlOut();
  return s.Destination == TRtfDestination::Normal && !s.Char.Hidden;
}

unsigned TRtfReader::TextCodePage(TSymbolFont& symbol) {
  symbol = TSymbolFont::None;
  const TRtfGroupState& s = Top();
  // Encapsulated HTML markup is in the document's code page; text follows its font.
  if (s.Destination == TRtfDestination::HtmlTag) return FCodePage;
  const TRtfFont* font = FFonts.Find(s.Char.Font >= 0 ? s.Char.Font : FDefaultFont);
  if (!font) return FCodePage;
  symbol = font->Symbol;
  return font->CodePage ? font->CodePage : FCodePage;
}

TRtfReadResult TRtfReader::Read() {
  while (!FDone) {
    StopPoint(FStop, FSteps);
    const TRtfToken token = FTokenizer.Next();
    if (token.Kind == TRtfTokenKind::End) break;
    if (FWriter.Full() || FResult.Html.size() > FHtmlLimit) {
      FResult.Truncated = true;
      break;
    }
    if (token.Kind != TRtfTokenKind::Word) FStar = false;
    switch (token.Kind) {
      case TRtfTokenKind::GroupStart: GroupStart(); break;
      case TRtfTokenKind::GroupEnd: GroupEnd(); break;
      case TRtfTokenKind::Word: Word(token); break;
      case TRtfTokenKind::Symbol: Symbol(token.Symbol); break;
      case TRtfTokenKind::Text: TextBytes(token.Name); break;
      case TRtfTokenKind::HexByte: {
        const char b = static_cast<char>(token.Byte);
        if (FSkip > 0) { --FSkip; break; }
        if (Top().Destination == TRtfDestination::Picture) break;  // not picture data
        RouteBytes(std::string_view(&b, 1));
        break;
      }
      case TRtfTokenKind::Binary:
        if (FSkip > 0) { --FSkip; break; }
        if (Top().Destination == TRtfDestination::Picture && FPicture) FPicture->AddBinary(token.Name);
        break;
      case TRtfTokenKind::End: break;
    }
  }
  FlushText();
  if (FPicture && FStack.size() > 0) FinishPicture();
  if (FWriter.Full()) FResult.Truncated = true;
  if (!FResult.EncapsulatedHtml) FWriter.Finish(FResult.Html, FResult.Text, FResult.PageColor);
  return std::move(FResult);
}

void TRtfReader::GroupStart() {
  FlushText();
  FSkip = 0;  // a group ends the characters that stand in for a \u
  if (FStack.size() > kMaxDepth) { ++FOverflow; return; }
  FStack.push_back(FStack.back());
  Top().ListLabel = false;
}

void TRtfReader::GroupEnd() {
  FlushText();
  FSkip = 0;
  if (FOverflow > 0) { --FOverflow; return; }
  if (FStack.size() <= 1) return;  // a stray '}' outside every group
  const TRtfDestination closing = Top().Destination;
  const std::uint8_t shapeField = Top().ShapeField;
  FStack.pop_back();
  if (closing == TRtfDestination::Background && shapeField == 2 && Top().ShapeField != 2) {
    // The page colour: fillColor holds 0x00BBGGRR.
    if (FShapeName == "fillColor" && !FShapeValue.empty() &&
        FShapeValue.find_first_not_of("0123456789") == std::string::npos && FShapeValue.size() <= 10) {
      const unsigned long v = std::stoul(FShapeValue);
      char css[8];
      std::snprintf(css, sizeof css, "#%02lx%02lx%02lx", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
      FResult.PageColor = css;
    }
  }
  if (closing == TRtfDestination::Picture && Top().Destination != TRtfDestination::Picture)
    FinishPicture();
  if (closing == TRtfDestination::FontTable && Top().Destination != TRtfDestination::FontTable)
    FFonts.Commit(FCodePage);
  while (!FFields.empty() && FFields.back().Depth > FStack.size()) FFields.pop_back();
  if (FStack.size() == 1) FDone = true;  // the document's own group closed
}

void TRtfReader::SetDestination(TRtfDestination destination) {
  // Nothing inside a skipped group is shown, whatever destinations it opens; the background
  // shape keeps its own reading of everything inside it.
  if (Top().Destination == TRtfDestination::Skip || Top().Destination == TRtfDestination::Background)
    return;
  Top().Destination = destination;
}

void TRtfReader::TextBytes(std::string_view bytes) {
  while (FSkip > 0 && !bytes.empty()) {
    bytes.remove_prefix(1);
    --FSkip;
  }
  if (!bytes.empty()) RouteBytes(bytes);
}

void TRtfReader::RouteBytes(std::string_view bytes) {
  TRtfGroupState& s = Top();
  switch (s.Destination) {
    case TRtfDestination::Normal:
    case TRtfDestination::HtmlTag:
    case TRtfDestination::FieldInstruction: {
      if (s.Destination != TRtfDestination::FieldInstruction && !Shown()) return;
      TSymbolFont symbol;
      const unsigned cp = TextCodePage(symbol);
      FDecoder.Add(bytes, cp, s.Destination == TRtfDestination::Normal ? symbol : TSymbolFont::None);
      return;
    }
    case TRtfDestination::FontTable:
      while (!bytes.empty()) {
        const auto semi = bytes.find(';');
        FFonts.AddNameBytes(bytes.substr(0, semi));
        if (semi == std::string_view::npos) break;
        FFonts.Commit(FCodePage);
        bytes.remove_prefix(semi + 1);
      }
      return;
    case TRtfDestination::ColorTable:
      for (char c : bytes)
        if (c == ';') FColors.Commit();
      return;
    case TRtfDestination::Picture:
      if (FPicture) FPicture->AddHex(bytes);
      return;
    case TRtfDestination::Background: {
      std::string& to = s.ShapeField == 1 ? FShapeName : FShapeValue;
      if (s.ShapeField && to.size() < 64) to.append(bytes.substr(0, 64 - to.size()));
      return;
    }
    case TRtfDestination::Skip:
      return;
  }
}

void TRtfReader::FlushText() {
  if (FDecoder.Empty()) return;
  FFlushBuffer.clear();
  FDecoder.Flush(FFlushBuffer);
  EmitUtf8(FFlushBuffer);
}

void TRtfReader::EmitUtf8(std::string_view utf8) {
  if (utf8.empty()) return;
  TRtfGroupState& s = Top();
  if (s.Destination == TRtfDestination::FieldInstruction) {
    if (!FFields.empty()) {
      std::string& instr = FFields.back().Instruction;
      instr.append(utf8.substr(0, kMaxInstruction - std::min(kMaxInstruction, instr.size())));
    }
    return;
  }
  if (!Shown()) return;
  if (FResult.EncapsulatedHtml) {
    FResult.Html.append(utf8);
    return;
  }
  FWriter.Text(utf8, s.Char);
}

void TRtfReader::EmitChar(std::uint32_t codePoint) {
  FlushText();
  std::string utf8;
  AppendUtf8(utf8, codePoint);
  EmitUtf8(utf8);
}

void TRtfReader::Unicode(std::int32_t value) {
  std::uint32_t cp = static_cast<std::uint32_t>(value < 0 ? value + 65536 : value);
  FlushText();
  if (cp >= 0xD800 && cp <= 0xDBFF) {
    FHighSurrogate = cp;
  } else {
    if (cp >= 0xDC00 && cp <= 0xDFFF && FHighSurrogate)
      cp = 0x10000 + ((FHighSurrogate - 0xD800) << 10) + (cp - 0xDC00);
    FHighSurrogate = 0;
    if (cp != 0) EmitChar(cp);
  }
  FSkip = Top().UnicodeSkip;
}

void TRtfReader::ListLabelAwareTab(const TRtfGroupState& state) {
  if (state.ListLabel)
    FWriter.LabelGap(state.Char);
  else
    FWriter.Tab(state.Char);
}

void TRtfReader::Paragraph() {
  TRtfGroupState& s = Top();
  if (FResult.EncapsulatedHtml) {
    if (HtmlOut()) FResult.Html.append("\r\n");
    return;
  }
  if (s.Destination != TRtfDestination::Normal) return;
  FWriter.EndParagraph(s.Para, FParaHasLabel);
  FParaHasLabel = false;
}

void TRtfReader::StartFieldResult() {
  SetDestination(TRtfDestination::Normal);
  if (FFields.empty() || Top().Destination != TRtfDestination::Normal) return;
  const std::string target = SafeLinkTarget(HyperlinkTarget(FFields.back().Instruction));
  if (!target.empty()) Top().Char.Href = std::make_shared<const std::string>(target);
}

void TRtfReader::FinishPicture() {
  std::unique_ptr<TRtfPictureBuilder> builder = std::move(FPicture);
  if (!builder || builder->Empty()) return;
  // A picture inside something not shown (a background, hidden text, the RTF side of
  // encapsulated HTML) is dropped, so every picture handed out is referenced by the page.
  const bool shown = Top().Destination == TRtfDestination::Normal && !Top().Char.Hidden &&
                     !FResult.EncapsulatedHtml;
  if (!shown) return;
  TRtfPicture picture = builder->Finish(static_cast<int>(FResult.Pictures.size()));
  FWriter.Picture(picture.Id, picture.WidthPx, picture.HeightPx, Top().Char);
  FResult.Pictures.push_back(std::move(picture));
}

void TRtfReader::Symbol(char symbol) {
  if (symbol == '*') { FStar = true; return; }
  if (FSkip > 0) { --FSkip; return; }
  switch (symbol) {
    case '\\': case '{': case '}':
      RouteBytes(std::string_view(&symbol, 1));
      return;
    case '~': EmitChar(0x00A0); return;
    case '_': EmitChar(0x2011); return;
    case '\n': FlushText(); Paragraph(); return;
    case '\t': FlushText(); if (!FResult.EncapsulatedHtml && Shown()) ListLabelAwareTab(Top()); return;
    default: return;  // \- (optional hyphen), \| and \: show nothing
  }
}

void TRtfReader::Word(const TRtfToken& token) {
  FlushText();
  const bool star = FStar;
  FStar = false;
  const auto& words = Words();
  const auto it = words.find(token.Name);
  if (it == words.end()) {
    if (star) SetDestination(TRtfDestination::Skip);  // an optional destination we do not know
    else if (FSkip > 0) --FSkip;
    return;
  }
  const W kind = it->second.Kind;
  const int param = token.Param;
  const bool on = !token.HasParam || param != 0;
  TRtfGroupState& s = Top();
  if (FSkip > 0 && kind != W::U) { --FSkip; return; }
  switch (kind) {
    case W::Rtf: break;
    case W::Ansi: break;
    case W::Mac: FCodePage = 10000; break;
    case W::Pc: FCodePage = 437; break;
    case W::Pca: FCodePage = 850; break;
    case W::AnsiCpg: if (param > 0) FCodePage = static_cast<unsigned>(param); break;
    case W::Deff: FDefaultFont = param; FWriter.SetDefaultFont(param); break;
    case W::FromHtml:
      if (FStack.size() <= 2) FResult.EncapsulatedHtml = on;
      // The HTML inside is smaller than the RTF around it: reserved once, it never moves.
      if (FResult.EncapsulatedHtml) FResult.Html.reserve(std::min(FHtmlLimit, FInputSize));
      break;
    case W::FromText: if (FStack.size() <= 2) FResult.EncapsulatedText = true; break;
    case W::FontTable: SetDestination(TRtfDestination::FontTable); break;
    case W::ColorTable: SetDestination(TRtfDestination::ColorTable); break;
    case W::Pict:
      if (s.Destination == TRtfDestination::Skip || s.Destination == TRtfDestination::Background) break;
      if (FPicture) { SetDestination(TRtfDestination::Skip); break; }
      SetDestination(TRtfDestination::Picture);
      FPicture = std::make_unique<TRtfPictureBuilder>();
      break;
    case W::Field:
      if (FFields.size() < kMaxDepth) {
        if (!FFields.empty() && FFields.back().Depth == FStack.size()) FFields.pop_back();
        FFields.push_back(TField{FStack.size(), {}});
      }
      break;
    case W::FldInst: SetDestination(TRtfDestination::FieldInstruction); break;
    case W::FldRslt: StartFieldResult(); break;
    case W::HtmlTag:
      SetDestination(FResult.EncapsulatedHtml ? TRtfDestination::HtmlTag : TRtfDestination::Skip);
      break;
    case W::HtmlRtf: s.HtmlRtf = on; break;
    case W::SkipDest: SetDestination(TRtfDestination::Skip); break;
    case W::ShowDest: break;
    case W::Background:
      if (s.Destination != TRtfDestination::Skip) s.Destination = TRtfDestination::Background;
      break;
    case W::ShapeName:
    case W::ShapeValue:
      if (s.Destination == TRtfDestination::Background) {
        s.ShapeField = kind == W::ShapeName ? 1 : 2;
        (kind == W::ShapeName ? FShapeName : FShapeValue).clear();
      } else {
        SetDestination(TRtfDestination::Skip);
      }
      break;
    case W::ListText:
    case W::PnText:
      s.ListLabel = true;
      FParaHasLabel = true;
      break;
    case W::F:
      if (s.Destination == TRtfDestination::FontTable) FFonts.Begin(param);
      else s.Char.Font = param;
      break;
    case W::FCharset: if (s.Destination == TRtfDestination::FontTable) FFonts.SetCharset(param); break;
    case W::Cpg: if (s.Destination == TRtfDestination::FontTable) FFonts.SetCodePage(param); break;
    case W::Red: if (s.Destination == TRtfDestination::ColorTable) FColors.SetRed(param); break;
    case W::Green: if (s.Destination == TRtfDestination::ColorTable) FColors.SetGreen(param); break;
    case W::Blue: if (s.Destination == TRtfDestination::ColorTable) FColors.SetBlue(param); break;
    case W::Plain: {
      auto href = s.Char.Href;
      s.Char = TRtfCharFormat{};
      s.Char.Href = std::move(href);
      break;
    }
    case W::B: s.Char.Bold = on; break;
    case W::I: s.Char.Italic = on; break;
    case W::Ul: s.Char.Underline = on; break;
    case W::UlNone: s.Char.Underline = false; break;
    case W::Strike: s.Char.Strike = on; break;
    case W::V: s.Char.Hidden = on; break;
    case W::Caps: s.Char.Caps = on; break;
    case W::Super: s.Char.VertAlign = 1; break;
    case W::Sub: s.Char.VertAlign = -1; break;
    case W::NoSuperSub: s.Char.VertAlign = 0; break;
    case W::Fs: s.Char.HalfPoints = token.HasParam ? Clamp(param, 2, 3276) : 24; break;
    case W::Cf: s.Char.Color = param; break;
    case W::Cb: case W::Highlight: s.Char.Back = param; break;
    case W::Pard: s.Para = TRtfParaFormat{}; break;
    case W::Par: Paragraph(); break;
    case W::Sect: Paragraph(); break;
    case W::Page: break;  // the pane has no pages
    case W::Line:
      if (FResult.EncapsulatedHtml) { if (HtmlOut()) FResult.Html.append("\r\n"); }
      else if (Shown()) FWriter.LineBreak(s.Char);
      break;
    case W::Tab:
      if (FResult.EncapsulatedHtml) { if (HtmlOut()) FResult.Html.append("\t"); }
      else if (Shown()) ListLabelAwareTab(s);
      break;
    case W::Ql: s.Para.Align = TRtfAlign::Left; break;
    case W::Qc: s.Para.Align = TRtfAlign::Center; break;
    case W::Qr: s.Para.Align = TRtfAlign::Right; break;
    case W::Qj: s.Para.Align = TRtfAlign::Justify; break;
    case W::Li: s.Para.LeftIndent = Clamp(param, -31680, 31680); break;
    case W::Ri: s.Para.RightIndent = Clamp(param, -31680, 31680); break;
    case W::Fi: s.Para.FirstIndent = Clamp(param, -31680, 31680); break;
    case W::Sb: s.Para.SpaceBefore = Clamp(param, 0, 31680); break;
    case W::Sa: s.Para.SpaceAfter = Clamp(param, 0, 31680); break;
    case W::InTbl: s.Para.InTable = true; break;
    case W::Ls: s.Para.ListId = param; break;
    case W::RtlPar: s.Para.RightToLeft = true; break;
    case W::LtrPar: s.Para.RightToLeft = false; break;
    case W::Trowd: FRow = TRtfRowFormat{}; FPendingShade = 0; break;
    case W::Cellx:
      if (FRow.CellRight.size() < 1024) {
        FRow.CellRight.push_back(Clamp(param, -31680, 31680 * 4));
        FRow.CellShade.push_back(FPendingShade);
      }
      FPendingShade = 0;
      break;
    case W::ClCbPat: FPendingShade = param; break;
    case W::Border: FRow.Borders = true; break;
    case W::TrLeft: FRow.Left = Clamp(param, -31680, 31680); break;
    case W::Cell:
      if (!FResult.EncapsulatedHtml && s.Destination == TRtfDestination::Normal) {
        FWriter.EndCell(s.Para);
        FParaHasLabel = false;
      }
      break;
    case W::Row:
      if (!FResult.EncapsulatedHtml && s.Destination == TRtfDestination::Normal) FWriter.EndRow(FRow);
      break;
    case W::NestCell: case W::NestRow:
      if (!FResult.EncapsulatedHtml && Shown()) FWriter.LineBreak(s.Char);
      break;
    case W::U: Unicode(param); break;
    case W::Uc: s.UnicodeSkip = Clamp(param, 0, 16); break;
    case W::PngBlip: if (FPicture) FPicture->SetFormat(TPictureFormat::Png); break;
    case W::JpegBlip: if (FPicture) FPicture->SetFormat(TPictureFormat::Jpeg); break;
    case W::EmfBlip: if (FPicture) FPicture->SetFormat(TPictureFormat::Emf); break;
    case W::WMetafile: if (FPicture) FPicture->SetFormat(TPictureFormat::Wmf); break;
    case W::DiBitmap: if (FPicture) FPicture->SetFormat(TPictureFormat::Dib); break;
    case W::WBitmap: if (FPicture) FPicture->SetFormat(TPictureFormat::Unknown); break;
    case W::Picw: if (FPicture) FPicture->SetWidth(param); break;
    case W::Pich: if (FPicture) FPicture->SetHeight(param); break;
    case W::PicwGoal: if (FPicture) FPicture->SetGoalWidth(param); break;
    case W::PichGoal: if (FPicture) FPicture->SetGoalHeight(param); break;
    case W::PicScaleX: if (FPicture) FPicture->SetScaleX(param); break;
    case W::PicScaleY: if (FPicture) FPicture->SetScaleY(param); break;
    case W::Char:
      if (FResult.EncapsulatedHtml || Shown()) EmitChar(it->second.CodePoint);
      break;
  }
}
