#pragma once
// FPicture of the main window: the decoded picture of the attachment being previewed.
// Raster formats become a QImage; metafiles stay vector (an SVG drawing of the picture module) and are drawn at
// whatever size the preview asks for.

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>

class QIODevice;
class QPainter;
class TSvgDrawing;

class TPicture {
public:
  TPicture();
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // The most pixels a picture loaded from now on may have (the preview's bound unless set
  // lower); a JPEG above it loads at a fraction of its size, anything else not at all.
  void SetMaxPixels(std::uint64_t pixels) { FMaxPixels = pixels; }

  // Whether an extension (lower case, dot included) is one the preview loads.
  static bool IsPreviewExtension(const QString& extension);

  // Loads the file as the format its extension names (lower case, dot included). On
  // failure (unreadable, unknown format, corrupt, too large) the holder is empty and false
  // is returned; nothing is reported.
  bool LoadFromFile(const QString& path, const QString& extension);
  // The same for a picture already in memory (one the message body carries).
  bool LoadFromMemory(const QByteArray& bytes, const QString& extension);
  void Clear();
  bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }

  int Width() const;
  int Height() const;
  // Draws the picture stretched into target.
  void Draw(QPainter& painter, const QRect& target) const;

  // The raster picture (null for metafiles), for tests.
  const QImage& Image() const { return FImage; }
  // Renders the picture at its own size, whatever its kind (for tests and thumbnails).
  QImage ToImage() const;

private:
  bool LoadBytes(const std::uint8_t* bytes, std::size_t length, const QString& extension);
  bool LoadViaQt(QIODevice& device);
  bool LoadSvg(const std::string& svg);

  QImage FImage;
  std::unique_ptr<TSvgDrawing> FSvg;
  QSize FSvgSize;
  std::uint64_t FMaxPixels;
};
