#include "MessageBrowser.h"

#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "BodyHead.h"
#include "BodyImport.h"
#include "ConversionStop.h"
#include "DocumentZoom.h"
#include "MailtoLink.h"
#include "Picture.h"
#include "Shell.h"

QVariant TBodyPictureLoader::Load(const QUrl& name) {
  const auto it = FPictures.find(name.toString());
  if (it == FPictures.end() || FPixelsShown >= kMaxPixelsTotal) return {};
  // The preview's decoders, with the body's tighter bounds; an undecodable picture shows
  // nothing.
  TPicture picture;
  picture.SetMaxPixels(std::min(kMaxPixelsEach, kMaxPixelsTotal - FPixelsShown));
  if (!picture.LoadFromMemory(it->second.Bytes, it->second.Extension)) return {};
  FPixelsShown += static_cast<std::uint64_t>(picture.Width()) * static_cast<std::uint64_t>(picture.Height());
  return picture.ToImage();
}

QVariant TBodyDocument::loadResource(int type, const QUrl& name) {
  return type == QTextDocument::ImageResource ? FPictures.Load(name) : QVariant();
}

// One body being built by the worker: what it reads, and the document it leaves.
struct TMessageBrowser::TBuild {
  QString Html;
  std::map<QString, TBodyPicture> Pictures;
  QFont Font;
  TBodyDocument* Result = nullptr;  // set by the worker, taken by the view once it finished
  // Set once another body was asked for or the view goes: the worker then stops building.
  TStopFlag Unwanted{false};
};

TMessageBrowser::TMessageBrowser(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, &TMessageBrowser::LinkClicked);
}

TMessageBrowser::~TMessageBrowser() {
  // The worker reads the build it was given; it must end before the view does, and is told
  // to stop so that it ends at once.
  if (FWorker != nullptr) {
    if (FBuilding) FBuilding->Unwanted = true;
    FWorker->wait();
    delete FWorker;
    if (FBuilding) delete FBuilding->Result;
  }
}

void TMessageBrowser::SetPictures(std::map<QString, TBodyPicture> pictures) {
  FPictures = TBodyPictureLoader(std::move(pictures));
}

void TMessageBrowser::ShowBody(const TMessageBodyView& body) {
  QFont font = this->font();
  if (body.BasePixelSize > 0) font.setPixelSize(body.BasePixelSize);
  SetPictures(body.Pictures);
  // Bodies asked for earlier and not yet in the view are not wanted any more.
  FNext.reset();
  if (FBuilding) FBuilding->Unwanted = true;
  StopFill();
  // The whole of the body whose first part is shown continues it: no new first part.
  const bool continues = FShowsFirstPart && !body.Partial;
  FShowsFirstPart = body.Partial;
  QString shownHead;
  std::swap(shownHead, FHeadHtml);

  const bool twoSteps = body.Html.size() > kTwoStepChars;
  const auto runsOnly = [&body] { return body.RunsOnly ? *body.RunsOnly : IsRunsHtml(body.Html); };
  if (twoSteps && !body.Partial && !runsOnly()) {
    // The shown first part grows into the whole body when the whole starts with it.
    if (continues && FOwnDocument != nullptr && !shownHead.isEmpty() && body.Html.startsWith(shownHead)) {
      auto slicer = std::make_unique<TBodySlicer>(body.Html, shownHead.size());
      if (slicer->AtCleanCut()) {
        FOwnDocument->SetPictures(TBodyPictureLoader(body.Pictures));
        StartFill(std::move(slicer));
        return;
      }
    }
    auto slicer = std::make_unique<TBodySlicer>(body.Html, 0);
    auto* doc = new TBodyDocument(TBodyPictureLoader(body.Pictures), this);
    doc->SetBaseFont(font);
    Adopt(doc, continues);
    AppendBodySlice(*doc, slicer->Next(kHeadChars), font, FZoom,
                    [doc](const QUrl& url) { return doc->resource(QTextDocument::ImageResource, url); });
    StartFill(std::move(slicer));
    return;
  }
  if (body.Partial) {
    // Cut where the whole body can go on from in slices, should the whole start the same.
    TBodySlicer cut(body.Html, 0);
    cut.Next(kHeadChars);
    // A long first part without such a cut (one long table) is cut as any long body is.
    FHeadHtml = body.Html.left(!cut.AtEnd() ? cut.CutEnd()
                               : twoSteps   ? BodyHeadLength(body.Html, kHeadChars, 2 * kHeadChars)
                                            : body.Html.size());
    auto* doc = new TBodyDocument(TBodyPictureLoader(body.Pictures), this);
    doc->SetBaseFont(font);
    SetBodyHtml(*doc, FHeadHtml);
    Adopt(doc, false);
    return;
  }
  if (!continues || !twoSteps) {
    const qsizetype head = twoSteps ? BodyHeadLength(body.Html, kHeadChars, 2 * kHeadChars) : body.Html.size();
    auto* doc = new TBodyDocument(TBodyPictureLoader(body.Pictures), this);
    doc->SetBaseFont(font);
    SetBodyHtml(*doc, head < body.Html.size() ? body.Html.left(head) : body.Html);
    Adopt(doc, continues);
    if (head >= body.Html.size()) {
      emit BodyShown();
      return;
    }
  }
  auto build = std::make_shared<TBuild>();
  build->Html = body.Html;
  build->Pictures = body.Pictures;
  build->Font = font;
  if (FWorker != nullptr) FNext = std::move(build);  // starts when the current build ends
  else StartBuild(std::move(build));
}

void TMessageBrowser::StartFill(std::unique_ptr<TBodySlicer> slicer) {
  FSlicer = std::move(slicer);
  FFilled = FOwnDocument != nullptr ? FOwnDocument->characterCount() : 0;
  if (FSlicer->AtEnd()) {
    StopFill();
    emit BodyShown();
    return;
  }
  if (FFillTimer == nullptr) {
    FFillTimer = new QTimer(this);
    FFillTimer->setInterval(0);
    connect(FFillTimer, &QTimer::timeout, this, &TMessageBrowser::FillStep);
  }
  FFillTimer->start();
}

void TMessageBrowser::FillStep() {
  if (!FSlicer || FOwnDocument == nullptr) return StopFill();
  TBodyDocument* doc = FOwnDocument;
  const QString slice = FSlicer->Next(std::clamp(FFilled / 2, kMinSliceChars, kMaxSliceChars));
  FFilled += slice.size();
  AppendBodySlice(*doc, slice, doc->BaseFont(), FZoom,
                  [doc](const QUrl& url) { return doc->resource(QTextDocument::ImageResource, url); });
  if (FSlicer->AtEnd()) {
    StopFill();
    emit BodyShown();
  }
}

void TMessageBrowser::StopFill() {
  FSlicer.reset();
  if (FFillTimer != nullptr) FFillTimer->stop();
}

void TMessageBrowser::StartBuild(std::shared_ptr<TBuild> build) {
  FBuilding = build;
  QThread* gui = thread();
  FWorker = QThread::create([build, gui] {
    auto* doc = new TBodyDocument(TBodyPictureLoader(std::move(build->Pictures)));
    doc->SetBaseFont(build->Font);
    try {
      SetBodyHtml(*doc, build->Html, &build->Unwanted);
    } catch (...) {
      // Stopped, or out of memory: no document; the first part stays shown.
      delete doc;
      return;
    }
    build->Html.clear();
    doc->moveToThread(gui);
    build->Result = doc;
  });
  connect(FWorker, &QThread::finished, this, &TMessageBrowser::BuildFinished, Qt::QueuedConnection);
  FWorker->start(QThread::LowPriority);
}

void TMessageBrowser::BuildFinished() {
  FWorker->wait();
  FWorker->deleteLater();
  FWorker = nullptr;
  std::shared_ptr<TBuild> done = std::move(FBuilding);
  if (FNext) StartBuild(std::move(FNext));
  if (done->Unwanted || done->Result == nullptr) {
    delete done->Result;
    return;
  }
  done->Result->setParent(this);
  Adopt(done->Result, true);
  emit BodyShown();
}

void TMessageBrowser::Adopt(TBodyDocument* doc, bool keepPlace) {
  const int scroll = verticalScrollBar()->value();
  TBodyDocument* old = FOwnDocument;
  if (FZoom != 100) ZoomDocument(*doc, doc->BaseFont(), FZoom);
  setDocument(doc);
  FOwnDocument = doc;
  delete old;
  if (keepPlace) verticalScrollBar()->setValue(scroll);
}

QVariant TMessageBrowser::loadResource(int type, const QUrl& name) {
  return type == QTextDocument::ImageResource ? FPictures.Load(name) : QVariant();
}

void TMessageBrowser::LinkClicked(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"))
    ShellOpenDocument(MailtoForShell(url).toString(QUrl::FullyEncoded).toStdString());
}

namespace {
// The zoom levels the keys and the wheel step through.
constexpr int kZoomLevels[] = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400};
}  // namespace

void TMessageBrowser::SetZoom(int percent) {
  percent = std::clamp(percent, kMinZoom, kMaxZoom);
  if (percent == FZoom) return;
  FZoom = percent;
  if (FOwnDocument != nullptr) {
    const int scroll = verticalScrollBar()->maximum() > 0
                           ? verticalScrollBar()->value() * 1000 / verticalScrollBar()->maximum()
                           : 0;
    ZoomDocument(*FOwnDocument, FOwnDocument->BaseFont(), FZoom);
    // The reader stays at the same place in the body.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum() * scroll / 1000);
  }
  emit ZoomChanged(FZoom);
}

void TMessageBrowser::ZoomIn() {
  for (const int level : kZoomLevels)
    if (level > FZoom) return SetZoom(level);
}

void TMessageBrowser::ZoomOut() {
  for (auto it = std::rbegin(kZoomLevels); it != std::rend(kZoomLevels); ++it)
    if (*it < FZoom) return SetZoom(*it);
}

void TMessageBrowser::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    QTextBrowser::wheelEvent(event);
    return;
  }
  FWheelDelta += event->angleDelta().y();
  // One notch (120) per level; a touchpad's small turns add up.
  while (FWheelDelta >= 120) {
    FWheelDelta -= 120;
    ZoomIn();
  }
  while (FWheelDelta <= -120) {
    FWheelDelta += 120;
    ZoomOut();
  }
  event->accept();
}
