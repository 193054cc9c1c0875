#pragma once
// The attachment list's column header. Qt measures header sections in the bold face of the
// header's font, in case a section is drawn highlighted, and that face is a font of its own to
// look up and load at start-up, where nothing else draws bold. This header highlights no
// section, draws its captions in its regular face and so takes its height from that face. A
// section sized to its contents (a double click on its divider) is still measured as Qt does.

#include <QHeaderView>

class QTreeView;

class TListHeader final : public QHeaderView {
public:
  explicit TListHeader(QWidget* parent = nullptr);

  // Puts a new header in place of the view's own, with the view's header settings.
  static TListHeader* Install(QTreeView& view);

  QSize sizeHint() const override;
};
