#include "MailtoLink.h"

#include <QUrlQuery>

QUrl MailtoForShell(const QUrl& url) {
  if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) != 0) return url;
  QUrlQuery kept;
  for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyEncoded)) {
    const QString key = name.toLower();
    if (key == QLatin1String("subject") || key == QLatin1String("body")) kept.addQueryItem(name, value);
  }
  QUrl safe(url);
  // An empty query drops the "?" as well.
  safe.setQuery(kept.isEmpty() ? QString() : kept.toString(QUrl::FullyEncoded));
  safe.setFragment(QString());
  return safe;
}
