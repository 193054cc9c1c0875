// Picture loading for the preview. The file is mapped, not read, so a large attachment
// costs address space rather than memory; each decoder checks the picture's size against
// the holder's pixel bound before it allocates.

#include "Picture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <cstring>

#include "PictureModuleLoader.h"

namespace {

// Extensions compared in lower case, dot included.
const char* const kPreviewExtensions[] = {".bmp", ".wmf", ".jpg", ".jpeg", ".ico", ".emf", ".gif", ".png"};

// The decoder's pixel vector becomes the QImage's buffer without a copy; the image frees it.
QImage ImageFromRaw(TRawImage&& raw) {
  auto* owner = new std::vector<std::uint32_t>(std::move(raw.Pixels));
  return QImage(reinterpret_cast<uchar*>(owner->data()), raw.Width, raw.Height,
                static_cast<qsizetype>(raw.Width) * 4, QImage::Format_ARGB32,
                [](void* info) { delete static_cast<std::vector<std::uint32_t>*>(info); }, owner);
}

}  // namespace

TPicture::TPicture() : FMaxPixels(kMaxPicturePixels) {}
TPicture::~TPicture() = default;

bool TPicture::IsPreviewExtension(const QString& extension) {
  for (const char* e : kPreviewExtensions)
    if (extension == QLatin1String(e)) return true;
  return false;
}

void TPicture::Clear() {
  FImage = QImage();
  FSvg.reset();
  FSvgSize = QSize();
}

int TPicture::Width() const { return FSvg ? FSvgSize.width() : FImage.width(); }
int TPicture::Height() const { return FSvg ? FSvgSize.height() : FImage.height(); }

void TPicture::Draw(QPainter& painter, const QRect& target) const {
  if (FSvg) {
    FSvg->Render(painter, QRectF(target));
  } else if (!FImage.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, FImage);
  }
}

QImage TPicture::ToImage() const {
  if (!FSvg) return FImage;
  QImage image(FSvgSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  FSvg->Render(painter, QRectF(QPointF(0, 0), QSizeF(FSvgSize)));
  return image;
}

bool TPicture::LoadFromFile(const QString& path, const QString& extension) {
  Clear();
  if (!IsPreviewExtension(extension)) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() <= 0) return false;
  if (extension == QLatin1String(".bmp") || extension == QLatin1String(".ico")) return LoadViaQt(file);
  const qint64 size = file.size();
  const bool metafile = extension == QLatin1String(".wmf") || extension == QLatin1String(".emf");
  if (metafile && static_cast<quint64>(size) > kMaxMetafileBytes) return false;
  const uchar* data = file.map(0, size);
  if (data == nullptr) return false;
  const bool ok = LoadBytes(reinterpret_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size), extension);
  file.unmap(const_cast<uchar*>(data));
  return ok;
}

bool TPicture::LoadFromMemory(const QByteArray& bytes, const QString& extension) {
  Clear();
  if (!IsPreviewExtension(extension) || bytes.isEmpty()) return false;
  if (extension == QLatin1String(".bmp") || extension == QLatin1String(".ico")) {
    QBuffer buffer(const_cast<QByteArray*>(&bytes));
    return buffer.open(QIODevice::ReadOnly) && LoadViaQt(buffer);
  }
  return LoadBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()),
                   extension);
}

bool TPicture::LoadBytes(const std::uint8_t* bytes, std::size_t length, const QString& extension) {
  bool ok = false;
  // The decoders are a module, loaded with the first picture.
  const TPictureModule* decoders = PictureModule();
  if (decoders == nullptr) {
    // Without its module the preview shows nothing, as for a picture it cannot read.
  } else if (extension == QLatin1String(".wmf") || extension == QLatin1String(".emf")) {
    std::string svg;
    // The metafile libraries run in a child process: see IsolatedConversion.h.
    const bool converted = extension == QLatin1String(".wmf") ? decoders->WmfToSvg(bytes, length, svg)
                                                              : decoders->EmfToSvg(bytes, length, svg);
    ok = converted && LoadSvg(svg);
  } else {
    // Mail programs rename pictures freely (a PNG called .jpg is common), so the bytes'
    // signature picks the decoder and the extension only decides that one is tried.
    TRawImage raw;
    if (length >= 8 && std::memcmp(bytes, "\x89PNG\r\n\x1a\n", 8) == 0)
      ok = decoders->DecodePng(bytes, length, raw, FMaxPixels);
    else if (length >= 4 && std::memcmp(bytes, "GIF8", 4) == 0)
      ok = decoders->DecodeGif(bytes, length, raw, FMaxPixels);
    else if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8)
      ok = decoders->DecodeJpeg(bytes, length, raw, FMaxPixels);
    if (ok) FImage = ImageFromRaw(std::move(raw));
  }
  if (!ok) Clear();
  return ok;
}

bool TPicture::LoadViaQt(QIODevice& device) {
  QImageReader reader(&device);
  reader.setDecideFormatFromContent(true);
  // Qt's own limit (in MB) backs up the size check, which needs the header to be read.
  QImageReader::setAllocationLimit(512);
  const QSize size = reader.size();
  if (size.isValid() && !PictureSizeAllowed(size.width(), size.height(), FMaxPixels)) return false;
  QImage image = reader.read();
  if (image.isNull() || !PictureSizeAllowed(image.width(), image.height(), FMaxPixels)) return false;
  FImage = std::move(image);
  return true;
}

bool TPicture::LoadSvg(const std::string& svg) {
  const TPictureModule* module = PictureModule();
  if (module == nullptr) return false;
  std::unique_ptr<TSvgDrawing> drawing = module->ParseSvg(QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
  if (!drawing) return false;
  const QSize size = drawing->Size();
  if (size.isEmpty() || !PictureSizeAllowed(size.width(), size.height(), FMaxPixels)) return false;
  FSvgSize = size;
  FSvg = std::move(drawing);
  return true;
}
