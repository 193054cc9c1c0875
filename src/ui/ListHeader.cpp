#include "ListHeader.h"

#include <QStyle>
#include <QStyleOptionHeader>
#include <QTreeView>

TListHeader::TListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

TListHeader* TListHeader::Install(QTreeView& view) {
  const QHeaderView* old = view.header();
  auto* header = new TListHeader(&view);
  header->setObjectName(old->objectName());
  header->setSectionsMovable(old->sectionsMovable());
  header->setFirstSectionMovable(old->isFirstSectionMovable());
  header->setStretchLastSection(old->stretchLastSection());
  header->setDefaultAlignment(old->defaultAlignment());
  header->setSectionsClickable(old->sectionsClickable());
  header->setCascadingSectionResizes(old->cascadingSectionResizes());
  header->setMinimumSectionSize(old->minimumSectionSize());
  header->setTextElideMode(old->textElideMode());
  header->setHighlightSections(false);
  view.setHeader(header);
  return header;
}

QSize TListHeader::sizeHint() const {
  if (!model()) return QHeaderView::sizeHint();
  // The base class's measure (the first hundred shown sections), in the header's own face.
  ensurePolished();
  QSize hint(0, 0);
  for (int section = 0, checked = 0; section < count() && checked < 100; ++section) {
    if (isSectionHidden(section)) continue;
    ++checked;
    const QVariant size = model()->headerData(section, orientation(), Qt::SizeHintRole);
    if (size.isValid()) {
      hint = hint.expandedTo(size.toSize());
      continue;
    }
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.section = section;
    const QVariant font = model()->headerData(section, orientation(), Qt::FontRole);
    option.fontMetrics = QFontMetrics(font.canConvert<QFont>() ? font.value<QFont>() : this->font());
    option.text = model()->headerData(section, orientation(), Qt::DisplayRole).toString();
    const QVariant decoration = model()->headerData(section, orientation(), Qt::DecorationRole);
    option.icon = decoration.value<QIcon>();
    if (option.icon.isNull()) option.icon = decoration.value<QPixmap>();
    if (isSortIndicatorShown()) option.sortIndicator = QStyleOptionHeader::SortDown;
    hint = hint.expandedTo(style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this));
  }
  return hint;
}
