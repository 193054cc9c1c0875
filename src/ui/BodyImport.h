#pragma once
// Fills the message pane's document from a body's HTML. The text engine's own HTML import
// builds a node for every tag and every piece of text before it writes the first character,
// and that costs about 40 bytes and a few hundred nanoseconds per character of HTML. Most
// long bodies are paragraphs of styled runs, as the RTF converter writes them: for those the
// document is written straight through a cursor. Each distinct chain of open tags is imported
// once by the engine itself, on a one-letter document, and its character and block formats
// reused, so the look is the engine's own; whitespace is treated as its import does.
// Anything else (tables, pictures, lists, style sheets ...) takes the engine's import.

#include <QString>
#include <QStringView>
#include <QUrl>
#include <QVariant>
#include <functional>
#include <atomic>
#include <vector>

class QFont;
class QTextDocument;

// Replaces doc's content with html. stop (when given): the fast path throws
// TConversionStopped once it is set, leaving doc half written.
void SetBodyHtml(QTextDocument& doc, const QString& html, const std::atomic<bool>* stop = nullptr);

// The fast path only: false (doc left empty) when html holds more than paragraphs of runs.
bool ImportRunsHtml(QTextDocument& doc, QStringView html, const std::atomic<bool>* stop = nullptr);
// Whether html is all of a kind the fast path writes.
bool IsRunsHtml(QStringView html);

// A body the cursor path does not take (tables, lists, pictures, style sheets: every HTML
// body) is added to the shown document in slices of whole top-level blocks, each imported by
// the engine on a scratch document and appended. The document keeps its layout throughout,
// so each slice is laid out once; imported whole, a body with thousands of tables costs the
// engine's layout time that grows with the square of the tables, and the parse of the whole
// body at once about 40 bytes per character.
class TBodySlicer {
public:
  // html: the whole body; from: where the part already shown ends (a cut BodyHeadLength or
  // a previous slice made, between top-level blocks).
  TBodySlicer(QString html, qsizetype from);
  bool AtEnd() const { return FAt >= FHtml.size(); }
  // Where the last slice's blocks end in the body (the next slice starts after the white
  // space that follows).
  qsizetype CutEnd() const { return FCutEnd; }
  // Whether only containers a slice may re-open are open where the next slice starts.
  bool AtCleanCut() const;
  // The HTML of the next slice of about atLeast characters, ready for the engine: the body's
  // style sheets before it, the containers open at its start, then its own blocks.
  QString Next(qsizetype atLeast);

private:
  struct TOpen {
    qsizetype Start, End;  // the start tag in FHtml
    QStringView Name;
  };
  // Reads the tag at FHtml[at] == '<' and updates what is open; returns one past its end.
  qsizetype Step(qsizetype at, QString* out);
  QString FHtml;
  QString FStyleSheets;
  std::vector<TOpen> FOpen;
  qsizetype FAt = 0;
  qsizetype FCutEnd = 0;
};

// Appends one slice's HTML (TBodySlicer::Next) to doc as the engine would have imported it
// in place. resources answers the pictures the slice names; zoom scales the slice's sizes as
// the shown document's are (ZoomDocument), base being the font the body starts from.
void AppendBodySlice(QTextDocument& doc, const QString& sliceHtml, const QFont& base, int zoom,
                     const std::function<QVariant(const QUrl&)>& resources);
