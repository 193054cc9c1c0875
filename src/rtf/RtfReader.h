#pragma once
// Reads an RTF document in one pass: tokens drive a stack of group states, destinations route
// text to the font and colour tables, pictures, field instructions or the encapsulated HTML,
// and the shown text goes to the HTML writer.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ConversionStop.h"
#include "RtfHtmlWriter.h"
#include "RtfPicture.h"
#include "RtfState.h"
#include "RtfTables.h"
#include "RtfTextDecoder.h"
#include "RtfToHtml.h"
#include "RtfTokenizer.h"

struct TRtfReadResult {
  bool EncapsulatedHtml = false;  // \fromhtml1: Html is the original HTML source, unsanitised
  bool EncapsulatedText = false;  // \fromtext
  std::string Html;
  std::string Text;
  std::vector<TRtfPicture> Pictures;
  bool Truncated = false;
  std::string PageColor;
};

class TRtfReader {
public:
  // outputs: which of the writer's outputs to build (encapsulated HTML is kept either way).
  // stop (when given): Read throws TConversionStopped once it is set.
  TRtfReader(std::string_view rtf, unsigned defaultCodePage,
             TBodyOutputs outputs = TBodyOutputs::HtmlAndText, const TStopFlag* stop = nullptr);
  TRtfReadResult Read();

private:
  struct TField {
    std::size_t Depth = 0;
    std::string Instruction;
  };

  TRtfGroupState& Top() { return FStack.back(); }
  void GroupStart();
  void GroupEnd();
  void Word(const TRtfToken& token);
  void Symbol(char symbol);
  void TextBytes(std::string_view bytes);
  void RouteBytes(std::string_view bytes);
  void FlushText();
  void EmitUtf8(std::string_view utf8);
  void EmitChar(std::uint32_t codePoint);
  void Unicode(std::int32_t value);
  void SetDestination(TRtfDestination destination);
  void Paragraph();
  // A tab; inside a list label (\pntext, \listtext) a short gap instead, as the label's tab
  // only leads to the paragraph's hanging indent, which the HTML list spacing already gives.
  void ListLabelAwareTab(const TRtfGroupState& state);
  void FinishPicture();
  void StartFieldResult();
  bool Shown() const;  // text in the current state reaches the page
  unsigned TextCodePage(TSymbolFont& symbol);
  bool HtmlOut() const;  // text in the current state belongs to the encapsulated HTML

  TRtfTokenizer FTokenizer;
  std::vector<TRtfGroupState> FStack;
  std::size_t FOverflow = 0;  // groups opened beyond the depth bound, not tracked
  TRtfFontTable FFonts;
  TRtfColorTable FColors;
  TRtfTextDecoder FDecoder;
  std::string FFlushBuffer;  // reused: text is flushed before every control word
  TRtfHtmlWriter FWriter;
  TRtfRowFormat FRow;
  int FPendingShade = 0;
  std::vector<TField> FFields;
  std::unique_ptr<TRtfPictureBuilder> FPicture;
  TRtfReadResult FResult;
  unsigned FCodePage;
  int FDefaultFont = 0;
  int FSkip = 0;                 // characters still to skip after a \u
  std::uint32_t FHighSurrogate = 0;
  bool FStar = false;            // the last token was \*
  bool FParaHasLabel = false;
  bool FDone = false;
  std::size_t FHtmlLimit;
  std::size_t FInputSize;
  const TStopFlag* FStop;
  unsigned FSteps = 0;
  std::string FShapeName;   // the background shape's current property
  std::string FShapeValue;
};
