#include "BodyHead.h"

#include <QString>
#include <array>

namespace {

bool NameIs(QStringView name, QLatin1StringView what) { return name.compare(what, Qt::CaseInsensitive) == 0; }

// Blocks after whose end the text engine starts a new line whatever follows.
bool EndsBlock(QStringView name) {
  static constexpr std::array kBlocks = {"p", "div", "li", "ul", "ol", "pre", "blockquote", "h1", "h2",
                                         "h3", "h4", "h5", "h6", "table", "dl", "dd", "dt", "center"};
  for (const char* block : kBlocks)
    if (NameIs(name, QLatin1StringView(block))) return true;
  return false;
}

}  // namespace

qsizetype BodyHeadLength(QStringView html, qsizetype atLeast, qsizetype slack) {
  const qsizetype n = html.size();
  if (n <= atLeast) return n;
  int tables = 0;
  qsizetype i = 0;
  while (i < n) {
    if (html[i] != u'<') {
      ++i;
      continue;
    }
    qsizetype j = i + 1;
    const bool closing = j < n && html[j] == u'/';
    if (closing) ++j;
    const qsizetype nameStart = j;
    while (j < n && (html[j].isLetterOrNumber())) ++j;
    const QStringView name = html.mid(nameStart, j - nameStart);
    // The tag ends at the first '>' outside a quoted attribute value.
    QChar quote;
    while (j < n && (quote != QChar() || html[j] != u'>')) {
      if (quote != QChar()) {
        if (html[j] == quote) quote = QChar();
      } else if (html[j] == u'"' || html[j] == u'\'') {
        quote = html[j];
      }
      ++j;
    }
    if (j >= n) return n;
    const qsizetype end = j + 1;
    if (!closing && (NameIs(name, QLatin1StringView("style")) || NameIs(name, QLatin1StringView("script")))) {
      // Their content is not markup; skip to their end tag.
      const QStringView endTag = NameIs(name, QLatin1StringView("style")) ? QStringView(u"</style") : QStringView(u"</script");
      const qsizetype close = html.indexOf(endTag, end, Qt::CaseInsensitive);
      i = close < 0 ? n : close;
      continue;
    }
    if (NameIs(name, QLatin1StringView("table"))) tables = closing ? std::max(0, tables - 1) : tables + 1;
    if (end >= atLeast) {
      const bool lineBreak = !closing && NameIs(name, QLatin1StringView("br"));
      if (tables == 0 && ((closing && EndsBlock(name)) || lineBreak)) return end;
      if (end >= atLeast + slack && closing) return end;
    }
    i = end;
  }
  return n;
}
