// One libFuzzer target per picture decoder of the preview; the build picks the decoder with
// VELQUIN_FUZZ_DECODER (1 JPEG, 2 PNG, 3 GIF, 4 WMF, 5 EMF). The metafile targets go through
// the child-process fence exactly as the window does: the system's metafile libraries still
// crash on some inputs, and what must hold is that such a crash never reaches the program.

#include <cstddef>
#include <cstdint>
#include <string>

#include "IsolatedConversion.h"
#include "PictureDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TRawImage image;
  std::string svg;
#if VELQUIN_FUZZ_DECODER == 1
  if (DecodeJpeg(data, size, image) && image.Pixels.size() != std::size_t(image.Width) * image.Height) __builtin_trap();
  // A small bound takes the scaled-down path, which must keep to it.
  TRawImage scaled;
  if (DecodeJpeg(data, size, scaled, 4096) &&
      (scaled.Pixels.size() > 4096 || scaled.Pixels.size() != std::size_t(scaled.Width) * scaled.Height))
    __builtin_trap();
#elif VELQUIN_FUZZ_DECODER == 2
  if (DecodePng(data, size, image) && image.Pixels.size() != std::size_t(image.Width) * image.Height) __builtin_trap();
#elif VELQUIN_FUZZ_DECODER == 3
  if (DecodeGif(data, size, image) && image.Pixels.size() != std::size_t(image.Width) * image.Height) __builtin_trap();
#elif VELQUIN_FUZZ_DECODER == 4
  WmfToSvgIsolated(data, size, svg);
#elif VELQUIN_FUZZ_DECODER == 5
  EmfToSvgIsolated(data, size, svg);
#else
#error "VELQUIN_FUZZ_DECODER must name a decoder"
#endif
  return 0;
}
