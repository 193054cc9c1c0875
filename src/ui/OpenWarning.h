#pragma once
// The question asked before an attachment that can run code is handed to the desktop, and
// the neutralised form in which attachment names are shown.
//
// An attachment's name comes from a stranger. Programs, scripts, installers, shortcuts,
// desktop entries and documents with macros run code when the desktop opens them, and a
// name can disguise its real extension with right-to-left marks ("photo<RLO>gpj.exe" reads
// "photoexe.jpg") or a long run of spaces that pushes ".exe" out of sight.

#include <QByteArray>
#include <QString>
#include <functional>

class QWidget;

// True when the desktop would run code to open a file of this name: its real extension
// (the text after the last dot, ignoring trailing dots and spaces, in any case) is one of
// the executable kinds, or the name disguises its extension.
bool CanRunCode(const QString& name);
// True when the name holds bidirectional controls or a run of spaces that hide its end.
bool HidesItsExtension(const QString& name);
// The name with every bidirectional control shown as U+FFFD, so that the text reads in
// the order its characters are stored.
QString NeutralisedName(const QString& name);

// True when the first bytes of a file are those of a program or a script, whatever its
// name: a Windows program ("MZ"), an ELF program, a script's "#!" line.
bool LooksExecutable(const QByteArray& head);
// How many leading bytes LooksExecutable needs.
inline constexpr int kExecutableHeadSize = 4;

// Asks, over owner, whether the attachment name (whose first bytes are head) may be opened;
// the default answer is Cancel. True, without asking, for files that cannot run code.
bool ConfirmOpenAttachment(QWidget* owner, const QString& name, const QByteArray& head = {});

// Replaces the box (tests answer through it): gets the question's text, returns whether
// to open. An empty function restores the real box.
using TOpenWarningHook = std::function<bool(const QString& text)>;
void SetOpenWarningHook(TOpenWarningHook hook);
