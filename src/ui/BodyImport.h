#pragma once
// Fills the message pane's document from a body's HTML. The text engine's own HTML import
// builds a node for every tag and every piece of text before it writes the first character,
// and that costs about 40 bytes and a few hundred nanoseconds per character of HTML. Most
// long bodies are paragraphs of styled runs, as the RTF converter writes them: for those the
// document is written straight through a cursor. Each distinct chain of open tags is imported
// once by the engine itself, on a one-letter document, and its character and block formats
// reused, so the look is the engine's own; whitespace is treated as its import does.
// Anything else (tables, pictures, lists, style sheets ...) takes the engine's import.

#include <QStringView>

class QTextDocument;

// Replaces doc's content with html.
void SetBodyHtml(QTextDocument& doc, const QString& html);

// The fast path only: false (doc left empty) when html holds more than paragraphs of runs.
bool ImportRunsHtml(QTextDocument& doc, QStringView html);
