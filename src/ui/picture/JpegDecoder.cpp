// JPEG through libjpeg(-turbo). Errors leave the library through longjmp back into
// DecodeJpeg; nothing with a destructor lives in the frames it crosses.

#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>

#include "PictureDecoders.h"

namespace {

// A progressive file can hold thousands of tiny scans that each cost a pass over the whole
// coefficient buffer; real encoders write fewer than a hundred.
constexpr int kMaxScans = 1000;
// Working memory libjpeg may take besides our pixels (coefficient buffers of progressive
// files at the largest allowed size fit in it).
// 512 pixels per byte at one bit per block, doubled for margin.
constexpr std::uint64_t kJpegPixelsPerByte = 1024;
constexpr long kMaxLibraryMemory = 1024L * 1024 * 1024;

struct TJpegError {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<TJpegError*>(cinfo->err)->Jump, 1);
}

void OutputMessage(j_common_ptr) {}  // warnings are not shown anywhere

void Progress(j_common_ptr cinfo) {
  auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (dinfo->input_scan_number > kMaxScans) ErrorExit(cinfo);
}

// Adobe writes CMYK JPEGs inverted; libjpeg hands them back as stored.
inline std::uint32_t CmykToArgb(const JSAMPLE* p, bool inverted) {
  unsigned c = p[0], m = p[1], y = p[2], k = p[3];
  if (!inverted) { c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k; }
  const unsigned r = c * k / 255, g = m * k / 255, b = y * k / 255;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// Everything after setjmp works on the caller's objects through pointers, so no local
// changes between setjmp and a longjmp that would need `volatile`.
bool Decode(jpeg_decompress_struct* cinfo, TJpegError* err, const std::uint8_t* data,
            std::size_t size, std::uint64_t maxPixels, TRawImage* image, std::vector<JSAMPLE>* row) {
  if (setjmp(err->Jump)) return false;
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = kMaxLibraryMemory;
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
  // Every 8 x 8 block costs at least one bit of entropy-coded data.
  if (!PictureSizeJustified(cinfo->image_width, cinfo->image_height, size, kJpegPixelsPerByte)) return false;
  // A picture above the bound is decoded smaller, which the library does without ever
  // holding the full size: 1/2, 1/4 or 1/8, the first that fits.
  cinfo->scale_num = 1;
  cinfo->scale_denom = 1;
  jpeg_calc_output_dimensions(cinfo);
  while (!PictureSizeAllowed(cinfo->output_width, cinfo->output_height, maxPixels) && cinfo->scale_denom < 8) {
    cinfo->scale_denom *= 2;
    jpeg_calc_output_dimensions(cinfo);
  }
  if (!PictureSizeAllowed(cinfo->output_width, cinfo->output_height, maxPixels)) return false;

  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(cinfo);

  image->Width = static_cast<int>(cinfo->output_width);
  image->Height = static_cast<int>(cinfo->output_height);
  image->Pixels.assign(static_cast<std::size_t>(image->Width) * image->Height, 0xFF000000u);
  if (cmyk) row->resize(static_cast<std::size_t>(image->Width) * 4);
  // The Adobe marker is what tells an inverted CMYK file.
  const bool inverted = cinfo->saw_Adobe_marker;

  while (cinfo->output_scanline < cinfo->output_height) {
    const std::size_t y = cinfo->output_scanline;
    std::uint32_t* out = image->Pixels.data() + y * image->Width;
    JSAMPROW target = cmyk ? row->data() : reinterpret_cast<JSAMPROW>(out);
    if (jpeg_read_scanlines(cinfo, &target, 1) != 1) return false;
    if (cmyk)
      for (int x = 0; x < image->Width; ++x) out[x] = CmykToArgb(row->data() + 4 * x, inverted);
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, TRawImage& image, std::uint64_t maxPixels) {
  if (data == nullptr || size == 0) return false;
  jpeg_decompress_struct cinfo{};
  TJpegError err{};
  cinfo.err = jpeg_std_error(&err.Base);
  err.Base.error_exit = ErrorExit;
  err.Base.output_message = OutputMessage;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = Progress;
  cinfo.progress = &progress;
  std::vector<JSAMPLE> row;
  bool ok = false;
  try {
    ok = Decode(&cinfo, &err, data, size, maxPixels, &image, &row);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  jpeg_destroy_decompress(&cinfo);
  if (!ok) image = TRawImage{};
  return ok;
}
