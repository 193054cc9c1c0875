#include "MessageBrowser.h"

#include <QImage>
#include <QTextDocument>
#include <algorithm>

#include "MailtoLink.h"
#include "Picture.h"
#include "Shell.h"

TMessageBrowser::TMessageBrowser(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, &TMessageBrowser::LinkClicked);
}

void TMessageBrowser::SetPictures(std::map<QString, TBodyPicture> pictures) {
  FPictures = std::move(pictures);
  FPixelsShown = 0;
}

void TMessageBrowser::ShowBody(const TMessageBodyView& body) {
  SetPictures(body.Pictures);
  QFont base = font();
  if (body.BasePixelSize > 0) base.setPixelSize(body.BasePixelSize);
  document()->setDefaultFont(base);
  setHtml(body.Html);
}

QVariant TMessageBrowser::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::ImageResource) {
    const auto it = FPictures.find(name.toString());
    if (it != FPictures.end() && FPixelsShown < kMaxPixelsTotal) {
      // The preview's decoders, with the body's tighter bounds; an undecodable picture
      // shows nothing.
      TPicture picture;
      picture.SetMaxPixels(std::min(kMaxPixelsEach, kMaxPixelsTotal - FPixelsShown));
      if (picture.LoadFromMemory(it->second.Bytes, it->second.Extension)) {
        FPixelsShown += static_cast<std::uint64_t>(picture.Width()) * static_cast<std::uint64_t>(picture.Height());
        return picture.ToImage();
      }
    }
  }
  return {};
}

void TMessageBrowser::LinkClicked(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"))
    ShellOpenDocument(MailtoForShell(url).toString(QUrl::FullyEncoded).toStdString());
}
