#pragma once
// RichEdit1: the read-only view of the message body. The body comes from a stranger, so the
// view loads nothing the body refers to (no local files, nothing from the network) except
// pictures the body itself carries, and hands clicked web and mail links to the desktop.

#include <QTextBrowser>
#include <map>

#include "MessageBodyView.h"

class TMessageBrowser : public QTextBrowser {
  Q_OBJECT
public:
  explicit TMessageBrowser(QWidget* parent = nullptr);

  // Pictures the body carries, by the address its HTML uses for them; replaced with every
  // body shown.
  void SetPictures(std::map<QString, TBodyPicture> pictures);

  QVariant loadResource(int type, const QUrl& name) override;

private:
  void LinkClicked(const QUrl& url);
  std::map<QString, TBodyPicture> FPictures;
};
