#pragma once
// The chooser of a mailbox (or a mail with several winmail.dat parts): one row per part
// with the subject, sender and date of the mail around it. The window opens the row chosen.

#include <functional>

class QDialog;
class QWidget;
class TMailFile;

// Runs the chooser over mail, modal to parent. Returns the entry chosen, or -1 when the
// user cancels. onShown, when given, is called with the dialog once it is up (for tests).
int ChooseMailEntry(QWidget* parent, const TMailFile& mail,
                    const std::function<void(QDialog&)>& onShown = {});
