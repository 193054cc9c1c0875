#pragma once
// The area right of the splitter, where the main window paints the picture of the selected
// attachment. The message pane and the hint label are its children and cover it when shown;
// the site labels sit at its lower right, below the picture.

#include <QRect>
#include <QWidget>

class TPicture;

// Where a picture of pictureSize is drawn in area: 8 pixels inside every edge, reduced to
// fit (never enlarged), sizes rounded half to even, centred with truncating division.
QRect PreviewDrawRect(const QRect& area, const QSize& pictureSize);

class TPreviewArea : public QWidget {
  Q_OBJECT
public:
  explicit TPreviewArea(QWidget* parent = nullptr);

  // The picture painted, or none; the holder belongs to the window.
  void SetPicture(const TPicture* picture);
  const TPicture* Picture() const { return FPicture; }
  // The preview rectangle in this widget's coordinates: its own width, from its top down
  // to the site labels (and never below its own bottom, where the web pane lies).
  QRect PreviewRect() const;
  // The rectangle the current picture is drawn into (empty without a picture).
  QRect PictureRect() const;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void PlaceChildren();
  const TPicture* FPicture = nullptr;
};
