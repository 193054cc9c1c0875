// Windows metafiles for the preview: WMF through libwmf's SVG device layer, EMF through
// libemf2svg. Both libraries want a writable buffer of the whole file, so the bytes are
// copied (bounded by kMaxMetafileBytes); the SVG text is rendered by the Qt side.

#include <cstdlib>
#include <cstring>
#include <new>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

#include "PictureDecoders.h"

namespace {

// libwmf keeps every allocation of one API object in its own list and frees them all in
// wmf_api_destroy, so the SVG text must be copied out before that.
bool WmfConvert(std::vector<unsigned char>& bytes, std::string& svg) {
  wmfAPI_Options options{};
  options.function = wmf_svg_function;
  // Fonts only matter for text, which the SVG layer writes as font names; asking for no
  // font files keeps the library from scanning the disk on every picture.
  const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR |
                              WMF_OPT_NO_DEBUG;
  wmfAPI* api = nullptr;
  if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
    if (api != nullptr) wmf_api_destroy(api);
    return false;
  }
  bool ok = false;
  if (wmf_mem_open(api, bytes.data(), static_cast<long>(bytes.size())) == wmf_E_None) {
    wmfD_Rect bbox{};
    unsigned int width = 0, height = 0;
    if (wmf_scan(api, 0, &bbox) == wmf_E_None &&
        wmf_display_size(api, &width, &height, 96, 96) == wmf_E_None &&
        PictureSizeAllowed(width, height)) {
      wmf_svg_t* device = WMF_SVG_GetData(api);
      device->out = wmf_stream_create(api, nullptr);  // to memory
      device->Description = const_cast<char*>("Velquin Reader preview");
      device->bbox = bbox;
      device->width = width;
      device->height = height;
      device->flags |= WMF_SVG_INLINE_IMAGES;
      if (device->out != nullptr && wmf_play(api, 0, &bbox) == wmf_E_None) {
        char* text = nullptr;
        unsigned long length = 0;
        wmf_stream_destroy(api, device->out, &text, &length);
        device->out = nullptr;
        if (text != nullptr && length > 0) {
          svg.assign(text, length);
          ok = true;
        }
      }
    }
    wmf_mem_close(api);
  }
  wmf_api_destroy(api);
  return ok;
}

// The 32-bit little-endian value at offset (the caller checked the bounds).
std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

std::uint16_t Le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

// libwmf trusts the metafile header: it allocates MaxRecord words up front (a 100-byte
// file can ask for gigabytes) and reads records by their own size fields. So the header
// and the chain of records are checked here first: MaxRecord must fit in the file, and
// every record must be at least a record header, no larger than MaxRecord, and inside the
// file. The walk ends at META_EOF or at the end of the bytes.
bool WmfStructureSound(const std::uint8_t* data, std::size_t size) {
  std::size_t pos = 0;
  if (Le32(data) == 0x9AC6CDD7) pos = 22;  // placeable header in front
  if (size < pos + 18) return false;
  const std::uint8_t* header = data + pos;
  const std::uint16_t type = Le16(header), headerWords = Le16(header + 2);
  if ((type != 1 && type != 2) || headerWords != 9) return false;
  const std::uint32_t maxRecord = Le32(header + 12);
  if (maxRecord < 3 || std::uint64_t(maxRecord) * 2 > size) return false;
  pos += 18;
  while (size - pos >= 6) {
    const std::uint32_t words = Le32(data + pos);
    const std::uint16_t function = Le16(data + pos + 4);
    if (words < 3 || words > maxRecord || std::uint64_t(words) * 2 > size - pos) return false;
    if (function == 0) return true;  // META_EOF
    pos += std::size_t(words) * 2;
  }
  return true;
}

// libemf2svg reads each record by the size it declares. Checked first: every record is at
// least 8 bytes, a multiple of 4 and inside the file, up to EMR_EOF.
bool EmfStructureSound(const std::uint8_t* data, std::size_t size) {
  const std::uint32_t headerSize = Le32(data + 4);
  if (headerSize < 88 || headerSize % 4 != 0 || headerSize > size) return false;
  std::size_t pos = 0;
  while (size - pos >= 8) {
    const std::uint32_t type = Le32(data + pos), length = Le32(data + pos + 4);
    if (length < 8 || length % 4 != 0 || length > size - pos) return false;
    if (type == 14) return true;  // EMR_EOF
    pos += length;
  }
  return pos == size;
}

}  // namespace

bool WmfToSvg(const std::uint8_t* data, std::size_t size, std::string& svg) {
  svg.clear();
  // A metafile header alone is 18 bytes; the placeable header in front adds 22.
  if (data == nullptr || size < 18 || size > kMaxMetafileBytes) return false;
  if (!WmfStructureSound(data, size)) return false;
  try {
    std::vector<unsigned char> bytes(data, data + size);
    return WmfConvert(bytes, svg);
  } catch (const std::bad_alloc&) {
    svg.clear();
    return false;
  }
}

bool EmfToSvg(const std::uint8_t* data, std::size_t size, std::string& svg) {
  svg.clear();
  // EMR_HEADER: type 1 at offset 0, the signature " EMF" at offset 40.
  if (data == nullptr || size < 88 || size > kMaxMetafileBytes) return false;
  if (Le32(data) != 1 || Le32(data + 40) != 0x464D4520) return false;
  if (!EmfStructureSound(data, size)) return false;
  try {
    std::vector<char> bytes(data, data + size);
    // The header's description and pixel format are read through offsets that
    // libemf2svg follows unchecked (an offset past the file is enough to make it read out
    // of bounds). Neither matters for the picture, so both are taken out of our copy:
    // nDescription, offDescription at 60 and 64; cbPixelFormat, offPixelFormat at 88, 92.
    auto zero = [&bytes](std::size_t offset) { std::memset(bytes.data() + offset, 0, 4); };
    zero(60);
    zero(64);
    if (Le32(data + 4) >= 100) {
      zero(88);
      zero(92);
    }
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* out = nullptr;
    std::size_t length = 0;
    const int ok = emf2svg(bytes.data(), bytes.size(), &out, &length, &options);
    if (ok && out != nullptr && length > 0) svg.assign(out, length);
    std::free(out);
    return ok && !svg.empty();
  } catch (const std::bad_alloc&) {
    svg.clear();
    return false;
  }
}
