#include "PreviewArea.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "Picture.h"

QRect PreviewDrawRect(const QRect& area, const QSize& pictureSize) {
  const int pw = pictureSize.width(), ph = pictureSize.height();
  if (pw <= 0 || ph <= 0) return {};
  const QRect inner = area.adjusted(8, 8, -8, -8);
  const int w = inner.width(), h = inner.height();
  double scale = std::min(double(w) / pw, double(h) / ph);
  if (scale > 1) scale = 1;
  // nearbyint rounds in the current mode, which is to nearest with ties to even.
  const int dw = static_cast<int>(std::nearbyint(pw * scale));
  const int dh = static_cast<int>(std::nearbyint(ph * scale));
  const int left = inner.left() + w / 2 - dw / 2;
  const int top = inner.top() + h / 2 - dh / 2;
  return QRect(left, top, dw, dh);
}

TPreviewArea::TPreviewArea(QWidget* parent) : QWidget(parent) {}

void TPreviewArea::SetPicture(const TPicture* picture) { FPicture = picture; }

QRect TPreviewArea::PreviewRect() const {
  // Only what is seen: this widget ends above the web pane, and the site labels at its
  // lower right are kept clear of the picture.
  int bottom = height();
  for (const char* name : {"lblSite", "Label1"})
    if (const auto* label = findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        label != nullptr && !label->isHidden())
      bottom = std::min(bottom, label->y());
  return QRect(0, 0, width(), std::max(0, bottom));
}

QRect TPreviewArea::PictureRect() const {
  if (FPicture == nullptr) return {};
  return PreviewDrawRect(PreviewRect(), QSize(FPicture->Width(), FPicture->Height()));
}

void TPreviewArea::paintEvent(QPaintEvent*) {
  if (FPicture == nullptr) return;
  QPainter painter(this);
  painter.fillRect(PreviewRect(), palette().window());
  const QRect target = PictureRect();
  if (target.isEmpty()) return;
  FPicture->Draw(painter, target);
}

void TPreviewArea::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceChildren();
}

// The message pane fills the area; the site labels keep their distance to the lower right
// corner (8 and 15 pixels at design size, the white one a pixel up and left of the other).
void TPreviewArea::PlaceChildren() {
  if (auto* pane = findChild<QWidget*>(QStringLiteral("pnlMessage"), Qt::FindDirectChildrenOnly))
    pane->setGeometry(rect());
  auto* site = findChild<QWidget*>(QStringLiteral("lblSite"), Qt::FindDirectChildrenOnly);
  auto* shade = findChild<QWidget*>(QStringLiteral("Label1"), Qt::FindDirectChildrenOnly);
  if (site != nullptr) {
    const QSize s = site->sizeHint().expandedTo(QSize(124, 13));
    site->setGeometry(width() - 8 - s.width(), height() - 15 - s.height(), s.width(), s.height());
    if (shade != nullptr) shade->setGeometry(site->geometry().translated(-1, -1));
  }
}
