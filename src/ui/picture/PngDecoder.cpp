// PNG through libpng. libpng reports errors by longjmp to png_jmpbuf; the frames it crosses
// are libpng's own and our callbacks, which hold nothing with a destructor.

#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

#include "PictureDecoders.h"

namespace {

// No ancillary chunk we read (palette, transparency, gamma) needs more; a larger one is
// a trick to make the library allocate.
constexpr png_alloc_size_t kMaxChunkBytes = 8u * 1024 * 1024;

constexpr std::uint64_t kPngPixelsPerByte = 1032 * 8 + 8;

struct TPngInput {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos;
  std::uint64_t MaxPixels;
};

void ReadData(png_structp png, png_bytep out, png_size_t length) {
  auto* in = static_cast<TPngInput*>(png_get_io_ptr(png));
  if (length > in->Size - in->Pos) png_error(png, "truncated");
  std::memcpy(out, in->Data + in->Pos, length);
  in->Pos += length;
}

void Warning(png_structp, png_const_charp) {}
[[noreturn]] void Error(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// *pixelsRead turns true once every row is in: a fault in the chunks after the pixels
// (a bad CRC behind IDAT, say) then costs nothing.
bool Decode(png_structp png, png_infop info, TPngInput* in, TRawImage* image,
            std::vector<png_bytep>* rows, bool* pixelsRead) {
  if (setjmp(png_jmpbuf(png))) return *pixelsRead;
  png_set_read_fn(png, in, ReadData);
  png_set_user_limits(png, 1u << 20, 1u << 20);
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_read_info(png, info);

  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
  // Deflate expands at most 1032 times, and a pixel takes at least one bit.
  if (!PictureSizeJustified(width, height, in->Size, kPngPixelsPerByte, in->MaxPixels)) return false;

  // Everything becomes 8-bit B, G, R, A in memory: 0xAARRGGBB on a little-endian machine.
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) return false;

  image->Width = static_cast<int>(width);
  image->Height = static_cast<int>(height);
  image->Pixels.assign(static_cast<std::size_t>(width) * height, 0);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    (*rows)[y] = reinterpret_cast<png_bytep>(image->Pixels.data() + std::size_t(y) * width);
  png_read_image(png, rows->data());
  *pixelsRead = true;
  png_read_end(png, nullptr);
  return true;
}

// The bytes libpng is given: the file up to the first chunk whose declared length runs past
// the end. libpng allocates a chunk's buffer from its length field before reading it, so a
// 100-byte file could otherwise make it ask for gigabytes; cut there, it sees a truncated
// stream instead (and still shows the pixels when they came before the cut).
std::size_t BytesOfWholeChunks(const std::uint8_t* data, std::size_t size) {
  std::size_t pos = 8;  // after the signature
  while (pos + 12 <= size) {
    const std::uint32_t length = static_cast<std::uint32_t>(data[pos]) << 24 |
                                 static_cast<std::uint32_t>(data[pos + 1]) << 16 |
                                 static_cast<std::uint32_t>(data[pos + 2]) << 8 | data[pos + 3];
    if (length > size - pos - 12) return pos;
    if (std::memcmp(data + pos + 4, "IEND", 4) == 0) return size;
    pos += 12 + static_cast<std::size_t>(length);
  }
  return size;
}

}  // namespace

bool DecodePng(const std::uint8_t* data, std::size_t size, TRawImage& image, std::uint64_t maxPixels) {
  if (data == nullptr || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  TPngInput in{data, BytesOfWholeChunks(data, size), 0, maxPixels};
  std::vector<png_bytep> rows;
  bool ok = false, pixelsRead = false;
  try {
    ok = Decode(png, info, &in, &image, &rows, &pixelsRead);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) image = TRawImage{};
  return ok;
}
