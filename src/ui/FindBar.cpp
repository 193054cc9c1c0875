#include "FindBar.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "DeferredIcons.h"
#include "TNEFReaderConst.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }

// The highlight of every match: the desktop's highlight colour, lighter than the selection
// of the current match so that the two stay apart.
QTextCharFormat HighlightFormat(const QPalette& palette) {
  QTextCharFormat format;
  QColor colour = palette.color(QPalette::Highlight);
  colour.setAlpha(80);
  format.setBackground(colour);
  return format;
}

}  // namespace

TFindBar::TFindBar(QTextEdit* view, QWidget* window, QWidget* parent) : QWidget(parent), FView(view) {
  setObjectName(QStringLiteral("FindBar"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 4);
  layout->setSpacing(4);
  FLabel = new QLabel(this);
  FField = new QLineEdit(this);
  FField->setObjectName(QStringLiteral("edtFind"));
  FLabel->setBuddy(FField);
  auto button = [this](const char* name, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(DeferredIcon([icon] { return QApplication::style()->standardIcon(icon); }));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
  };
  FPrevious = button("btnFindPrevious", QStyle::SP_ArrowUp);
  FNext = button("btnFindNext", QStyle::SP_ArrowDown);
  FStatus = new QLabel(this);
  FStatus->setObjectName(QStringLiteral("lblFindStatus"));
  FClose = button("btnFindClose", QStyle::SP_DialogCloseButton);
  layout->addWidget(FLabel);
  layout->addWidget(FField, 1);
  layout->addWidget(FPrevious);
  layout->addWidget(FNext);
  layout->addWidget(FStatus);
  layout->addWidget(FClose);
  hide();

  // The window's actions: their keys work wherever the focus is in the window.
  auto action = [window](const char* name, const QKeySequence& key) {
    auto* a = new QAction(window);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    a->setEnabled(false);
    window->addAction(a);
    return a;
  };
  FActFind = action("actFind", QKeySequence(Qt::CTRL | Qt::Key_F));
  FActNext = action("actFindNext", QKeySequence(Qt::Key_F3));
  FActPrevious = action("actFindPrevious", QKeySequence(Qt::SHIFT | Qt::Key_F3));
  connect(FActFind, &QAction::triggered, this, &TFindBar::Open);
  // F3 with nothing to find opens the bar, as Ctrl+F does.
  connect(FActNext, &QAction::triggered, this, [this] { FField->text().isEmpty() ? Open() : (void)FindNext(false); });
  connect(FActPrevious, &QAction::triggered, this, [this] { FField->text().isEmpty() ? Open() : (void)FindNext(true); });
  connect(FNext, &QToolButton::clicked, this, [this] { FindNext(false); });
  connect(FPrevious, &QToolButton::clicked, this, [this] { FindNext(true); });
  connect(FClose, &QToolButton::clicked, this, &TFindBar::Close);

  // Return finds the next match, Shift+Return the previous one; Escape closes.
  for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
    auto* next = new QShortcut(QKeySequence(key), FField, nullptr, nullptr, Qt::WidgetShortcut);
    connect(next, &QShortcut::activated, this, [this] { FindNext(false); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | key), FField, nullptr, nullptr, Qt::WidgetShortcut);
    connect(previous, &QShortcut::activated, this, [this] { FindNext(true); });
  }
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
  connect(escape, &QShortcut::activated, this, &TFindBar::Close);

  FTyping = new QTimer(this);
  FTyping->setSingleShot(true);
  FTyping->setInterval(kTypingPauseMs);
  connect(FTyping, &QTimer::timeout, this, &TFindBar::Highlight);
  connect(FField, &QLineEdit::textEdited, this, [this] {
    FNotFound = false;
    FTyping->start();
  });
  // A new body (another message, or a long body's whole after its first part) is searched
  // again; the old highlights pointed into the document it replaced.
  connect(FView, &QTextEdit::textChanged, this, [this] {
    if (!isHidden()) FTyping->start();
  });
  Retranslate();
}

void TFindBar::Retranslate() {
  FLabel->setText(Res(TStringId::FindLabel));
  FPrevious->setToolTip(Res(TStringId::FindPrevious) + QStringLiteral(" (Shift+F3)"));
  FNext->setToolTip(Res(TStringId::FindNext) + QStringLiteral(" (F3)"));
  FClose->setToolTip(Res(TStringId::FindClose) + QStringLiteral(" (Esc)"));
  FActFind->setText(Res(TStringId::ActionFind));
  FActNext->setText(Res(TStringId::FindNext));
  FActPrevious->setText(Res(TStringId::FindPrevious));
  // What a screen reader says of each control.
  FField->setAccessibleName(Res(TStringId::AccessibleFindField));
  FField->setAccessibleDescription(Res(TStringId::AccessibleFindFieldDescription));
  FPrevious->setAccessibleName(Res(TStringId::FindPrevious));
  FPrevious->setAccessibleDescription(FPrevious->toolTip());
  FNext->setAccessibleName(Res(TStringId::FindNext));
  FNext->setAccessibleDescription(FNext->toolTip());
  FClose->setAccessibleName(Res(TStringId::FindClose));
  FClose->setAccessibleDescription(FClose->toolTip());
  FStatus->setAccessibleName(Res(TStringId::AccessibleFindStatus));
  UpdateStatus();
}

void TFindBar::SetAvailable(bool available) {
  for (QAction* a : {FActFind, FActNext, FActPrevious}) a->setEnabled(available);
  if (!available && !isHidden()) {
    FTyping->stop();
    FView->setExtraSelections({});
    FHighlights = 0;
    hide();
  }
}

void TFindBar::Open() {
  if (!FActFind->isEnabled()) return;
  const QString selected = FView->textCursor().selectedText();
  // A selection over several paragraphs holds U+2029 between them: not a text to find.
  if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) && selected.size() <= 200) {
    FField->setText(selected);
    FNotFound = false;
  }
  // The clear button's icon is loaded only once the bar is first wanted, not at start-up.
  FField->setClearButtonEnabled(true);
  show();
  FField->setFocus(Qt::ShortcutFocusReason);
  FField->selectAll();
  Highlight();
}

void TFindBar::Close() {
  FTyping->stop();
  FView->setExtraSelections({});
  FHighlights = 0;
  hide();
  FView->setFocus(Qt::OtherFocusReason);
}

void TFindBar::Highlight() {
  FTyping->stop();
  QList<QTextEdit::ExtraSelection> selections;
  const QString text = FField->text();
  if (!text.isEmpty()) {
    QTextDocument* doc = FView->document();
    const QTextCharFormat format = HighlightFormat(FView->palette());
    // One pass from the start; each search goes on from the end of the last match.
    QTextCursor found = doc->find(text, 0);
    while (!found.isNull() && selections.size() < kMaxHighlights) {
      selections.append({found, format});
      found = doc->find(text, found);
    }
  }
  FHighlights = static_cast<int>(selections.size());
  FView->setExtraSelections(selections);
  UpdateStatus();
}

bool TFindBar::FindNext(bool backward) {
  if (FTyping->isActive()) Highlight();
  const QString text = FField->text();
  if (text.isEmpty()) return false;
  QTextDocument* doc = FView->document();
  const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  QTextCursor found = doc->find(text, FView->textCursor(), flags);
  if (found.isNull()) {
    // Once around: from the other end of the document.
    QTextCursor end(doc);
    if (backward) end.movePosition(QTextCursor::End);
    found = doc->find(text, end, flags);
  }
  FNotFound = found.isNull();
  if (!FNotFound) {
    FView->setTextCursor(found);
    FView->ensureCursorVisible();
  }
  UpdateStatus();
  return !FNotFound;
}

void TFindBar::UpdateStatus() {
  QString status;
  if (!FField->text().isEmpty()) {
    if (FHighlights == 0 || FNotFound) status = Res(TStringId::FindNoMatch);
    else if (FHighlights >= kMaxHighlights)
      status = QString::fromUtf8(FormatRes(TStringId::FindManyMatches, {Arg(kMaxHighlights)}));
    else if (FHighlights == 1) status = Res(TStringId::FindOneMatch);
    else status = QString::fromUtf8(FormatRes(TStringId::FindMatches, {Arg(FHighlights)}));
  }
  FStatus->setText(status);
}
