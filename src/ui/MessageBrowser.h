#pragma once
// RichEdit1: the read-only view of the message body. The body comes from a stranger, so the
// view loads nothing the body refers to (no local files, nothing from the network) except
// pictures the body itself carries, and hands clicked web and mail links to the desktop.
//
// A long body is shown in two steps: its first part at once, so the pane is never blank for
// long, then the rest. A body of paragraphs and runs is built whole by a worker thread and
// takes the first part's place (the scroll position kept); any other body is added to the
// shown document in slices from the event loop, so that each slice is laid out once and the
// window answers between slices. Showing another body drops a build or fill under way.

#include <QTextBrowser>
#include <QTextDocument>
#include <cstdint>
#include <map>
#include <memory>

#include "MessageBodyView.h"

class QThread;
class QTimer;
class TBodySlicer;

// The pictures of one body, decoded when the document asks for them. A body's pictures are
// bounded one by one and together, so that a small file naming huge pictures costs a
// bounded amount of memory: each at most kMaxPixelsEach (a JPEG above it is shown smaller),
// and once kMaxPixelsTotal are shown the rest are left out. One loader serves one document.
class TBodyPictureLoader {
public:
  static constexpr std::uint64_t kMaxPixelsEach = 16'000'000;
  static constexpr std::uint64_t kMaxPixelsTotal = 48'000'000;

  TBodyPictureLoader() = default;
  explicit TBodyPictureLoader(std::map<QString, TBodyPicture> pictures) : FPictures(std::move(pictures)) {}
  // The picture's image, or an invalid QVariant when the body carries none by that address.
  QVariant Load(const QUrl& name);

private:
  std::map<QString, TBodyPicture> FPictures;
  std::uint64_t FPixelsShown = 0;
};

// A body's document: its images come from its own pictures and nowhere else.
class TBodyDocument : public QTextDocument {
public:
  explicit TBodyDocument(TBodyPictureLoader pictures, QObject* parent = nullptr)
      : QTextDocument(parent), FPictures(std::move(pictures)) {
    // Read-only: nothing to undo, and zooming must not pile up undo steps.
    setUndoRedoEnabled(false);
  }
  // The font the body starts from, before any zoom; also the default font.
  void SetBaseFont(const QFont& font) {
    FBaseFont = font;
    setDefaultFont(font);
  }
  const QFont& BaseFont() const { return FBaseFont; }
  // The pictures of the whole body, when the document shown for its first part grows into it.
  void SetPictures(TBodyPictureLoader pictures) { FPictures = std::move(pictures); }

protected:
  QVariant loadResource(int type, const QUrl& name) override;

private:
  TBodyPictureLoader FPictures;
  QFont FBaseFont;
};

class TMessageBrowser : public QTextBrowser {
  Q_OBJECT
public:
  static constexpr std::uint64_t kMaxPixelsEach = TBodyPictureLoader::kMaxPixelsEach;
  static constexpr std::uint64_t kMaxPixelsTotal = TBodyPictureLoader::kMaxPixelsTotal;
  // Bodies of more HTML characters than this are shown in two steps; the first part is
  // about kHeadChars long.
  static constexpr qsizetype kHeadChars = 48 * 1024;
  static constexpr qsizetype kTwoStepChars = 4 * kHeadChars;
  // How much of a long body's source is converted for its first part.
  static constexpr std::size_t kFirstPartBytes = 128 * 1024;
  // How many characters of HTML each slice of a fill holds, at least: half what the pane
  // already holds, within these bounds. The engine goes over the whole document once for
  // each slice that holds a table, so slices grow with it; the bound keeps each one short
  // enough for the window to answer between them.
  static constexpr qsizetype kMinSliceChars = 64 * 1024;
  static constexpr qsizetype kMaxSliceChars = 512 * 1024;

  explicit TMessageBrowser(QWidget* parent = nullptr);
  ~TMessageBrowser() override;

  // Pictures the view's own document loads, by the address its HTML uses for them.
  void SetPictures(std::map<QString, TBodyPicture> pictures);
  // Shows a body: its pictures, the base font size it starts from, and its HTML. A body
  // that is only its first part (body.Partial) is shown at once and stays until the same
  // body is given whole, which then takes its place with the reader's place kept.
  void ShowBody(const TMessageBodyView& body);
  // Zoom of the body shown and of every body after it, in percent of the body's own sizes,
  // applied to the document in place. Bounded to kMinZoom..kMaxZoom.
  static constexpr int kMinZoom = 50;
  static constexpr int kMaxZoom = 400;
  int Zoom() const { return FZoom; }
  void SetZoom(int percent);
  // One step up or down the zoom levels; Actual size is 100 %.
  void ZoomIn();
  void ZoomOut();
  void ResetZoom() { SetZoom(100); }

  // True once the whole of the last body shown is in the view.
  bool BodyComplete() const { return FWorker == nullptr && !FShowsFirstPart && !FSlicer; }

  QVariant loadResource(int type, const QUrl& name) override;

signals:
  // The whole body is in the view (at once for a short body, after the build for a long one).
  void BodyShown();
  // The zoom changed (by a key, the wheel or SetZoom).
  void ZoomChanged(int percent);

protected:
  // Ctrl+wheel zooms (in steps of the levels), as the keys do.
  void wheelEvent(QWheelEvent* event) override;

private:
  struct TBuild;
  void LinkClicked(const QUrl& url);
  // Shows doc in place of the document shown; keepPlace: doc continues it (the whole body
  // after its first part), so the reader's place is kept.
  void Adopt(TBodyDocument* doc, bool keepPlace);
  void StartBuild(std::shared_ptr<TBuild> build);
  void BuildFinished();
  // Starts filling the shown document with the rest of html from slicer on.
  void StartFill(std::unique_ptr<TBodySlicer> slicer);
  void FillStep();
  void StopFill();
  TBodyPictureLoader FPictures;
  int FZoom = 100;
  int FWheelDelta = 0;  // wheel turns below one notch, kept for the next
  TBodyDocument* FOwnDocument = nullptr;  // the document shown, when it is one of ours
  bool FShowsFirstPart = false;           // it holds a Partial body whose whole is to come
  QThread* FWorker = nullptr;             // the build under way, if any
  std::shared_ptr<TBuild> FBuilding;      // what it builds
  std::shared_ptr<TBuild> FNext;          // the body asked for while it ran
  std::unique_ptr<TBodySlicer> FSlicer;   // the fill under way, if any
  QTimer* FFillTimer = nullptr;
  QString FHeadHtml;                      // the HTML of the first part shown, while it waits
  qsizetype FFilled = 0;                  // characters of HTML the fill has added
};
