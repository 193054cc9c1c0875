#pragma once
// The About box: the program's version, its licence and the project's address.

#include <QString>

class QWidget;

// The project's address, as the package names it.
inline constexpr const char* kProjectAddress = "https://velquin.github.io/reader/";

// The box's rich text in the current language.
QString AboutBoxText();
// Shows the box modally over owner.
void ShowAboutBox(QWidget* owner);
