#pragma once
// What assistive technology hears of the main window: a name and description for the list,
// the message pane and the web pane, and the picture preview exposed as an image named
// after the file it shows.

#include <QString>

class QWidget;
namespace Ui {
class TfmVelquinDatReader;
}

// Gives the window's own controls their accessible kinds. Called before the form is built:
// with assistive technology running, Qt describes each label as soon as its text is set.
void InstallWindowAccessibility();
// Names every control (again after a language switch).
void NameWindowControls(Ui::TfmVelquinDatReader& form);
// The preview's name for the attachment shown (empty: no picture).
void NamePreview(Ui::TfmVelquinDatReader& form, const QString& fileName);
