#include "BodyImport.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextFrame>
#include <algorithm>
#include <memory>
#include <vector>

#include "ConversionStop.h"
#include "DocumentZoom.h"

namespace {

bool Is(QStringView name, const char16_t* what) { return name.compare(QStringView(what), Qt::CaseInsensitive) == 0; }

bool IsBlock(QStringView name) { return Is(name, u"p") || Is(name, u"div"); }
bool IsInline(QStringView name) { return Is(name, u"span") || Is(name, u"a"); }

// A tag at html[at] == '<': its end (one past '>'), its name, whether it closes.
struct TTag {
  qsizetype End = -1;
  QStringView Name;
  bool Closing = false;
};

// Only the plain form the converter and the sanitiser write is read: name="value" pairs,
// values free of '<', '>' and control characters. Anything else is the engine's to repair.
TTag ReadTag(QStringView html, qsizetype at) {
  TTag tag;
  const qsizetype n = html.size();
  qsizetype j = at + 1;
  if (j < n && html[j] == u'/') {
    tag.Closing = true;
    ++j;
  }
  const qsizetype nameStart = j;
  while (j < n && html[j].isLetterOrNumber() && html[j].unicode() < 128) ++j;
  tag.Name = html.mid(nameStart, j - nameStart);
  while (j < n) {
    while (j < n && html[j] == u' ') ++j;
    if (j >= n) return {};
    if (html[j] == u'>') {
      tag.End = j + 1;
      return tag;
    }
    // An attribute: after a space, and never in an end tag.
    if (tag.Closing || html[j - 1] != u' ') return {};
    const qsizetype attrStart = j;
    while (j < n && ((html[j] >= u'a' && html[j] <= u'z') || (html[j] >= u'A' && html[j] <= u'Z') || html[j] == u'-')) ++j;
    if (j == attrStart || j + 1 >= n || html[j] != u'=' || html[j + 1] != u'"') return {};
    j += 2;
    while (j < n && html[j] != u'"') {
      if (html[j] == u'<' || html[j] == u'>' || html[j].unicode() < 0x20) return {};
      ++j;
    }
    if (j >= n) return {};
    ++j;  // past the closing quote; a space or '>' must follow
    if (j < n && html[j] != u' ' && html[j] != u'>') return {};
  }
  return {};
}

// Whether a block starts after the end tags and white space from html[at] on: 1 yes, 0 no,
// -1 too many end tags to look past (the body is left to the engine).
int BlockFollows(QStringView html, qsizetype at) {
  const qsizetype n = html.size();
  for (int tags = 0; tags < 64; ++tags) {
    while (at < n && html[at].isSpace()) ++at;
    if (at >= n) return 0;
    if (html[at] != u'<') return 0;
    const TTag tag = ReadTag(html, at);
    if (tag.End < 0) return -1;
    if (!tag.Closing) return IsBlock(tag.Name) ? 1 : 0;
    at = tag.End;
  }
  return -1;
}

// True when html holds only what the cursor path writes: paragraphs (<p>, in <div>s that
// hold no text of their own) of text, spans, links and line breaks, nested as opened.
bool OnlyRuns(QStringView html) {
  std::vector<QStringView> open;
  bool inParagraph = false;
  bool filled = false;  // the open paragraph holds a character or a line break
  std::size_t paragraphs = 0;          // paragraphs started so far
  std::vector<std::size_t> divStarts;  // paragraphs started before each open <div>
  const qsizetype n = html.size();
  qsizetype i = 0;
  while (i < n) {
    if (html[i] != u'<') {
      const char16_t c = html[i].unicode();
      const bool asciiSpace = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
      if (!inParagraph && !asciiSpace) return false;  // a non-breaking space is text
      if (!html[i].isSpace()) filled = true;
      // Control characters and nulls the engine treats in ways of its own.
      if (html[i].unicode() < 0x20 && html[i] != u'\t' && html[i] != u'\n' && html[i] != u'\r') return false;
      if (html[i] == u'>') return false;
      ++i;
      continue;
    }
    const TTag tag = ReadTag(html, i);
    if (tag.End < 0 || tag.Name.isEmpty()) return false;
    if (tag.Closing) {
      // A stray or crossed end tag is for the engine to repair.
      if (open.empty() || open.back().compare(tag.Name, Qt::CaseInsensitive) != 0) return false;
      if (Is(open.back(), u"div")) {
        // A <div> holding no paragraph is a block of its own to the engine.
        if (divStarts.empty() || divStarts.back() == paragraphs) return false;
        divStarts.pop_back();
      }
      if (Is(open.back(), u"p")) {
        // The engine treats a paragraph of nothing (or only spaces) in ways of its own; the
        // converter writes a blank line as a non-breaking space.
        if (!filled) return false;
        inParagraph = false;
      }
      open.pop_back();
    } else if (Is(tag.Name, u"br")) {
      if (!inParagraph) return false;
      filled = true;
    } else if (IsBlock(tag.Name)) {
      // No block inside a paragraph (the engine ends the paragraph there), none inside a run.
      if (inParagraph) return false;
      if (!open.empty() && IsInline(open.back())) return false;
      if (Is(tag.Name, u"p")) {
        inParagraph = true;
        filled = false;
        ++paragraphs;
      } else {
        divStarts.push_back(paragraphs);
      }
      // A <div>'s background the engine paints across its blocks, not on their text.
      if (Is(tag.Name, u"div") && html.mid(i, tag.End - i).contains(u"background", Qt::CaseInsensitive)) return false;
      open.push_back(tag.Name);
    } else if (IsInline(tag.Name)) {
      if (!inParagraph) return false;
      open.push_back(tag.Name);
    } else {
      return false;
    }
    i = tag.End;
  }
  // A long body's first part ends inside its page's <div>, which the engine closes.
  for (QStringView name : open)
    if (!Is(name, u"div")) return false;
  for (std::size_t start : divStarts)
    if (start == paragraphs) return false;
  return true;
}

// What the engine's import makes of text inside one chain of open tags.
struct TFormats {
  QTextCharFormat Char;
  QTextBlockFormat Block;
  QTextCharFormat BlockChar;
  bool Pre = false;  // the chain keeps white space as written (white-space:pre)
};

class TRunsImporter {
public:
  explicit TRunsImporter(QTextDocument& doc) : FDoc(doc), FCursor(&doc) { FScratch.setDefaultFont(doc.defaultFont()); }

  bool Run(QStringView html, const TStopFlag* stop);

private:
  const TFormats* Formats();
  void Flush();
  void StartBlock();
  bool AppendText(QStringView text, const TFormats* formats);
  void Append(QStringView text, const TFormats* formats);

  QTextDocument& FDoc;
  QTextCursor FCursor;
  QTextDocument FScratch;
  QHash<QString, std::shared_ptr<TFormats>> FCache;
  std::vector<QStringView> FOpen;  // the open tags, whole, outermost first
  const TFormats* FCurrent = nullptr;
  const TFormats FPlain;  // no format at all
  QString FPending;  // text in FCurrent's format not yet written
  const TFormats* FPendingFormats = nullptr;
  bool FFirstBlock = true;
  bool FEndsInSpace = false;  // the last character written is white space kept as written
  enum class TSpace { Preserve, Remove } FSpace = TSpace::Remove;
};

const TFormats* TRunsImporter::Formats() {
  if (FCurrent != nullptr) return FCurrent;
  QString chain;
  for (QStringView tag : FOpen) chain += tag;
  auto& slot = FCache[chain];
  if (!slot) {
    slot = std::make_shared<TFormats>();
    // Two spaces tell whether the chain keeps white space as written.
    FScratch.setHtml(chain + QStringLiteral("x  x"));
    const QTextBlock block = FScratch.lastBlock();
    slot->Block = block.blockFormat();
    slot->BlockChar = block.charFormat();
    slot->Char = block.begin().fragment().charFormat();
    slot->Pre = block.text().endsWith(QStringLiteral("x  x"));
  }
  FCurrent = slot.get();
  return FCurrent;
}

void TRunsImporter::Flush() {
  if (FPending.isEmpty()) return;
  FCursor.insertText(FPending, FPendingFormats->Char);
  FPending.clear();
}

void TRunsImporter::StartBlock() {
  Flush();
  const TFormats* f = Formats();
  if (FFirstBlock) {
    FCursor.setBlockFormat(f->Block);
    FCursor.setBlockCharFormat(f->BlockChar);
    FFirstBlock = false;
  } else {
    FCursor.insertBlock(f->Block, f->BlockChar);
  }
  FSpace = TSpace::Remove;
}

void TRunsImporter::Append(QStringView text, const TFormats* f) {
  if (f != FPendingFormats) {
    Flush();
    FPendingFormats = f;
  }
  FPending += text;
  if (!text.isEmpty()) FEndsInSpace = false;
}

// As the engine's import: outside white-space:pre a run of spaces (across tags too) is one
// space, and none at a block's start; a non-breaking space is text.
bool TRunsImporter::AppendText(QStringView text, const TFormats* formats) {
  const bool pre = formats->Pre;
  if (pre) FSpace = TSpace::Preserve;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    // Words are written whole: only spaces and references need a look of their own.
    qsizetype word = i;
    while (word < n && text[word] != u'&' && !text[word].isSpace()) ++word;
    if (word > i) {
      Append(text.mid(i, word - i), formats);
      FSpace = TSpace::Preserve;
      i = word - 1;
      continue;
    }
    QChar c = text[i];
    if (c == u'&') {
      const qsizetype semi = text.indexOf(u';', i);
      if (semi < 0 || semi - i > 10) return false;
      const QStringView name = text.mid(i + 1, semi - i - 1);
      if (name == u"amp") c = u'&';
      else if (name == u"lt") c = u'<';
      else if (name == u"gt") c = u'>';
      else if (name == u"quot") c = u'"';
      else if (name == u"nbsp") c = QChar::Nbsp;
      else return false;  // what else the engine decodes is its own affair
      i = semi;
    }
    if (c.isSpace() && c != QChar::Nbsp) {
      if (pre) {
        if (c == u'\r' || c == u'\n') return false;
      } else {
        if (FSpace == TSpace::Remove) continue;
        FSpace = TSpace::Remove;
        c = u' ';
      }
    } else {
      FSpace = TSpace::Preserve;
    }
    Append(QStringView(&c, 1), formats);
    if (pre && c.isSpace()) FEndsInSpace = true;
  }
  return true;
}

bool TRunsImporter::Run(QStringView html, const TStopFlag* stop) {
  FDoc.clear();
  const bool undo = FDoc.isUndoRedoEnabled();
  FDoc.setUndoRedoEnabled(false);
  FCursor = QTextCursor(&FDoc);
  FCursor.beginEditBlock();
  bool inParagraph = false;
  bool ok = true;
  const qsizetype n = html.size();
  qsizetype i = 0;
  unsigned steps = 0;
  while (ok && i < n) {
    StopPoint(stop, steps);
    if (html[i] != u'<') {
      qsizetype j = html.indexOf(u'<', i);
      if (j < 0) j = n;
      // Between blocks the text is white space only. The engine drops a single character of
      // it before a block's start, and otherwise (a longer run, or before an end tag, or the
      // end) adds a space to the block before.
      const bool beforeBlock = j + 1 < n && html[j + 1] != u'/' && IsBlock(ReadTag(html, j).Name);
      // That space has the enclosing block's format before a block, none before an end.
      if (inParagraph) ok = AppendText(html.mid(i, j - i), Formats());
      else if (!FFirstBlock && !(beforeBlock && j - i == 1)) {
        // Before end tags, the space stays only when no block starts after them.
        const int later = beforeBlock ? 0 : BlockFollows(html, j);
        if (later < 0) ok = false;
        else if (later == 0) ok = AppendText(html.mid(i, j - i), beforeBlock ? Formats() : &FPlain);
      }
      i = j;
      continue;
    }
    const TTag tag = ReadTag(html, i);
    if (tag.Closing) {
      if (Is(tag.Name, u"p")) {
        inParagraph = false;
        // What the engine makes of the white space after a paragraph that ends in a tab kept
        // as written depends on what follows much later: such a body is left to it.
        if (FEndsInSpace) ok = false;
      }
      FOpen.pop_back();
      FCurrent = nullptr;
    } else if (Is(tag.Name, u"br")) {
      // The engine keeps a line break as a character of its own, without the space after it.
      const QChar separator(QChar::LineSeparator);
      Append(QStringView(&separator, 1), Formats());
      FSpace = TSpace::Remove;
    } else {
      FOpen.push_back(html.mid(i, tag.End - i));
      FCurrent = nullptr;
      if (Is(tag.Name, u"p")) {
        inParagraph = true;
        StartBlock();
      }
    }
    i = tag.End;
  }
  if (ok) Flush();
  FCursor.endEditBlock();
  FDoc.setUndoRedoEnabled(undo);
  if (!ok) FDoc.clear();
  return ok;
}

}  // namespace

bool IsRunsHtml(QStringView html) { return OnlyRuns(html); }

bool ImportRunsHtml(QTextDocument& doc, QStringView html, const TStopFlag* stop) {
  if (!OnlyRuns(html)) return false;
  return TRunsImporter(doc).Run(html, stop);
}

void SetBodyHtml(QTextDocument& doc, const QString& html, const TStopFlag* stop) {
  if (!ImportRunsHtml(doc, html, stop)) doc.setHtml(html);
}

namespace {

bool OneOf(QStringView name, std::initializer_list<const char16_t*> names) {
  for (const char16_t* n : names)
    if (Is(name, n)) return true;
  return false;
}

// Elements after whose end, or before whose start, the engine starts a new block.
bool IsTopBlock(QStringView name) {
  return OneOf(name, {u"p", u"div", u"table", u"ul", u"ol", u"dl", u"pre", u"blockquote", u"center", u"h1", u"h2",
                      u"h3", u"h4", u"h5", u"h6"});
}

// Elements that may stay open across a cut: re-opened at the next slice's start, they give
// its blocks what they gave them in the whole body.
// (A quote's blocks are not among them: the engine indents the quote as one.)
bool IsContainer(QStringView name) { return OneOf(name, {u"div", u"font", u"center"}); }

bool IsVoid(QStringView name) {
  return OneOf(name, {u"br", u"hr", u"img", u"col", u"wbr", u"body", u"meta", u"link", u"input", u"base", u"area",
                      u"param"});
}

// The name of the tag at html[at] == '<', and whether it closes.
QStringView TagName(QStringView html, qsizetype at, bool* closing) {
  qsizetype j = at + 1;
  *closing = j < html.size() && html[j] == u'/';
  if (*closing) ++j;
  const qsizetype start = j;
  while (j < html.size() && html[j].isLetterOrNumber() && html[j].unicode() < 128) ++j;
  return html.mid(start, j - start);
}

// One past the '>' that ends the tag at html[at], outside quoted values; html.size() when none.
qsizetype TagEnd(QStringView html, qsizetype at) {
  QChar quote;
  for (qsizetype j = at + 1; j < html.size(); ++j) {
    if (quote != QChar()) {
      if (html[j] == quote) quote = QChar();
    } else if (html[j] == u'"' || html[j] == u'\'') {
      quote = html[j];
    } else if (html[j] == u'>') {
      return j + 1;
    }
  }
  return html.size();
}

}  // namespace

TBodySlicer::TBodySlicer(QString html, qsizetype from) : FHtml(std::move(html)) {
  from = std::clamp<qsizetype>(from, 0, FHtml.size());
  for (qsizetype i = FHtml.indexOf(u'<'); i >= 0 && i < from; i = FHtml.indexOf(u'<', i)) i = Step(i, nullptr);
  FAt = FCutEnd = from;
}

qsizetype TBodySlicer::Step(qsizetype at, QString* out) {
  const QStringView html(FHtml);
  bool closing = false;
  const QStringView name = TagName(html, at, &closing);
  const qsizetype end = TagEnd(html, at);
  if (!closing && Is(name, u"style")) {
    // The engine applies a style sheet to what follows it, so every later slice starts with
    // it too.
    const qsizetype close = html.indexOf(u"</style>", end, Qt::CaseInsensitive);
    const qsizetype after = close < 0 ? html.size() : close + 8;
    if (out != nullptr) *out += html.mid(at, after - at);
    FStyleSheets += html.mid(at, after - at);
    return after;
  }
  if (out != nullptr) *out += html.mid(at, end - at);
  if (name.isEmpty()) return end;
  if (!closing) {
    const bool selfClosing = end - at >= 3 && html[end - 2] == u'/';
    if (!IsVoid(name) && !selfClosing) FOpen.push_back({at, end, name});
    return end;
  }
  // An end tag closes the innermost element of its name and what is open inside it; one
  // that closes nothing is left alone, as the engine leaves it.
  for (std::size_t k = FOpen.size(); k-- > 0;) {
    if (FOpen[k].Name.compare(name, Qt::CaseInsensitive) == 0) {
      FOpen.resize(k);
      break;
    }
  }
  return end;
}

bool TBodySlicer::AtCleanCut() const {
  return std::all_of(FOpen.begin(), FOpen.end(), [](const TOpen& o) { return IsContainer(o.Name); });
}

QString TBodySlicer::Next(qsizetype atLeast) {
  const QStringView html(FHtml);
  QString out = FStyleSheets;
  for (const TOpen& open : FOpen) out += html.mid(open.Start, open.End - open.Start);
  // What each slice repeats is at most what it adds, so that a body of huge style sheets or
  // deep containers still costs time linear in its size.
  atLeast = std::max(atLeast, out.size());
  const qsizetype n = html.size();
  const qsizetype start = FAt;
  qsizetype i = FAt;
  while (i < n) {
    if (html[i] != u'<') {
      qsizetype j = html.indexOf(u'<', i);
      if (j < 0) j = n;
      out += html.mid(i, j - i);
      i = j;
      continue;
    }
    bool closing = false;
    const QStringView name = TagName(html, i, &closing);
    const qsizetype end = Step(i, &out);
    if (closing && end - start >= atLeast && IsTopBlock(name) && AtCleanCut()) {
      // A cut where a block starts after at most one white-space character, which the
      // engine drops there.
      qsizetype k = end;
      if (k < n && html[k].isSpace()) ++k;
      bool nextClosing = false;
      if (k + 1 < n && html[k] == u'<' && IsTopBlock(TagName(html, k, &nextClosing)) && !nextClosing) {
        FCutEnd = end;
        FAt = k;
        return out;
      }
    }
    i = end;
  }
  FAt = FCutEnd = n;
  return out;
}

void AppendBodySlice(QTextDocument& doc, const QString& sliceHtml, const QFont& base, int zoom,
                     const std::function<QVariant(const QUrl&)>& resources) {
  QTextDocument scratch;
  scratch.setUndoRedoEnabled(false);
  scratch.setDefaultFont(base);
  if (resources) scratch.setResourceProvider(resources);
  scratch.setHtml(sliceHtml);
  if (zoom != 100) ZoomDocument(scratch, base, zoom);
  const bool empty = doc.isEmpty();
  if (empty) doc.rootFrame()->setFrameFormat(scratch.rootFrame()->frameFormat());
  QTextCursor cursor(&doc);
  cursor.movePosition(QTextCursor::End);
  // The slice's first block is the document's first when the document is new, else a block
  // of its own (after a table too: the engine keeps the empty block that ends a table's
  // frame); a slice that starts with a table is placed after the last block as it stands.
  const QTextBlock first = scratch.begin();
  // (A list's items, a table's cells and pictures are objects of their document: the copy
  // makes them anew in doc.)
  const bool startsWithFrame =
      first.length() <= 1 && first.next().isValid() && QTextCursor(first.next()).currentFrame() != scratch.rootFrame();
  // A list's first item the copy writes as a block of its own, except into a list item,
  // where it would join the item: there the block made for it is taken out again.
  const bool startsWithList = first.textList() != nullptr;
  const int joinAt = startsWithList && !empty && doc.lastBlock().textList() != nullptr ? cursor.position() : -1;
  if (empty) {
    cursor.setBlockFormat(first.blockFormat());
    cursor.setBlockCharFormat(first.charFormat());
  } else if (!startsWithFrame && (!startsWithList || joinAt >= 0)) {
    cursor.insertBlock(first.blockFormat(), first.charFormat());
  }
  const int before = doc.lastBlock().blockNumber();
  cursor.insertFragment(QTextDocumentFragment(&scratch));
  if (joinAt >= 0) {
    QTextCursor join(&doc);
    join.setPosition(joinAt);
    join.deleteChar();
  }
  if (startsWithList) {
    // The block the copy made for the item says "no indent", which the engine leaves unsaid.
    const QTextBlock item = doc.findBlockByNumber(empty ? 0 : joinAt >= 0 ? before : before + 1);
    if (item.isValid() && item.textList() != nullptr && item.blockFormat().hasProperty(QTextFormat::BlockIndent) &&
        item.blockFormat().indent() == 0) {
      QTextBlockFormat format = item.blockFormat();
      format.clearProperty(QTextFormat::BlockIndent);
      QTextCursor(item).setBlockFormat(format);
    }
  }
}
