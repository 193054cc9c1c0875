#include "Startup.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

#include "ExecutablePath.h"
#include "Languages.h"
#include "Shell.h"
#include "VelquinReaderOptions.h"
#include "fmTNEFReaderOptions.h"

#ifndef VELQUIN_WEBSITE
#define VELQUIN_WEBSITE ""
#endif
#ifndef VELQUIN_USER_GUIDE
#define VELQUIN_USER_GUIDE ""
#endif

namespace {

QString FromLocal(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

}  // namespace

std::optional<QString> ShowOptionsDialog(QWidget* owner, bool firstRun) {
  TfrmTNEFReaderOptions dialog(owner);
  if (firstRun) dialog.ShowFirstRunNote();
  if (dialog.RunModal() != QDialog::Accepted) return std::nullopt;
  TVelquinReaderOptions options;
  ApplyLanguage(options.Language());
  return FromLocal(options.Mapi32Path());
}

QString RunStartupSequence(QWidget* mainWindow) {
  InstallTranslationHook();
  bool storeWritable = true;
  // Loaded once on an ordinary start; read again after the first-run dialog, so that what
  // the user chose there holds for this run too.
  std::optional<TVelquinReaderOptions> options;
  try {
    options.emplace();
    if (options->HasShowedOptions()) {
      options->ApplyDatAssociation();
    } else {
      // Marked first, so a store that cannot be written skips the first-run dialog (which
      // could save nothing) and the start goes on with the defaults; the window says why.
      options->SetHasShowedOptions(true);
      const int row = LanguageRowForLocale(SystemDefaultLocaleId());
      if (row >= 0) {
        options->SetLanguage(static_cast<std::uint8_t>(row));
        ApplyLanguage(row);
      }
      options.reset();
      ShowOptionsDialog(mainWindow, true);
    }
  } catch (const ERegistryException&) {
    storeWritable = false;
    options.reset();
  }
  if (!options) options.emplace();
  if (storeWritable) {
    ApplyLanguage(options->Language());
  } else {
    // Nothing was stored: this run still speaks the system's language.
    ApplyLanguage(std::max(0, LanguageRowForLocale(SystemDefaultLocaleId())));
  }
  return FromLocal(options->Mapi32Path());
}

QString WebsiteAddress() {
  const QString configured = QStringLiteral(VELQUIN_WEBSITE);
  if (!configured.isEmpty())
    return configured.contains(QStringLiteral("://")) ? configured : QStringLiteral("http://") + configured;
  // No site configured: the user guide beside the program (build tree or relocated
  // install), then where the install put it.
  const QFileInfo exe(FromLocal(ExecutablePath()));
  const QStringList english{
      QDir::cleanPath(exe.absolutePath() + QStringLiteral("/../share/doc/velquin-reader/user-guide.html")),
      QStringLiteral(VELQUIN_USER_GUIDE)};
  // The guide in the language of the window first (user-guide.fr.html), then in English.
  const QString suffix = QString::fromLatin1(kLanguages[static_cast<std::size_t>(CurrentLanguageRow())].QtLocale);
  QStringList guides;
  if (!suffix.isEmpty())
    for (const QString& guide : english)
      if (!guide.isEmpty()) guides << guide.left(guide.size() - 5) + QLatin1Char('.') + suffix + QStringLiteral(".html");
  guides << english;
  for (const QString& guide : guides)
    if (!guide.isEmpty() && QFileInfo(guide).isFile()) return guide;
  return QString();
}

void actWebsiteExecute() {
  const QString address = WebsiteAddress();
  if (!address.isEmpty()) ShellOpenDocument(QFile::encodeName(address).toStdString());
}
