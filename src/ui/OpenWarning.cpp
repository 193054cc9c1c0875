#include "OpenWarning.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSet>

#include "TNEFReaderConst.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }

TOpenWarningHook& Hook() {
  static TOpenWarningHook hook;
  return hook;
}

// Extensions whose files the desktop runs, or hands to something that runs code: Windows
// programs and scripts (a Wine or Mono setup runs them too), Unix scripts and packages,
// launchers, and Office documents with macros.
const QSet<QString>& RiskyExtensions() {
  static const QSet<QString> kRisky{
      // Windows programs, installers and libraries
      "exe", "com", "scr", "pif", "cpl", "msi", "msp", "mst", "msc", "dll", "ocx", "sys", "drv",
      "application", "appref-ms", "gadget", "appx", "msix", "appxbundle",
      // Windows scripts and batch files
      "bat", "cmd", "js", "jse", "vbs", "vbe", "vb", "wsf", "wsh", "ws", "wsc", "ps1", "ps1xml", "ps2",
      "psm1", "psd1", "hta", "sct", "reg", "inf", "chm", "hlp", "scf", "shb", "shs", "mht", "mhtml",
      // shortcuts and launchers
      "lnk", "url", "desktop", "website", "iso", "img", "vhd", "vhdx",
      // Java, .NET and other runtimes
      "jar", "jnlp", "class", "py", "pyc", "pyw", "pl", "rb", "php", "lua", "tcl",
      // Unix scripts, programs and packages
      "sh", "bash", "csh", "ksh", "zsh", "fish", "command", "run", "bin", "elf", "so",
      "appimage", "deb", "rpm", "snap", "flatpak", "flatpakref", "apk",
      // Office documents and add-ins with macros
      "docm", "dotm", "xlsm", "xltm", "xlsb", "xlam", "xla", "pptm", "potm", "ppam", "ppsm", "sldm",
      "ppa", "accdb", "mdb", "mde", "accde", "odb",
  };
  return kRisky;
}

bool IsBidiControl(char16_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

// Windows drops trailing dots and spaces from a name, so "setup.exe. " is setup.exe.
QString RealExtension(const QString& name) {
  qsizetype end = name.size();
  while (end > 0 && (name.at(end - 1) == QLatin1Char('.') || name.at(end - 1).isSpace())) --end;
  const QString trimmed = name.left(end);
  const qsizetype dot = trimmed.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : trimmed.mid(dot + 1).toLower();
}

// A run this long pushes the end of a name out of a list column or a dialog.
constexpr int kHidingSpaces = 4;

}  // namespace

bool HidesItsExtension(const QString& name) {
  int spaces = 0;
  for (const QChar c : name) {
    if (IsBidiControl(c.unicode())) return true;
    spaces = c.isSpace() ? spaces + 1 : 0;
    if (spaces >= kHidingSpaces) return true;
  }
  return false;
}

bool CanRunCode(const QString& name) {
  return RiskyExtensions().contains(RealExtension(name)) || HidesItsExtension(name);
}

QString NeutralisedName(const QString& name) {
  QString shown = name;
  for (QChar& c : shown)
    if (IsBidiControl(c.unicode())) c = QChar(0xFFFD);
  return shown;
}

bool LooksExecutable(const QByteArray& head) {
  return head.startsWith("MZ") || head.startsWith("\x7F" "ELF") || head.startsWith("#!");
}

bool ConfirmOpenAttachment(QWidget* owner, const QString& name, const QByteArray& head) {
  if (!CanRunCode(name) && !LooksExecutable(head)) return true;
  const QString shown = NeutralisedName(name);
  QString text = QString::fromUtf8(FormatRes(TStringId::OpenWarningText, {Arg(shown.toStdString())}));
  if (HidesItsExtension(name)) {
    const QString extension = QLatin1Char('.') + RealExtension(name);
    text += QStringLiteral("\n\n") +
            QString::fromUtf8(FormatRes(TStringId::OpenWarningSpoofed,
                                        {Arg(shown.simplified().toStdString()), Arg(extension.toStdString())}));
  }
  if (Hook()) return Hook()(text);

  QMessageBox box(QMessageBox::Warning, Res(TStringId::AppTitle), text, QMessageBox::NoButton, owner);
  box.setObjectName(QStringLiteral("OpenWarning"));
  QPushButton* open = box.addButton(Res(TStringId::AnswerOpenAnyway), QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(Res(TStringId::AnswerCancel), QMessageBox::RejectRole);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == open;
}

void SetOpenWarningHook(TOpenWarningHook hook) { Hook() = std::move(hook); }
