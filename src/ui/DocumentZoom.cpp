#include "DocumentZoom.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Where a scaled format keeps the size it had when the body was shown.
constexpr int kOriginalFontPixels = QTextFormat::UserProperty + 0x5a00;
constexpr int kOriginalFontPoints = kOriginalFontPixels + 1;
constexpr int kOriginalImageWidth = kOriginalFontPixels + 2;
constexpr int kOriginalImageHeight = kOriginalFontPixels + 3;
constexpr int kOriginalMargins = kOriginalFontPixels + 4;  // five: left, right, top, bottom, indent

constexpr int kMarginProperties[] = {QTextFormat::BlockLeftMargin, QTextFormat::BlockRightMargin,
                                     QTextFormat::BlockTopMargin, QTextFormat::BlockBottomMargin,
                                     QTextFormat::TextIndent};

// Scales property of format from its kept original; returns whether anything changed.
bool ScaleProperty(QTextFormat& format, int property, int original, double factor, bool whole) {
  if (!format.hasProperty(property) && !format.hasProperty(original)) return false;
  if (!format.hasProperty(original)) format.setProperty(original, format.property(property));
  const double from = format.property(original).toDouble();
  if (from <= 0) return false;
  const double to = whole ? std::max(1.0, std::round(from * factor)) : from * factor;
  if (whole) format.setProperty(property, static_cast<int>(to));
  else format.setProperty(property, to);
  return true;
}

}  // namespace

QFont ZoomedFont(const QFont& base, int percent) {
  QFont font = base;
  const double factor = percent / 100.0;
  if (base.pixelSize() > 0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(base.pixelSize() * factor))));
  else if (base.pointSizeF() > 0) font.setPointSizeF(base.pointSizeF() * factor);
  return font;
}

void ZoomDocument(QTextDocument& doc, const QFont& base, int percent) {
  const double factor = percent / 100.0;
  doc.setDefaultFont(ZoomedFont(base, percent));

  // Gathered first and changed after: changing a fragment's format may merge fragments
  // under a running iterator.
  struct TChange {
    int Position, Length;
    QTextCharFormat Format;
  };
  std::vector<TChange> chars;
  std::vector<std::pair<int, QTextBlockFormat>> blocks;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    QTextBlockFormat blockFormat = block.blockFormat();
    bool blockChanged = false;
    for (int i = 0; i < 5; ++i)
      blockChanged |= ScaleProperty(blockFormat, kMarginProperties[i], kOriginalMargins + i, factor, false);
    if (blockChanged) blocks.emplace_back(block.position(), blockFormat);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      QTextCharFormat format = fragment.charFormat();
      bool changed = ScaleProperty(format, QTextFormat::FontPixelSize, kOriginalFontPixels, factor, true);
      changed |= ScaleProperty(format, QTextFormat::FontPointSize, kOriginalFontPoints, factor, false);
      if (format.isImageFormat()) {
        changed |= ScaleProperty(format, QTextFormat::ImageWidth, kOriginalImageWidth, factor, false);
        changed |= ScaleProperty(format, QTextFormat::ImageHeight, kOriginalImageHeight, factor, false);
      }
      if (changed) chars.push_back({fragment.position(), fragment.length(), format});
    }
  }
  if (chars.empty() && blocks.empty()) return;
  QTextCursor cursor(&doc);
  cursor.beginEditBlock();
  for (const auto& [position, format] : blocks) {
    cursor.setPosition(position);
    cursor.setBlockFormat(format);
  }
  for (const TChange& change : chars) {
    cursor.setPosition(change.Position);
    cursor.setPosition(change.Position + change.Length, QTextCursor::KeepAnchor);
    cursor.setCharFormat(change.Format);
  }
  cursor.endEditBlock();
}
