#pragma once
// RichEdit1: the read-only view of the message body. The body comes from a stranger, so the
// view loads nothing the body refers to (no local files, nothing from the network) except
// pictures the body itself carries, and hands clicked web and mail links to the desktop.

#include <QTextBrowser>
#include <cstdint>
#include <map>

#include "MessageBodyView.h"

class TMessageBrowser : public QTextBrowser {
  Q_OBJECT
public:
  explicit TMessageBrowser(QWidget* parent = nullptr);

  // A body's pictures are bounded one by one and together, so that a small file naming
  // huge pictures costs a bounded amount of memory: each at most kMaxPixelsEach (a JPEG
  // above it is shown smaller), and once kMaxPixelsTotal are shown the rest are left out.
  static constexpr std::uint64_t kMaxPixelsEach = 16'000'000;
  static constexpr std::uint64_t kMaxPixelsTotal = 48'000'000;

  // Pictures the body carries, by the address its HTML uses for them; replaced with every
  // body shown.
  void SetPictures(std::map<QString, TBodyPicture> pictures);
  // Shows a body: its pictures, the base font size it starts from, and its HTML.
  void ShowBody(const TMessageBodyView& body);

  QVariant loadResource(int type, const QUrl& name) override;

private:
  void LinkClicked(const QUrl& url);
  std::map<QString, TBodyPicture> FPictures;
  std::uint64_t FPixelsShown = 0;
};
