// The preview's picture holder: one small picture per format, written by the test itself,
// decoded and checked at a pixel; oversized and cut-off pictures give no picture.

#include <gif_lib.h>
#include <zlib.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <cstdlib>

#include "IsolatedConversion.h"
#include "Picture.h"
#include "PictureDecoders.h"

namespace {

std::string Le16(unsigned v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
std::string Be32(std::uint32_t v) { return {char(v >> 24), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)}; }

QByteArray Encoded(const char* format, QImage::Format pixelFormat = QImage::Format_RGB32) {
  QImage image(40, 20, pixelFormat);
  image.fill(QColor(0, 0, 255));
  image.setPixelColor(5, 5, QColor(255, 0, 0));
  for (int y = 0; y < 4; ++y)
    for (int x = 30; x < 34; ++x) image.setPixelColor(x, y, QColor(0, 255, 0));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

// A 6 x 4 GIF of three colours whose index 2 is transparent, written with giflib's encoder.
QByteArray MakeGif() {
  QByteArray out;
  auto write = [](GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
  };
  int error = 0;
  GifFileType* gif = EGifOpen(&out, write, &error);
  GifColorType colors[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}};
  ColorMapObject* map = GifMakeMapObject(4, colors);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, 6, 4, 2, 0, map);
  const GifByteType gcb[4] = {1, 0, 0, 2};
  EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gcb);
  EGifPutImageDesc(gif, 0, 0, 6, 4, false, nullptr);
  for (int y = 0; y < 4; ++y) {
    GifPixelType row[6] = {0, 0, 1, 1, 2, 2};
    EGifPutLine(gif, row, 6);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// A placeable WMF of 100 x 50 units at 96 units per inch: a red rectangle without outline.
QByteArray MakeWmf() {
  std::string rec;
  rec += Le32(5) + Le16(0x020B) + Le16(0) + Le16(0);                           // SETWINDOWORG
  rec += Le32(5) + Le16(0x020C) + Le16(50) + Le16(100);                        // SETWINDOWEXT
  rec += Le32(7) + Le16(0x02FC) + Le16(0) + Le32(0x000000FF) + Le16(0);        // CREATEBRUSHINDIRECT
  rec += Le32(4) + Le16(0x012D) + Le16(0);                                     // SELECTOBJECT
  rec += Le32(8) + Le16(0x02FA) + Le16(5) + Le32(0) + Le32(0);                 // CREATEPENINDIRECT null
  rec += Le32(4) + Le16(0x012D) + Le16(1);                                     // SELECTOBJECT
  rec += Le32(7) + Le16(0x041B) + Le16(50) + Le16(100) + Le16(0) + Le16(0);    // RECTANGLE
  rec += Le32(3) + Le16(0);                                                     // EOF
  const std::uint32_t words = static_cast<std::uint32_t>((18 + rec.size()) / 2);
  std::string header = Le16(1) + Le16(9) + Le16(0x0300) + Le32(words) + Le16(2) + Le32(8) + Le16(0);
  std::string placeable = Le32(0x9AC6CDD7) + Le16(0) + Le16(0) + Le16(0) + Le16(100) + Le16(50) + Le16(96) + Le32(0);
  unsigned sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= std::uint8_t(placeable[2 * i]) | std::uint8_t(placeable[2 * i + 1]) << 8;
  placeable += Le16(sum);
  const std::string all = placeable + header + rec;
  return QByteArray(all.data(), qsizetype(all.size()));
}

// An EMF of 100 x 50 pixels: a red rectangle drawn with the null pen.
QByteArray MakeEmf() {
  std::string rec;
  rec += Le32(39) + Le32(24) + Le32(1) + Le32(0) + Le32(0x000000FF) + Le32(0);  // CREATEBRUSHINDIRECT
  rec += Le32(37) + Le32(12) + Le32(1);                                         // SELECTOBJECT brush
  rec += Le32(37) + Le32(12) + Le32(0x80000008);                                // SELECTOBJECT NULL_PEN
  rec += Le32(43) + Le32(24) + Le32(0) + Le32(0) + Le32(100) + Le32(50);        // RECTANGLE
  rec += Le32(14) + Le32(20) + Le32(0) + Le32(16) + Le32(20);                   // EOF
  const std::uint32_t total = 108 + static_cast<std::uint32_t>(rec.size());
  std::string h = Le32(1) + Le32(108) + Le32(0) + Le32(0) + Le32(99) + Le32(49) + Le32(0) + Le32(0) +
                  Le32(2646) + Le32(1323) + Le32(0x464D4520) + Le32(0x10000) + Le32(total) + Le32(6) +
                  Le16(2) + Le16(0) + Le32(0) + Le32(0) + Le32(0) + Le32(1024) + Le32(768) + Le32(271) +
                  Le32(203) + Le32(0) + Le32(0) + Le32(0) + Le32(270933) + Le32(203200);
  const std::string all = h + rec;
  return QByteArray(all.data(), qsizetype(all.size()));
}

std::string PngChunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  return Be32(std::uint32_t(data.size())) + body +
         Be32(std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

}  // namespace

class TPictureTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  // Writes bytes under name and loads them as the name's extension.
  bool Load(TPicture& picture, const QString& name, const QByteArray& bytes) {
    QFile file(FDir.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(bytes);
    file.close();
    return picture.LoadFromFile(file.fileName(), name.mid(name.lastIndexOf(QLatin1Char('.'))));
  }

private slots:
  void rasterFormatsDecode_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exact");
    QTest::newRow("png") << "a.png" << Encoded("PNG") << true;
    QTest::newRow("png with alpha") << "b.png" << Encoded("PNG", QImage::Format_ARGB32) << true;
    QTest::newRow("jpeg") << "c.jpg" << Encoded("JPG") << false;
    QTest::newRow("jpeg, long extension") << "d.jpeg" << Encoded("JPG") << false;
    QTest::newRow("bmp") << "e.bmp" << Encoded("BMP") << true;
    QTest::newRow("ico") << "f.ico" << Encoded("ICO") << true;
    QTest::newRow("png named .jpg") << "g.jpg" << Encoded("PNG") << true;
  }
  void rasterFormatsDecode() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exact);
    TPicture picture;
    QVERIFY(Load(picture, name, bytes));
    QCOMPARE(QSize(picture.Width(), picture.Height()), QSize(40, 20));
    const QColor green = picture.ToImage().pixelColor(31, 2);
    if (exact) {
      QCOMPARE(green, QColor(0, 255, 0));
    } else {  // lossy: near enough
      QVERIFY2(green.green() > 200 && green.red() < 60 && green.blue() < 60, qPrintable(green.name()));
    }
  }

  void gifFirstFrameWithTransparency() {
    TPicture picture;
    QVERIFY(Load(picture, QStringLiteral("a.gif"), MakeGif()));
    const QImage image = picture.ToImage();
    QCOMPARE(image.size(), QSize(6, 4));
    QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(2, 3), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(5, 1).alpha(), 0);
  }

  void metafilesRenderThroughSvg_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("wmf") << "a.wmf" << MakeWmf();
    QTest::newRow("emf") << "a.emf" << MakeEmf();
  }
  void metafilesRenderThroughSvg() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    TPicture picture;
    QVERIFY(Load(picture, name, bytes));
    QVERIFY(picture.Image().isNull());  // kept as vectors
    const QImage image = picture.ToImage();
    QVERIFY2(image.width() >= 50 && image.height() >= 25, qPrintable(QString::number(image.width())));
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    QVERIFY2(centre.red() > 200 && centre.green() < 60 && centre.blue() < 60, qPrintable(centre.name()));
  }

  void oversizedPictureIsRefusedBeforeDecoding() {
    // An IHDR of 20000 x 10000 (200 megapixels) and no pixel data at all.
    const std::string ihdr = Be32(20000) + Be32(10000) + std::string("\x08\x02\0\0\0", 5);
    const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", ihdr) + PngChunk("IEND", "");
    TRawImage raw;
    QVERIFY(!DecodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size(), raw));
    QVERIFY(raw.Pixels.empty());
    QVERIFY(!PictureSizeAllowed(10000, 5001));
    QVERIFY(PictureSizeAllowed(10000, 5000));
  }

  // A JPEG above the bound is decoded at 1/2, 1/4 or 1/8 of its size, the first that fits;
  // when even 1/8 does not fit it is refused.
  void largeJpegIsScaledDownAtDecode() {
    QImage source(400, 300, QImage::Format_RGB32);
    source.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && source.save(&buffer, "JPG"));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const auto size = static_cast<std::size_t>(bytes.size());
    struct TCase { std::uint64_t Max; int Width; int Height; };
    for (const TCase c : {TCase{120000, 400, 300}, TCase{119999, 200, 150}, TCase{2000, 50, 38}}) {
      TRawImage raw;
      QVERIFY(DecodeJpeg(data, size, raw, c.Max));
      QCOMPARE(raw.Width, c.Width);
      QCOMPARE(raw.Height, c.Height);
    }
    TRawImage refused;
    QVERIFY(!DecodeJpeg(data, size, refused, 1899));
    QVERIFY(refused.Pixels.empty());
  }

  void chunkLongerThanTheFileIsNotAllocated() {
    // A 1.9 GB sPLT chunk declared in a file of a few dozen bytes: refused without libpng
    // ever asking for the buffer (the fuzzer's out-of-memory case); the pixels before it
    // would still show.
    const std::string ihdr = Be32(8) + Be32(8) + std::string("\x08\x02\0\0\0", 5);
    const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", ihdr) +
                            Be32(0x73737373) + "sPLT" + std::string(40, 'x');
    TRawImage raw;
    QVERIFY(!DecodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size(), raw));
  }

  // Every format cut at every length gives a picture or none, never a crash.
  void truncatedFilesAreHandled() {
    const QList<QPair<QString, QByteArray>> files = {
        {".png", Encoded("PNG")}, {".jpg", Encoded("JPG")}, {".gif", MakeGif()},
        {".wmf", MakeWmf()}, {".emf", MakeEmf()}};
    for (const auto& [extension, bytes] : files) {
      for (qsizetype n = 0; n < bytes.size(); n += 1 + bytes.size() / 97) {
        TPicture picture;
        Load(picture, QStringLiteral("cut") + extension, bytes.left(n));
        QVERIFY(picture.IsEmpty() || picture.Width() > 0);
      }
    }
  }

  // The metafile converters run in a child: its crash, hang or flood costs only the picture.
  void isolatedConversionContainsFaults() {
    std::string out;
    QVERIFY(RunIsolated([](std::string& o) { o = "<svg/>"; return true; }, out));
    QCOMPARE(out, std::string("<svg/>"));
    QVERIFY(!RunIsolated([](std::string&) { return false; }, out));
    QVERIFY(!RunIsolated([](std::string&) -> bool { std::abort(); }, out));
    TIsolationLimits limits;
    limits.TimeoutMs = 200;
    QVERIFY(!RunIsolated([](std::string&) -> bool { for (;;) pause(); }, out, limits));
    limits.MaxOutputBytes = 1000;
    QVERIFY(!RunIsolated([](std::string& o) { o.assign(5000, 'x'); return true; }, out, limits));
    QVERIFY(out.empty());
  }

  void unknownExtensionIsNotLoaded() {
    TPicture picture;
    QVERIFY(!Load(picture, QStringLiteral("a.tif"), Encoded("PNG")));
    QVERIFY(!TPicture::IsPreviewExtension(QStringLiteral(".JPG")));  // callers lower-case first
    QVERIFY(TPicture::IsPreviewExtension(QStringLiteral(".jpeg")));
  }
};

QTEST_MAIN(TPictureTest)
#include "PictureTest.moc"
