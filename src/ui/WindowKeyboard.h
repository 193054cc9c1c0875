#pragma once
// The main window driven from the keyboard: a standard shortcut for every action, toolbar
// buttons in the Tab order, Return on the list opening the selected attachment, and a Tab
// order that reaches every control from the toolbars down to the web pane.

class QAction;
class QMainWindow;
namespace Ui {
class TfmVelquinDatReader;
}

// The window's own actions that have no toolbar button.
struct TWindowActions {
  QAction* Quit = nullptr;
  QAction* About = nullptr;
  // The message pane's zoom: Ctrl++ (and Ctrl+=), Ctrl+- and Ctrl+0.
  QAction* ZoomIn = nullptr;
  QAction* ZoomOut = nullptr;
  QAction* ZoomReset = nullptr;
};

// Gives the form's actions their shortcuts and builds the actions without a button
// (added to window, so their shortcuts work wherever the focus is in it).
TWindowActions SetupKeyboard(QMainWindow& window, Ui::TfmVelquinDatReader& form);
// Texts of the actions made in code, again in the current language.
void RetranslateWindowActions(const TWindowActions& actions);
