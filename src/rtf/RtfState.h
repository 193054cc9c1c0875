#pragma once
// What an RTF group carries: the destination its text goes to and the character and paragraph
// formatting in force. Each '{' copies the state and each '}' restores it.

#include <cstdint>
#include <memory>
#include <string>

enum class TRtfDestination {
  Normal,         // shown text
  Skip,           // a destination the pane does not show; everything inside is dropped
  FontTable,
  ColorTable,
  Picture,
  FieldInstruction,
  HtmlTag,        // encapsulated HTML markup
  Background,     // the page background shape: only its fill colour is read
};

enum class TRtfAlign : std::uint8_t { Left, Center, Right, Justify };

struct TRtfCharFormat {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strike = false;
  bool Hidden = false;
  bool Caps = false;
  std::int8_t VertAlign = 0;  // 1 superscript, -1 subscript
  int Font = -1;              // font number, -1 for the document default
  int HalfPoints = 24;        // \fs
  int Color = 0;              // colour table index, 0 = automatic
  int Back = 0;               // \cb / \chcbpat / \highlight
  // Target of the hyperlink the text belongs to; shared because every group copies it.
  std::shared_ptr<const std::string> Href;

  bool SameLook(const TRtfCharFormat& o) const {
    return Bold == o.Bold && Italic == o.Italic && Underline == o.Underline &&
           Strike == o.Strike && Caps == o.Caps && VertAlign == o.VertAlign && Font == o.Font &&
           HalfPoints == o.HalfPoints && Color == o.Color && Back == o.Back;
  }
};

struct TRtfParaFormat {
  TRtfAlign Align = TRtfAlign::Left;
  bool RightToLeft = false;
  bool InTable = false;
  int LeftIndent = 0;   // twips
  int RightIndent = 0;
  int FirstIndent = 0;
  int SpaceBefore = 0;
  int SpaceAfter = 0;
  int ListId = 0;       // \ls, 0 = not in a list
};

struct TRtfGroupState {
  TRtfDestination Destination = TRtfDestination::Normal;
  TRtfCharFormat Char;
  TRtfParaFormat Para;
  int UnicodeSkip = 1;     // \uc: characters that stand in for each \u
  bool HtmlRtf = false;    // inside \htmlrtf ... \htmlrtf0: not part of the encapsulated HTML
  bool ListLabel = false;  // inside \listtext or \pntext
  std::uint8_t ShapeField = 0;  // in the background: 1 inside \sn (a property name), 2 inside \sv
};
