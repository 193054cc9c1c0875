#pragma once
// What the program does between creating its main window and opening the first file: the
// start-up sequence of the window's first show (first run: language from the system
// locale, options dialog once; later runs: the .dat association brought in line), and the
// two general commands Options and Website.

#include <QString>
#include <optional>

class QWidget;

// The start-up steps of the main window's FormShow, before drops are accepted and the
// command line is opened. Returns the mail library's path for the window. Raises the
// association failure of a later start; the rest of FormShow must then not run.
QString RunStartupSequence(QWidget* mainWindow);

// Shows a fresh options dialog over owner (on the first start with a note saying why). On
// OK the chosen language is applied at once and the stored mail library path is returned;
// on Cancel nothing.
std::optional<QString> ShowOptionsDialog(QWidget* owner, bool firstRun = false);

// The product's web page: the address the build was configured with, else the user guide
// installed with the program. Empty when neither exists.
QString WebsiteAddress();
// Asks the desktop to open the product's web page.
void actWebsiteExecute();
