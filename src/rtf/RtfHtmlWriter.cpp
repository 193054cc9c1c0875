#include "RtfHtmlWriter.h"

#include <algorithm>
#include <cctype>

#include "LargeBuffer.h"
#include "RtfToHtml.h"

namespace {

// RTF measures in twips (1/20 point); the pane lays out at 96 dots per inch.
int TwipsToPx(int twips) { return twips / 15; }

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

std::string SafeLinkTarget(std::string_view target) {
  while (!target.empty() && static_cast<unsigned char>(target.front()) <= ' ') target.remove_prefix(1);
  while (!target.empty() && static_cast<unsigned char>(target.back()) <= ' ') target.remove_suffix(1);
  if (target.empty()) return {};
  for (char c : target)
    if (static_cast<unsigned char>(c) < 0x20) return {};
  static constexpr std::string_view kSchemes[] = {"http:", "https:", "mailto:", "ftp:", "news:"};
  for (std::string_view scheme : kSchemes)
    if (StartsWithNoCase(target, scheme)) return std::string(target);
  if (target.front() == '#') return std::string(target);
  if (StartsWithNoCase(target, "www.")) return "http://" + std::string(target);
  return {};
}

TRtfHtmlWriter::TRtfHtmlWriter(const TRtfFontTable& fonts, const TRtfColorTable& colors,
                               std::size_t limit, std::size_t inputSize, TBodyOutputs outputs)
    : FFonts(fonts), FColors(colors), FLimit(limit),
      FWantHtml(outputs != TBodyOutputs::Text), FWantText(outputs != TBodyOutputs::Html) {
  // Mail's RTF comes out as about twice its size in HTML and half in text; a reservation a
  // little over that lets the outputs grow in place. Pages never written are never touched.
  if (FWantHtml) ReserveLarge(FHtml, std::min(FLimit, 2 * inputSize + 4096));
  if (FWantText) ReserveLarge(FText, std::min(FLimit, inputSize / 2 + 1024));
}

void TRtfHtmlWriter::Append(std::string& to, std::string_view s) {
  if (FFull) return;
  const bool text = &to == &FText || &to == &FParaText || &to == &FCellText;
  if (!(text ? FWantText : FWantHtml)) return;
  if (FSize + s.size() > FLimit) { FFull = true; return; }
  if (&to == &FHtml && FHeadSize == 0) {
    // The page starts with its <div>, so that Finish need not copy the page behind it.
    FHtml.append(PageHead({}));  // appended, not assigned: the reservation stays
    FHeadSize = FHtml.size();
  }
  FSize += s.size();
  to.append(s);
}

std::string TRtfHtmlWriter::PageHead(const std::string& pageColor) const {
  std::string fontCss;
  if (const TRtfFont* font = FFonts.Find(FDefaultFont); font && !font->Name.empty())
    fontCss = "font-family:'" + font->Name + "';";
  if (!pageColor.empty()) fontCss += "background-color:" + pageColor + ";";
  return "<div style=\"" + fontCss + "font-size:12pt\">\n";
}

std::string TRtfHtmlWriter::RunStyle(const TRtfCharFormat& f) const {
  std::string css;
  if (f.Font >= 0 && f.Font != FDefaultFont) {
    if (const TRtfFont* font = FFonts.Find(f.Font); font && !font->Name.empty() &&
                                                    font->Symbol == TSymbolFont::None)
      css += "font-family:'" + font->Name + "';";
  }
  if (f.HalfPoints != 24) {
    css += "font-size:" + std::to_string(f.HalfPoints / 2);
    if (f.HalfPoints % 2) css += ".5";
    css += "pt;";
  }
  if (f.Bold) css += "font-weight:bold;";
  if (f.Italic) css += "font-style:italic;";
  if (f.Underline || f.Strike) {
    css += "text-decoration:";
    if (f.Underline) css += " underline";
    if (f.Strike) css += " line-through";
    css += ';';
  }
  if (f.VertAlign) css += f.VertAlign > 0 ? "vertical-align:super;" : "vertical-align:sub;";
  if (f.Caps) css += "text-transform:uppercase;";
  if (std::string c = FColors.Css(f.Color); !c.empty()) css += "color:" + c + ';';
  // Index 0 means "no shading" for \cb and \highlight even where the table defines an entry 0.
  if (f.Back > 0) {
    if (std::string c = FColors.Css(f.Back); !c.empty()) css += "background-color:" + c + ';';
  }
  return css;
}

void TRtfHtmlWriter::OpenRun(const TRtfCharFormat& format) {
  if (!FWantHtml) return;  // runs and links exist only in the HTML
  const bool sameLink = (FLink && format.Href && *FLink == *format.Href) || (!FLink && !format.Href);
  if (FRunOpen && FRun.SameLook(format) && sameLink) return;
  CloseRun();
  if (!sameLink) {
    if (FLink) Append(FPara, "</a>");
    FLink.reset();
    if (format.Href) {
      FLink = format.Href;
      Append(FPara, "<a href=\"" + HtmlEscape(*FLink) + "\">");
    }
  }
  const std::string css = RunStyle(format);
  if (!css.empty()) Append(FPara, "<span style=\"" + css + "\">");
  FRun = format;
  FRun.Href.reset();
  FRunOpen = !css.empty();
}

void TRtfHtmlWriter::CloseRun() {
  if (FRunOpen) Append(FPara, "</span>");
  FRunOpen = false;
  FRun = TRtfCharFormat{};
}

void TRtfHtmlWriter::Text(std::string_view utf8, const TRtfCharFormat& format) {
  if (utf8.empty() || FFull) return;
  if (FWantHtml) AppendEscaped(utf8, format);
  Append(FParaText, utf8);
  if (utf8.find_first_not_of(' ') != std::string_view::npos) FParaSpacesOnly = false;
  FParaEmpty = false;
}

void TRtfHtmlWriter::AppendEscaped(std::string_view utf8, const TRtfCharFormat& format) {
  OpenRun(format);
  // Escaped straight into the paragraph; the bound is checked against the worst case first.
  if (FSize + 6 * utf8.size() > FLimit) { FFull = true; return; }
  const std::size_t before = FPara.size();
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t run = i;
    while (run < utf8.size()) {
      const char c = utf8[run];
      if (c == '&' || c == '<' || c == '>' || c == '"' ||
          (c == ' ' && run + 1 < utf8.size() && utf8[run + 1] == ' '))
        break;
      ++run;
    }
    FPara.append(utf8, i, run - i);
    if (run >= utf8.size()) break;
    switch (utf8[run]) {
      case '&': FPara += "&amp;"; break;
      case '<': FPara += "&lt;"; break;
      case '>': FPara += "&gt;"; break;
      case '"': FPara += "&quot;"; break;
      default: FPara += "&nbsp;"; break;  // the first of two spaces: runs stay as typed
    }
    i = run + 1;
  }
  FSize += FPara.size() - before;
}

void TRtfHtmlWriter::Tab(const TRtfCharFormat& format) {
  OpenRun(format);
  Append(FPara, "<span style=\"white-space:pre\">\t</span>");
  Append(FParaText, "\t");
  FParaEmpty = FParaSpacesOnly = false;
}

void TRtfHtmlWriter::LabelGap(const TRtfCharFormat& format) {
  OpenRun(format);
  Append(FPara, "&nbsp; ");
  Append(FParaText, "\t");
  FParaEmpty = FParaSpacesOnly = false;
}

void TRtfHtmlWriter::LineBreak(const TRtfCharFormat& format) {
  OpenRun(format);
  Append(FPara, "<br>");
  Append(FParaText, "\n");
  FParaEmpty = FParaSpacesOnly = false;
}

void TRtfHtmlWriter::Picture(int id, int widthPx, int heightPx, const TRtfCharFormat& format) {
  OpenRun(format);
  std::string img = "<img src=\"" + std::string(kPictureScheme) + std::to_string(id) + "\"";
  if (widthPx > 0 && heightPx > 0)
    img += " width=\"" + std::to_string(widthPx) + "\" height=\"" + std::to_string(heightPx) + "\"";
  img += " alt=\"\">";
  Append(FPara, img);
  FParaEmpty = FParaSpacesOnly = false;
}

std::string TRtfHtmlWriter::ParagraphStyle(const TRtfParaFormat& p) const {
  std::string css = "margin-top:" + std::to_string(std::max(0, TwipsToPx(p.SpaceBefore))) +
                    "px;margin-bottom:" + std::to_string(std::max(0, TwipsToPx(p.SpaceAfter))) + "px;";
  if (p.LeftIndent > 0) css += "margin-left:" + std::to_string(TwipsToPx(p.LeftIndent)) + "px;";
  if (p.RightIndent > 0) css += "margin-right:" + std::to_string(TwipsToPx(p.RightIndent)) + "px;";
  if (p.FirstIndent != 0) css += "text-indent:" + std::to_string(TwipsToPx(p.FirstIndent)) + "px;";
  switch (p.Align) {
    case TRtfAlign::Center: css += "text-align:center;"; break;
    case TRtfAlign::Right:
      if (!p.RightToLeft) css += "text-align:right;";  // else the align attribute (see EndParagraph)
      break;
    case TRtfAlign::Justify: css += "text-align:justify;"; break;
    default: break;
  }
  return css;
}

void TRtfHtmlWriter::EndParagraph(const TRtfParaFormat& para, bool hasLabel) {
  if (para.ListId > 0 && !hasLabel && !FParaEmpty) {
    // A list paragraph whose writer left out the label text: show a plain bullet.
    FPara.insert(0, "\u2022 ");
    FParaText.insert(0, "\u2022 ");
  }
  CloseRun();
  if (FLink) Append(FPara, "</a>");
  FLink.reset();
  if (!para.InTable) CloseTable();
  std::string& to = para.InTable ? FCell : FHtml;
  Append(to, "<p");
  // Direction on every block once one was right-to-left: the text engine carries a block's
  // direction over to the blocks after it. It also mirrors text-align in a right-to-left
  // block, so right alignment there is said by the attribute, which it takes as absolute.
  if (para.RightToLeft) {
    Append(to, para.Align == TRtfAlign::Right ? " dir=\"rtl\" align=\"right\"" : " dir=\"rtl\"");
    FRightToLeftSeen = true;
  } else if (FRightToLeftSeen) {
    Append(to, " dir=\"ltr\"");
  }
  Append(to, " style=\"" + ParagraphStyle(para) + "\">");
  // An empty paragraph is one blank line; "<br>" would make Qt's view show two.
  Append(to, FParaEmpty ? std::string_view("&nbsp;") : std::string_view(FPara));
  // So is one of spaces only, which the engine would collapse to nothing.
  if (!FParaEmpty && FParaSpacesOnly) Append(to, "&nbsp;");
  Append(to, "</p>\n");
  if (para.InTable) {
    if (!FCellEmpty) Append(FCellText, "\n");
    Append(FCellText, FParaText);
    FCellEmpty = false;
  } else {
    Append(FText, FParaText);
    Append(FText, "\n");
  }
  FPara.clear();
  FParaText.clear();
  FParaEmpty = true;
  FParaSpacesOnly = true;
}

void TRtfHtmlWriter::EndCell(const TRtfParaFormat& para) {
  if (!FParaEmpty || FCellEmpty) {
    TRtfParaFormat inCell = para;
    inCell.InTable = true;
    EndParagraph(inCell, true);
  }
  // A row of more cells than any real table has is cut: its cells add nothing a reader needs,
  // and each one would cost a <td> per \cell.
  if (FRowCells.size() < 1024) {
    FRowCells.push_back(std::move(FCell));
    FRowTexts.push_back(std::move(FCellText));
  }
  FCell.clear();
  FCellText.clear();
  FCellEmpty = true;
}

void TRtfHtmlWriter::EndRow(const TRtfRowFormat& row) {
  if (!FParaEmpty || !FCellEmpty) EndCell(TRtfParaFormat{});
  WriteRow(row);
}

void TRtfHtmlWriter::WriteRow(const TRtfRowFormat& row) {
  if (FRowCells.empty()) return;
  if (!FTableOpen) {
    Append(FHtml, std::string("<table cellspacing=\"0\" cellpadding=\"3\" border=\"") +
                      (row.Borders ? "1" : "0") + "\" style=\"border-collapse:collapse\">\n");
    FTableOpen = true;
  }
  std::string tr = "<tr>";
  int left = row.Left;
  for (std::size_t i = 0; i < FRowCells.size(); ++i) {
    tr += "<td valign=\"top\"";
    if (i < row.CellRight.size()) {
      const int width = TwipsToPx(row.CellRight[i] - left);
      left = row.CellRight[i];
      if (width > 0) tr += " width=\"" + std::to_string(width) + "\"";
    }
    // As for \cb and \highlight, index 0 means "no shading", whatever the table's entry 0 is.
    if (i < row.CellShade.size() && row.CellShade[i] > 0) {
      if (std::string c = FColors.Css(row.CellShade[i]); !c.empty()) tr += " bgcolor=\"" + c + "\"";
    }
    tr += ">";
    Append(FHtml, tr);
    Append(FHtml, FRowCells[i]);
    tr = "</td>";
  }
  Append(FHtml, tr + "</tr>\n");
  for (const std::string& text : FRowTexts) {
    Append(FText, text);
    Append(FText, "\n");
  }
  FRowCells.clear();
  FRowTexts.clear();
}

void TRtfHtmlWriter::CloseTable() {
  // A table the document never ended with \row: its last cells still show. The paragraph
  // being written is not part of it.
  if (!FCellEmpty) {
    FRowCells.push_back(std::move(FCell));
    FRowTexts.push_back(std::move(FCellText));
    FCell.clear();
    FCellText.clear();
    FCellEmpty = true;
  }
  WriteRow(TRtfRowFormat{});
  if (FTableOpen) Append(FHtml, "</table>\n");
  FTableOpen = false;
}

void TRtfHtmlWriter::Finish(std::string& html, std::string& text, const std::string& pageColor) {
  const bool full = FFull;
  FFull = false;  // closing tags always fit: they are few and keep the page well formed
  FLimit = static_cast<std::size_t>(-1);
  if (!FParaEmpty && !full) EndParagraph(TRtfParaFormat{}, true);
  CloseRun();
  if (FLink) FPara += "</a>";
  CloseTable();
  FFull = full;
  // The <div> written first was for the default font as known then, and no page colour;
  // a document that set either later gets its head replaced, once.
  if (FWantHtml) {
    const std::string head = PageHead(pageColor);
    if (FHeadSize == 0) FHtml.insert(0, head);
    else if (FHtml.compare(0, FHeadSize, head) != 0) FHtml.replace(0, FHeadSize, head);
    FHtml += "</div>\n";
  }
  html = std::move(FHtml);
  text = std::move(FText);
  FHtml.clear();
  FHeadSize = 0;
}
