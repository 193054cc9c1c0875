#pragma once
// The \pict destination: the picture's format and sizes from its control words, its bytes from
// hex digits or \bin data. The bytes can never outnumber the input that carried them.

#include <string_view>

#include "RtfToHtml.h"

class TRtfPictureBuilder {
public:
  void SetFormat(TPictureFormat format) { FPicture.Format = format; }
  void SetWidth(int v) { FW = Clip(v); }
  void SetHeight(int v) { FH = Clip(v); }
  void SetGoalWidth(int v) { FGoalW = Clip(v); }
  void SetGoalHeight(int v) { FGoalH = Clip(v); }
  void SetScaleX(int percent) { FScaleX = percent; }
  void SetScaleY(int percent) { FScaleY = percent; }
  // Hex digits; anything else (line breaks, spaces) is passed over.
  void AddHex(std::string_view text);
  void AddBinary(std::string_view bytes);

  bool Empty() const { return FPicture.Bytes.empty(); }
  // The picture with its display size in pixels at 96 dpi (0 x 0 when the body gives none).
  TRtfPicture Finish(int id);

private:
  static int Clip(int v) { return v < 0 ? 0 : v > (1 << 20) ? (1 << 20) : v; }

  TRtfPicture FPicture;
  int FNibble = -1;
  int FW = 0, FH = 0, FGoalW = 0, FGoalH = 0, FScaleX = 100, FScaleY = 100;
};
