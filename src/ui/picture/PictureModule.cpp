// The picture module: the preview's decoders behind the viewer's TPictureModule interface.
// Everything in it is hidden except the entry point.
#include "PictureModule.h"

#include <QPainter>
#include <QSvgRenderer>

#include "IsolatedConversion.h"

namespace {

class TQtSvgDrawing final : public TSvgDrawing {
public:
  explicit TQtSvgDrawing(const QByteArray& svg) : FRenderer(svg) {}
  bool Valid() const { return FRenderer.isValid(); }
  QSize Size() const override {
    const QSize size = FRenderer.defaultSize();
    return size.isEmpty() ? FRenderer.viewBox().size() : size;
  }
  void Render(QPainter& painter, const QRectF& target) const override {
    FRenderer.render(&painter, target);
  }

private:
  mutable QSvgRenderer FRenderer;  // drawing changes no state of the document
};

class TLoadedPictureModule final : public TPictureModule {
public:
  bool DecodeJpeg(const std::uint8_t* data, std::size_t size, TRawImage& image,
                  std::uint64_t maxPixels) const override {
    return ::DecodeJpeg(data, size, image, maxPixels);
  }
  bool DecodePng(const std::uint8_t* data, std::size_t size, TRawImage& image,
                 std::uint64_t maxPixels) const override {
    return ::DecodePng(data, size, image, maxPixels);
  }
  bool DecodeGif(const std::uint8_t* data, std::size_t size, TRawImage& image,
                 std::uint64_t maxPixels) const override {
    return ::DecodeGif(data, size, image, maxPixels);
  }
  bool WmfToSvg(const std::uint8_t* data, std::size_t size, std::string& svg) const override {
    return WmfToSvgIsolated(data, size, svg);
  }
  bool EmfToSvg(const std::uint8_t* data, std::size_t size, std::string& svg) const override {
    return EmfToSvgIsolated(data, size, svg);
  }
  std::unique_ptr<TSvgDrawing> ParseSvg(const QByteArray& svg) const override {
    auto drawing = std::make_unique<TQtSvgDrawing>(svg);
    if (!drawing->Valid()) return nullptr;
    return drawing;
  }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TPictureModule* velquin_picture_module(int version) {
  if (version != kPictureModuleVersion) return nullptr;
  static const TLoadedPictureModule module;
  return &module;
}
