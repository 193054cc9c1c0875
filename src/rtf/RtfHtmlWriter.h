#pragma once
// Writes the shown text of an RTF document as HTML for the message pane and as plain text:
// runs of equally formatted text become one <span>, paragraphs <p>, table rows <tr>.
// The output is bounded: once it reaches its limit, Full() turns true and further text is
// dropped, so a small hostile document cannot make a huge page.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "RtfState.h"
#include "RtfTables.h"
#include "RtfToHtml.h"

struct TRtfRowFormat {
  std::vector<int> CellRight;  // \cellx, twips from the row's left edge
  std::vector<int> CellShade;  // \clcbpat colour index per cell (0 none)
  int Left = 0;                // \trleft
  bool Borders = false;        // any \clbrdr or \trbrdr
};

class TRtfHtmlWriter {
public:
  // inputSize: the document's size, from which the outputs are reserved so that they grow
  // without being copied. outputs: what to build; the other stays empty.
  TRtfHtmlWriter(const TRtfFontTable& fonts, const TRtfColorTable& colors, std::size_t limit,
                 std::size_t inputSize = 0, TBodyOutputs outputs = TBodyOutputs::HtmlAndText);

  void SetDefaultFont(int font) { FDefaultFont = font; }
  // utf8 holds no line breaks; every character of it is shown.
  void Text(std::string_view utf8, const TRtfCharFormat& format);
  void Tab(const TRtfCharFormat& format);
  // The tab after a list label: a short gap on the page, still a tab in the plain text.
  void LabelGap(const TRtfCharFormat& format);
  void LineBreak(const TRtfCharFormat& format);
  void Picture(int id, int widthPx, int heightPx, const TRtfCharFormat& format);
  // hasLabel: the paragraph brought its own list number or bullet (\listtext, \pntext).
  void EndParagraph(const TRtfParaFormat& para, bool hasLabel);
  void EndCell(const TRtfParaFormat& para);
  void EndRow(const TRtfRowFormat& row);

  // Closes what is open and hands over the page (a <div>) and the plain text, moved, not
  // copied. pageColor: the document's page colour ("#rrggbb") or empty.
  void Finish(std::string& html, std::string& text, const std::string& pageColor);
  bool Full() const { return FFull; }

private:
  void OpenRun(const TRtfCharFormat& format);
  void CloseRun();
  // utf8 escaped into the paragraph being written, in a run of its format.
  void AppendEscaped(std::string_view utf8, const TRtfCharFormat& format);
  void CloseTable();
  void WriteRow(const TRtfRowFormat& row);
  std::string RunStyle(const TRtfCharFormat& format) const;
  std::string ParagraphStyle(const TRtfParaFormat& para) const;
  void Append(std::string& to, std::string_view s);
  // The page's opening <div>, for the default font as known now.
  std::string PageHead(const std::string& pageColor) const;

  const TRtfFontTable& FFonts;
  const TRtfColorTable& FColors;
  std::size_t FLimit;
  std::size_t FSize = 0;  // bytes written into all buffers
  bool FFull = false;
  int FDefaultFont = 0;
  bool FWantHtml = true;
  bool FWantText = true;
  std::size_t FHeadSize = 0;  // the opening <div> written at the start of FHtml; 0: none yet
  bool FRightToLeftSeen = false;  // from then on every paragraph says its direction

  std::string FHtml;   // finished blocks
  std::string FText;
  std::string FPara;   // the paragraph being written (inline HTML)
  std::string FParaText;
  bool FParaEmpty = true;
  bool FParaSpacesOnly = true;  // nothing but spaces written into the paragraph so far
  bool FRunOpen = false;
  TRtfCharFormat FRun;
  std::shared_ptr<const std::string> FLink;  // the open <a>, if any

  bool FTableOpen = false;
  std::string FCell;   // paragraphs of the cell being written
  std::string FCellText;
  bool FCellEmpty = true;
  std::vector<std::string> FRowCells;
  std::vector<std::string> FRowTexts;
};

// "http:", "https:", "mailto:", "ftp:", "news:" and "#anchor" targets pass; anything else
// (script, data, file, other schemes) gives an empty string.
std::string SafeLinkTarget(std::string_view target);
