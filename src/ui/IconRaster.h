#pragma once
// How an SVG icon becomes pixels, shared by the build step that bakes the toolbar icons and
// the icon engine that draws every other size, so that both give the same pixels.

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

inline QImage RenderIconSvg(QSvgRenderer& renderer, const QSize& size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  if (renderer.isValid()) {
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  }
  return image;
}
