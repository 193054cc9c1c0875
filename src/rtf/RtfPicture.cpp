#include "RtfPicture.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Display sizes are clipped: a picture of a hostile size would make the view allocate for it.
constexpr double kMaxDisplayPx = 20000.0;

std::uint32_t Le32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at]) |
                                    (static_cast<std::uint8_t>(b[at + 1]) << 8) |
                                    (static_cast<std::uint8_t>(b[at + 2]) << 16) |
                                    (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24));
}
std::uint16_t Le16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8));
}
void PutLe16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void PutLe32(std::string& out, std::uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

// \dibitmap holds a BITMAPINFO and its pixels without the file header that picture readers
// expect; with a sane info header one is put in front, else the bytes stay as they are.
bool DibToBmp(std::string& bytes) {
  if (bytes.size() < 40) return false;
  const std::uint32_t headerSize = Le32(bytes, 0);
  if (headerSize < 40 || headerSize > 124 || headerSize > bytes.size()) return false;
  const std::uint16_t bitCount = Le16(bytes, 14);
  const std::uint32_t compression = Le32(bytes, 16);
  std::uint32_t colours = Le32(bytes, 32);
  if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
  if (colours > 256) return false;
  std::uint64_t offset = 14ull + headerSize + 4ull * colours;
  if (headerSize == 40 && (compression == 3 || compression == 6)) offset += compression == 3 ? 12 : 16;
  if (offset > 14ull + bytes.size()) return false;
  std::string file = "BM";
  PutLe32(file, static_cast<std::uint32_t>(std::min<std::uint64_t>(14ull + bytes.size(), 0xFFFFFFFFu)));
  PutLe32(file, 0);
  PutLe32(file, static_cast<std::uint32_t>(offset));
  bytes.insert(0, file);
  return true;
}

// \wmetafile holds a metafile without the placeable header that gives readers its size; one
// is made from the picture's size (twips, 1440 to the inch) when the data starts like a metafile.
void AddPlaceableHeader(std::string& bytes, int widthTwips, int heightTwips) {
  if (bytes.size() < 18 || widthTwips <= 0 || heightTwips <= 0) return;
  const std::uint16_t type = Le16(bytes, 0), headerWords = Le16(bytes, 2);
  if ((type != 1 && type != 2) || headerWords != 9) return;
  std::string header;
  PutLe32(header, 0x9AC6CDD7u);  // placeable metafile key
  PutLe16(header, 0);            // handle
  PutLe16(header, 0);            // bounding box: left, top, right, bottom
  PutLe16(header, 0);
  PutLe16(header, static_cast<std::uint32_t>(std::min(widthTwips, 0x7FFF)));
  PutLe16(header, static_cast<std::uint32_t>(std::min(heightTwips, 0x7FFF)));
  PutLe16(header, 1440);         // units per inch
  PutLe32(header, 0);            // reserved
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < 20; i += 2) checksum ^= Le16(header, i);
  PutLe16(header, checksum);
  bytes.insert(0, header);
}

}  // namespace

void TRtfPictureBuilder::AddHex(std::string_view text) {
  for (char c : text) {
    const int d = HexDigit(c);
    if (d < 0) continue;
    if (FNibble < 0) {
      FNibble = d;
    } else {
      FPicture.Bytes += static_cast<char>(FNibble * 16 + d);
      FNibble = -1;
    }
  }
}

void TRtfPictureBuilder::AddBinary(std::string_view bytes) { FPicture.Bytes.append(bytes); }

TRtfPicture TRtfPictureBuilder::Finish(int id) {
  const double sx = std::clamp(FScaleX, 1, 1000) / 100.0;
  const double sy = std::clamp(FScaleY, 1, 1000) / 100.0;
  double w = 0, h = 0;
  if (FGoalW > 0 && FGoalH > 0) {
    w = FGoalW / 15.0;  // twips
    h = FGoalH / 15.0;
  } else if (FW > 0 && FH > 0) {
    // Metafiles give \picw/\pich in hundredths of a millimetre, bitmaps in pixels.
    const bool metafile = FPicture.Format == TPictureFormat::Emf || FPicture.Format == TPictureFormat::Wmf;
    w = metafile ? FW * 96.0 / 2540.0 : FW;
    h = metafile ? FH * 96.0 / 2540.0 : FH;
  }
  if (FPicture.Format == TPictureFormat::Dib && DibToBmp(FPicture.Bytes)) FPicture.Format = TPictureFormat::Bmp;
  if (FPicture.Format == TPictureFormat::Wmf && FPicture.Bytes.substr(0, 4) != "\xD7\xCD\xC6\x9A")
    AddPlaceableHeader(FPicture.Bytes, static_cast<int>(w * sx * 15 + 0.5), static_cast<int>(h * sy * 15 + 0.5));
  FPicture.Id = id;
  FPicture.WidthPx = static_cast<int>(std::min(w * sx, kMaxDisplayPx) + 0.5);
  FPicture.HeightPx = static_cast<int>(std::min(h * sy, kMaxDisplayPx) + 0.5);
  return std::move(FPicture);
}
