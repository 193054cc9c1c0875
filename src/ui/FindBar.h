#pragma once
// The find bar over the message body: a field, Previous and Next, the number of matches and
// a close button. Every match is highlighted (up to kMaxHighlights) and Next/Previous select
// the following or preceding one, wrapping at the ends, so that Ctrl+C copies it.
//
// A body can hold tens of millions of characters: each search is one pass over the
// document from its start, stopping at the cap, and a search while typing waits for a pause.

#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QTextEdit;
class QTimer;
class QToolButton;

class TFindBar : public QWidget {
  Q_OBJECT
public:
  static constexpr int kMaxHighlights = 1000;
  static constexpr int kTypingPauseMs = 200;

  // Searches view's document; Ctrl+F, F3 and Shift+F3 are actions of window.
  TFindBar(QTextEdit* view, QWidget* window, QWidget* parent = nullptr);

  // Shows the bar with the field focused and its text selected; a one-line selection in the
  // body becomes the text to find.
  void Open();
  // Hides the bar, drops the highlights and gives the focus back to the body.
  void Close();
  // Selects the next (or previous) match after (before) the body's cursor, wrapping once
  // around the document. False when there is none.
  bool FindNext(bool backward = false);
  // Highlights the matches of the field's text now (typing waits for a pause).
  void Highlight();
  // How many matches are highlighted; kMaxHighlights when there are at least that many.
  int HighlightCount() const { return FHighlights; }

  QLineEdit& Field() const { return *FField; }
  QLabel& Status() const { return *FStatus; }
  QAction& FindAction() const { return *FActFind; }
  QAction& NextAction() const { return *FActNext; }
  QAction& PreviousAction() const { return *FActPrevious; }
  // Texts again in the current language.
  void Retranslate();
  // Enables Ctrl+F, F3 and Shift+F3 while a message is shown; closes the bar otherwise.
  void SetAvailable(bool available);

private:
  void UpdateStatus();

  QTextEdit* FView;
  QLabel* FLabel = nullptr;
  QLineEdit* FField = nullptr;
  QToolButton* FPrevious = nullptr;
  QToolButton* FNext = nullptr;
  QToolButton* FClose = nullptr;
  QLabel* FStatus = nullptr;
  QTimer* FTyping = nullptr;
  QAction* FActFind = nullptr;
  QAction* FActNext = nullptr;
  QAction* FActPrevious = nullptr;
  int FHighlights = 0;
  bool FNotFound = false;
};
