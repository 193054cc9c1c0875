// What the message pane shows, for bench/rtf/fidelity.py --pane:
//
//   velquin_pane_check make DIR           writes one generated body per layout fault the pane
//                                         must not show (fault-1-nested.tnef ...) into DIR
//   velquin_pane_check show [--png DIR] FILE...
//                                         shows each TNEF file's body in an offscreen pane and
//                                         prints one JSON line of what a reader sees: the cell
//                                         colours, block indents, paragraph directions, glyph
//                                         coverage, text sizes, pictures, body colour; --png
//                                         saves the pane's picture

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRawFont>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QAbstractTextDocumentLayout>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "MessageBodyView.h"
#include "MessageBrowser.h"
#include "TNEFReaderClass.h"
#include "TnefBuilder.h"

namespace {

void Write(const QString& dir, const char* name, const std::string& body, bool rtf,
           const std::vector<std::pair<std::string, std::string>>& pictures = {}) {
  tb::TnefBuilder b;
  b.Subject(name);
  b.MsgProps(tb::PropBlock().Binary(rtf ? 0x1009 : 0x1013, rtf ? tb::Lzfu(body) : body));
  for (const auto& [contentId, png] : pictures)
    b.Attachment("image.png", png).AttProps(tb::PropBlock().String8(0x3712, contentId));
  b.WriteTo((dir + "/" + name + ".tnef").toStdString());
}

std::string Png(QColor colour) {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

int Make(const QString& dir) {
  std::string nested;
  for (int i = 0; i < 20; ++i) nested += "<table><tr><td>";
  nested += "deepest";
  for (int i = 0; i < 20; ++i) nested += "</td></tr></table>";
  Write(dir, "fault-1-nested-20", nested, false);
  nested.clear();
  for (int i = 0; i < 1000; ++i) nested += "<table><tr><td>";
  nested += "deepest";
  for (int i = 0; i < 1000; ++i) nested += "</td></tr></table>";
  Write(dir, "fault-1-nested-1000", nested, false);
  // Entry 0 of the colour table is a real colour (white); only the second cell is shaded.
  Write(dir, "fault-2-cell-shade",
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl\\red255\\green255\\blue255;\\red200\\green0\\blue0;}"
        "\\trowd\\cellx2000\\clcbpat1\\cellx4000\\intbl plain\\cell shaded\\cell\\row\\pard after\\par}",
        true);
  Write(dir, "fault-3-cid-pictures",
        "<p>three pictures: <img src=\"cid:0a1b2c3d-0001@example\" alt=\"image.png\">"
        "<img src=\"cid:0a1b2c3d-0002@example\" alt=\"image.png\"><img src=\"cid:0a1b2c3d-0003@example\" alt=\"image.png\"></p>",
        false,
        {{"0a1b2c3d-0001@example", Png(Qt::red)}, {"0a1b2c3d-0002@example", Png(Qt::green)},
         {"0a1b2c3d-0003@example", Png(Qt::blue)}});
  Write(dir, "fault-4-quote-indent",
        "<p>Reply above.</p><div style=\"border:none;border-left:solid #1F497D 1.5pt;padding:0cm 0cm 0cm 4.0pt;"
        "margin-left:36pt\"><p class=MsoNormal>quoted</p></div><p>after</p>",
        false);
  Write(dir, "fault-5-direction",
        "<meta charset=\"utf-8\"><p dir=\"rtl\" style=\"text-align:right\">\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d</p>"
        "<p dir=\"rtl\">\xd7\xa2\xd7\x95\xd7\x9c\xd7\x9d <span>x</span></p><p>later</p>",
        false);
  Write(dir, "fault-6-light-hebrew",
        "<meta charset=\"utf-8\"><p style=\"font-family:'DejaVu Sans';font-weight:200\">\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d</p>"
        "<p style=\"font-family:Arial;font-weight:300\">\xd7\xa2\xd7\x95\xd7\x9c\xd7\x9d</p>",
        false);
  Write(dir, "fault-7-font-size", "<p><font size=2>small text</font></p>", false);
  Write(dir, "fault-8-minor",
        "<html><head><style>p.MsoNormal{margin:0;font-family:\"\\5B8B\\4F53\"} a:link{color:#0563C1}</style></head>"
        "<body bgcolor=\"#ffffcc\"><p class=MsoNormal>one</p><div><br></div><p class=MsoNormal>"
        "<a href=\"http://example.org/\">link</a></p></body></html>",
        false);
  return 0;
}

QString Colour(const QBrush& brush) {
  return brush.style() == Qt::NoBrush ? QStringLiteral("none") : brush.color().name();
}

void Tables(const QTextFrame* frame, int depth, int& deepest, std::set<QString>& cells) {
  deepest = std::max(deepest, depth);
  for (QTextFrame* child : frame->childFrames()) {
    if (auto* table = qobject_cast<QTextTable*>(child)) {
      for (int r = 0; r < table->rows(); ++r)
        for (int c = 0; c < table->columns(); ++c) cells.insert(Colour(table->cellAt(r, c).format().background()));
    }
    Tables(child, depth + 1, deepest, cells);
  }
}

// Whether any installed face has a glyph for c (for telling missing fonts from fallbacks).
bool SomeFaceHas(uint c) {
  static std::map<uint, bool> known;
  if (auto it = known.find(c); it != known.end()) return it->second;
  bool has = false;
  for (const QString& family : QFontDatabase::families())
    if (QRawFont::fromFont(QFont(family)).supportsCharacter(c)) { has = true; break; }
  return known[c] = has;
}

QJsonObject Show(TMessageBrowser& pane, const QString& path, const QString& pngDir) {
  QJsonObject out;
  out["body"] = QFileInfo(path).fileName();
  QElapsedTimer clock;
  clock.start();
  TTNEFReader reader(path.toStdString(), "");
  const TMessageBodyView body = MessageBodyHtml(reader);
  pane.ShowBody(body);
  while (!pane.BodyComplete() && clock.elapsed() < 60000) QTest::qWait(5);
  QTextDocument* doc = pane.document();
  doc->size();
  out["ms"] = double(clock.nsecsElapsed() / 100000) / 10;
  out["chars"] = doc->characterCount();

  int deepest = 0;
  std::set<QString> cells;
  Tables(doc->rootFrame(), 1, deepest, cells);
  out["frameDepth"] = deepest;
  QJsonArray cellColours;
  for (const QString& c : cells) cellColours.append(c);
  out["cellColours"] = cellColours;
  out["bodyColour"] = Colour(doc->rootFrame()->frameFormat().background());

  QJsonArray indents, rtl;
  int ltrBlocks = 0, blank = 0, boxes = 0, uncovered = 0, images = 0, links = 0, underlined = 0;
  std::map<int, int> pixelSizes;  // characters per text size in px
  QAbstractTextDocumentLayout* layout = doc->documentLayout();
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    const QString text = b.text();
    const QRectF rect = layout->blockBoundingRect(b);
    QString trimmed = text;
    trimmed.replace(QChar::Nbsp, u' ').replace(QChar::LineSeparator, u' ');
    if (trimmed.trimmed().isEmpty() && !text.contains(QChar::ObjectReplacementCharacter)) ++blank;
    if (!trimmed.trimmed().isEmpty()) {
      const qreal left = rect.x() + b.blockFormat().leftMargin();
      if (left > 8) indents.append(QJsonObject{{"text", text.left(20)}, {"px", qRound(left)}});
    }
    if (b.textDirection() == Qt::RightToLeft) {
      // How far the first line's end lies from the block's right edge: an RTL line drawn at
      // the left leaves a wide gap.
      QTextLine line = b.layout()->lineCount() > 0 ? b.layout()->lineAt(0) : QTextLine();
      qreal right = 0;
      if (line.isValid())
        for (int pos = line.textStart(); pos <= line.textStart() + line.textLength(); ++pos)
          right = std::max(right, line.cursorToX(pos));
      const qreal gap = line.isValid() ? rect.width() - b.blockFormat().rightMargin() - right : -1;
      rtl.append(QJsonObject{{"text", text.left(20)}, {"rightGapPx", qRound(gap)}});
    } else if (!trimmed.trimmed().isEmpty()) {
      ++ltrBlocks;
    }
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QTextCharFormat format = f.charFormat();
      if (format.isImageFormat()) {
        const QVariant image = doc->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
        if (image.isValid() && !image.value<QImage>().isNull()) ++images;
        continue;
      }
      if (format.isAnchor() && !format.anchorHref().isEmpty()) {
        ++links;
        if (format.fontUnderline() || format.underlineStyle() != QTextCharFormat::NoUnderline) ++underlined;
      }
      const QFont font = format.font();
      pixelSizes[QFontInfo(font).pixelSize()] += f.length();
      // The glyphs the engine picks, fallbacks included; glyph 0 is the box.
      QTextLayout shaped(f.text(), font);
      shaped.beginLayout();
      shaped.createLine();
      shaped.endLayout();
      for (const QGlyphRun& run : shaped.glyphRuns()) {
        const QList<quint32> glyphs = run.glyphIndexes();
        for (qsizetype g = 0; g < glyphs.size(); ++g)
          if (glyphs[g] == 0) ++boxes;
      }
      if (boxes > 0 && uncovered == 0) {
        for (QChar c : f.text())
          if (!c.isSpace() && !SomeFaceHas(c.unicode())) ++uncovered;
      }
    }
  }
  out["indents"] = indents;
  out["rtlBlocks"] = rtl;
  out["ltrBlocks"] = ltrBlocks;
  out["blankBlocks"] = blank;
  out["boxGlyphs"] = boxes;
  out["charsNoFaceHas"] = uncovered;
  out["pictures"] = images;
  out["links"] = links;
  out["underlinedLinks"] = underlined;
  int common = 0, most = 0;
  for (const auto& [px, n] : pixelSizes)
    if (n > most) { most = n; common = px; }
  out["textPx"] = common;

  // The pane's picture, as a reader sees it.
  QImage picture(pane.viewport()->size(), QImage::Format_RGB32);
  picture.fill(Qt::white);
  pane.viewport()->render(&picture);
  if (!pngDir.isEmpty()) picture.save(pngDir + "/" + QFileInfo(path).completeBaseName() + ".png");
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "make") == 0) {
    QGuiApplication app(argc, argv);
    return Make(QString::fromLocal8Bit(argv[2]));
  }
  if (argc < 3 || std::strcmp(argv[1], "show") != 0) {
    std::fprintf(stderr, "usage: %s make DIR | show [--png DIR] FILE...\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  int first = 2;
  QString pngDir;
  if (std::strcmp(argv[2], "--png") == 0 && argc > 4) {
    pngDir = QString::fromLocal8Bit(argv[3]);
    first = 4;
  }
  for (int i = first; i < argc; ++i) {
    TMessageBrowser pane;
    pane.resize(800, 600);
    pane.show();
    QJsonObject facts;
    try {
      facts = Show(pane, QString::fromLocal8Bit(argv[i]), pngDir);
    } catch (...) {
      // The window tells the reader it cannot open the file; there is no body to look at.
      facts = QJsonObject{{"body", QFileInfo(QString::fromLocal8Bit(argv[i])).fileName()}, {"error", "not opened"}};
    }
    std::printf("%s\n", QJsonDocument(facts).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
  }
  return 0;
}
