#pragma once
// Zoom of a shown body in place: the sizes the body gave (fonts in pixels or points, pictures,
// paragraph margins) are scaled in the document itself, which is never imported again. Each
// scaled size keeps its original beside it, so that zooming back and forth does not drift.

#include <QFont>

class QTextDocument;

// Scales every explicit size of doc to percent of its original, and the default font to
// percent of base. Linear in the document's fragments and blocks.
void ZoomDocument(QTextDocument& doc, const QFont& base, int percent);
// base scaled to percent.
QFont ZoomedFont(const QFont& base, int percent);
