#pragma once
// Decoders for the picture preview, free of Qt so that they can be fuzzed on their own.
// Every decoder takes the whole file in memory (the caller maps it), reports failure by
// returning false (never throws, never prints) and refuses a picture above its pixel bound
// (kMaxPicturePixels unless the caller asks for less) before it allocates the pixels; a
// JPEG above it is decoded at 1/2, 1/4 or 1/8 of its size instead when that fits.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// 50 megapixels: 200 MB of pixels at four bytes each. Larger pictures are not previewed.
inline constexpr std::uint64_t kMaxPicturePixels = 50'000'000;
// Metafiles are read whole into memory and converted to SVG text, which is a few times
// larger again; above this size they are not previewed.
inline constexpr std::size_t kMaxMetafileBytes = 64u * 1024 * 1024;

// A decoded raster picture: Width x Height pixels, rows top to bottom, each pixel a 32-bit
// 0xAARRGGBB value (not premultiplied).
struct TRawImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;
};

// Whether a picture of width x height may be decoded (both positive, area within bound).
inline bool PictureSizeAllowed(std::uint64_t width, std::uint64_t height,
                               std::uint64_t maxPixels = kMaxPicturePixels) {
  return width > 0 && height > 0 && width <= maxPixels && height <= maxPixels && width * height <= maxPixels;
}

// Whether a file of fileBytes can hold that many pixels at all, given the most pixels one
// byte of the format can encode: a tiny file that declares a huge picture is refused before
// the pixels are allocated.
inline bool PictureSizeJustified(std::uint64_t width, std::uint64_t height, std::size_t fileBytes,
                                 std::uint64_t maxPixelsPerByte, std::uint64_t maxPixels = kMaxPicturePixels) {
  return PictureSizeAllowed(width, height, maxPixels) &&
         width * height <= std::uint64_t(fileBytes) * maxPixelsPerByte;
}

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, TRawImage& image,
                std::uint64_t maxPixels = kMaxPicturePixels);
bool DecodePng(const std::uint8_t* data, std::size_t size, TRawImage& image,
               std::uint64_t maxPixels = kMaxPicturePixels);
// The first frame of a GIF, composed on its logical screen (transparent elsewhere).
bool DecodeGif(const std::uint8_t* data, std::size_t size, TRawImage& image,
               std::uint64_t maxPixels = kMaxPicturePixels);

// Windows metafiles, converted to SVG documents for rendering.
bool WmfToSvg(const std::uint8_t* data, std::size_t size, std::string& svg);
bool EmfToSvg(const std::uint8_t* data, std::size_t size, std::string& svg);
