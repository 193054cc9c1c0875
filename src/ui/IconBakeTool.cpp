// Build step: draws the toolbar icons' SVG files at the sizes the toolbars ask for and writes
// them as premultiplied ARGB pixels into a C++ source, so that the viewer shows them at start
// without parsing and drawing SVG. Sizes not written here are drawn from the SVG at run time.
//
//   velquin-icon-bake OUT.cpp ICON_DIR SIZES NAME[:SIZES]...
//
// SIZES are comma separated (16,32); a name's own list replaces the common one for it.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

#include "IconRaster.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s OUT.cpp ICON_DIR SIZES NAME...\n", argv[0]);
    return 2;
  }
  QGuiApplication app(argc, argv);
  const QString dir = QString::fromLocal8Bit(argv[2]);
  const auto parseSizes = [](const QString& text) {
    QList<int> sizes;
    for (const QString& size : text.split(QLatin1Char(','))) sizes << size.toInt();
    return sizes;
  };
  const QList<int> commonSizes = parseSizes(QString::fromLocal8Bit(argv[3]));
  QByteArray out = "// Written by velquin-icon-bake from resources/icons at build time; do not edit.\n"
                   "#include \"BakedIcons.h\"\n\nnamespace {\n";
  QByteArray table = "}  // namespace\n\nconst TBakedIcon kBakedIcons[] = {\n";
  int count = 0;
  for (int i = 4; i < argc; ++i) {
    const QStringList parts = QString::fromLocal8Bit(argv[i]).split(QLatin1Char(':'));
    const QString name = parts.first();
    const QList<int> sizes = parts.size() > 1 ? parseSizes(parts.at(1)) : commonSizes;
    QSvgRenderer renderer(dir + QLatin1Char('/') + name + QStringLiteral(".svg"));
    if (!renderer.isValid()) {
      std::fprintf(stderr, "cannot read %s.svg\n", qPrintable(name));
      return 1;
    }
    for (int size : sizes) {
      if (size <= 0) return 2;
      const QImage image = RenderIcon(QSize(size, size), [&](QPainter& painter, const QRectF& target) {
        renderer.render(&painter, target);
      });
      const QByteArray symbol = "k" + QByteArray::number(count);
      out += "const quint32 " + symbol + "[] = {";
      for (int y = 0; y < size; ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) out += (x % 8 == 0 ? "\n  0x" : " 0x") + QByteArray::number(line[x], 16) + ",";
      }
      out += "\n};\n";
      table += "  {\"" + name.toUtf8() + "\", " + QByteArray::number(size) + ", " + symbol + "},\n";
      ++count;
    }
  }
  out += table + "};\nconst int kBakedIconCount = " + QByteArray::number(count) + ";\n";
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) return 1;
  return 0;
}
