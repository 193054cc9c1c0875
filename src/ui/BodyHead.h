#pragma once
// Where a long body's first part ends, so that the pane can show it at once while the whole
// body is built. The cut falls just after a block that closes outside every table, so that
// the first part lays out as it will in the whole body.

#include <QStringView>

// The length of the first part of html: at least atLeast characters, ending after the first
// block that closes outside a table from there on. A body that closes no such block soon
// (one long table) is cut after any closing tag once atLeast + slack characters have passed.
// Returns html.size() when the body is no longer than that.
qsizetype BodyHeadLength(QStringView html, qsizetype atLeast, qsizetype slack);
