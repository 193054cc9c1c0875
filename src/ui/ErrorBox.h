#pragma once
// The standard error box: a failure that reaches a handler of the user interface is shown
// in a message box (caption: the application title, error icon, OK) and the interrupted
// action is abandoned; the program goes on.

#include <QString>
#include <exception>
#include <functional>

class QWidget;

// The failure's message as the box shows it: "." appended when the last character sorts
// after ".".
QString ErrorBoxText(const QString& message);

// Shows the box modally over parent.
void ShowErrorBox(QWidget* parent, const QString& message);

// The text of any failure (the general exception's message, or a generic one).
QString FailureMessage(const std::exception& e);

// Replaces the box (tests record the messages instead of answering a modal box); an empty
// function restores the real box.
using TErrorBoxHook = std::function<void(QWidget* parent, const QString& text)>;
void SetErrorBoxHook(TErrorBoxHook hook);

// Runs a handler; a failure inside it goes to the error box instead of leaving the event
// loop.
template <class F>
void RunHandler(QWidget* parent, F&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowErrorBox(parent, FailureMessage(e));
  } catch (...) {
    ShowErrorBox(parent, QString());
  }
}
