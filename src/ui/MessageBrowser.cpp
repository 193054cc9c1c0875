#include "MessageBrowser.h"

#include <QImage>
#include <QTextDocument>

#include "Picture.h"
#include "Shell.h"

TMessageBrowser::TMessageBrowser(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, &TMessageBrowser::LinkClicked);
}

void TMessageBrowser::SetPictures(std::map<QString, TBodyPicture> pictures) {
  FPictures = std::move(pictures);
}

QVariant TMessageBrowser::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::ImageResource) {
    const auto it = FPictures.find(name.toString());
    if (it != FPictures.end()) {
      // The preview's decoders and bounds; an undecodable picture shows nothing.
      TPicture picture;
      if (picture.LoadFromMemory(it->second.Bytes, it->second.Extension)) return picture.ToImage();
    }
  }
  return {};
}

void TMessageBrowser::LinkClicked(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"))
    ShellOpenDocument(url.toString().toStdString());
}
