// GIF through giflib: the first frame only, read record by record so that an animation's
// later frames are never decoded or held in memory.

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "PictureDecoders.h"

namespace {

struct TGifInput {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos;
};

int ReadData(GifFileType* gif, GifByteType* out, int length) {
  auto* in = static_cast<TGifInput*>(gif->UserData);
  if (length <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), in->Size - in->Pos);
  std::memcpy(out, in->Data + in->Pos, n);
  in->Pos += n;
  return static_cast<int>(n);
}

struct TGifCloser {
  GifFileType* Gif;
  ~TGifCloser() {
    int error = 0;
    if (Gif != nullptr) DGifCloseFile(Gif, &error);
  }
};

// Reads the first image descriptor's pixels onto the logical screen. Returns false when no
// row could be read; a frame cut short keeps the rows read before the fault.
bool ReadFirstFrame(GifFileType* gif, int transparent, std::size_t fileBytes, TRawImage& image,
                    std::uint64_t maxPixels) {
  const GifImageDesc& desc = gif->Image;
  const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
  if (map == nullptr || map->Colors == nullptr || desc.Width <= 0 || desc.Height <= 0 ||
      desc.Left < 0 || desc.Top < 0)
    return false;

  // The logical screen is the canvas; files whose frame reaches past it (some writers put
  // 0 x 0 there) get a canvas large enough for the frame.
  const std::uint64_t right = std::uint64_t(desc.Left) + std::uint64_t(desc.Width);
  const std::uint64_t bottom = std::uint64_t(desc.Top) + std::uint64_t(desc.Height);
  const std::uint64_t width = std::max<std::uint64_t>(std::uint64_t(std::max(gif->SWidth, 0)), right);
  const std::uint64_t height = std::max<std::uint64_t>(std::uint64_t(std::max(gif->SHeight, 0)), bottom);
  // An LZW code of at least 3 bits stands for at most 4096 pixels, and the canvas around a
  // frame is held to the same measure.
  if (!PictureSizeJustified(width, height, fileBytes, 4096 * 8 / 3, maxPixels)) return false;

  image.Width = static_cast<int>(width);
  image.Height = static_cast<int>(height);
  image.Pixels.assign(static_cast<std::size_t>(width) * height, 0);  // transparent

  std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
  auto putRow = [&](int row) {
    std::uint32_t* out = image.Pixels.data() + (std::size_t(desc.Top) + row) * width + desc.Left;
    for (int x = 0; x < desc.Width; ++x) {
      const int index = line[x];
      if (index == transparent || index >= map->ColorCount) continue;
      const GifColorType& c = map->Colors[index];
      out[x] = 0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
    }
  };

  int rowsRead = 0;
  if (desc.Interlace) {
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int row = kStart[pass]; row < desc.Height; row += kStep[pass]) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) return rowsRead > 0;
        putRow(row);
        ++rowsRead;
      }
  } else {
    for (int row = 0; row < desc.Height; ++row) {
      if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) return rowsRead > 0;
      putRow(row);
      ++rowsRead;
    }
  }
  return true;
}

bool Decode(const std::uint8_t* data, std::size_t size, TRawImage& image, std::uint64_t maxPixels) {
  TGifInput in{data, size, 0};
  int error = 0;
  TGifCloser closer{DGifOpen(&in, ReadData, &error)};
  GifFileType* gif = closer.Gif;
  if (gif == nullptr) return false;

  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
    switch (type) {
      case IMAGE_DESC_RECORD_TYPE:
        if (DGifGetImageDesc(gif) == GIF_ERROR) return false;
        return ReadFirstFrame(gif, transparent, size, image, maxPixels);
      case EXTENSION_RECORD_TYPE: {
        int code = 0;
        GifByteType* ext = nullptr;
        if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) return false;
        // Graphic control extension: flags, delay (2 bytes), transparent colour index.
        if (code == GRAPHICS_EXT_FUNC_CODE && ext != nullptr && ext[0] >= 4 && (ext[1] & 1))
          transparent = ext[4];
        while (ext != nullptr)
          if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) return false;
        break;
      }
      case TERMINATE_RECORD_TYPE:
        return false;  // no image at all
      default:
        break;
    }
  }
}

}  // namespace

bool DecodeGif(const std::uint8_t* data, std::size_t size, TRawImage& image, std::uint64_t maxPixels) {
  if (data == nullptr || size < 6) return false;
  bool ok = false;
  try {
    ok = Decode(data, size, image, maxPixels);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  if (!ok) image = TRawImage{};
  return ok;
}
