#pragma once
// How an SVG icon becomes pixels, shared by the build step that bakes the toolbar icons and
// the icon engine that draws every other size, so that both give the same pixels.

#include <QImage>
#include <QPainter>

// draw(QPainter&, const QRectF&) draws the document into the rectangle.
template <class Draw>
QImage RenderIcon(const QSize& size, Draw&& draw) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}
