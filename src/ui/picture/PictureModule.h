#pragma once
// The preview's picture decoders as a module that the viewer loads with the first picture it
// shows, so that a start without one loads none of the decoder libraries. Both sides are
// built from this tree; the version guards against a stale module.

#include <QSize>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "PictureDecoders.h"

// Raised whenever this interface or a type it passes (TRawImage) changes.
constexpr int kPictureModuleVersion = 2;

class QByteArray;
class QPainter;
class QRectF;

// An SVG document the module has parsed (SVG drawing lives in the module, so that the viewer
// loads no SVG support at start: its toolbar icons come drawn from the build).
class TSvgDrawing {
public:
  virtual ~TSvgDrawing() = default;
  // The document's own size, or its view box's where it states none.
  virtual QSize Size() const = 0;
  virtual void Render(QPainter& painter, const QRectF& target) const = 0;
};

class TPictureModule {
public:
  virtual bool DecodeJpeg(const std::uint8_t* data, std::size_t size, TRawImage& image,
                          std::uint64_t maxPixels) const = 0;
  virtual bool DecodePng(const std::uint8_t* data, std::size_t size, TRawImage& image,
                         std::uint64_t maxPixels) const = 0;
  virtual bool DecodeGif(const std::uint8_t* data, std::size_t size, TRawImage& image,
                         std::uint64_t maxPixels) const = 0;
  // In a child process, as WmfToSvgIsolated and EmfToSvgIsolated run them.
  virtual bool WmfToSvg(const std::uint8_t* data, std::size_t size, std::string& svg) const = 0;
  virtual bool EmfToSvg(const std::uint8_t* data, std::size_t size, std::string& svg) const = 0;
  // The parsed document; null when svg is not a valid one.
  virtual std::unique_ptr<TSvgDrawing> ParseSvg(const QByteArray& svg) const = 0;

protected:
  ~TPictureModule() = default;
};

// The module's one exported symbol: nullptr when version is not the module's own.
#define VELQUIN_PICTURE_MODULE_ENTRY "velquin_picture_module"
extern "C" {
using TPictureModuleEntry = const TPictureModule* (*)(int version);
}
