#include "QtShell.h"

#include <QDesktopServices>
#include <QUrl>

void TQtShell::Open(const std::string& pathOrUrl) {
  const QString text = QString::fromUtf8(pathOrUrl.data(), static_cast<qsizetype>(pathOrUrl.size()));
  // A local path never has a scheme, and local paths are absolute; anything else is an
  // address as the web page or a message link gives it.
  const QUrl url = text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text) : QUrl(text);
  QDesktopServices::openUrl(url);  // outcome not examined
}
