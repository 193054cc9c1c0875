// The viewer's start: the application object with its title, the main window, the message
// loop until the window closes. --help and --version answer on standard output instead.

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>

#include "Application.h"
#include "DeferredIcons.h"
#include "Languages.h"
#include "Startup.h"
#include "TNEFReaderConst.h"
#include "TempFolder.h"
#include "fmTNEFReader.h"

#ifndef VELQUIN_VERSION
#define VELQUIN_VERSION "0"
#endif

int main(int argc, char** argv) {
  TVelquinApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("velquin-reader"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VELQUIN_VERSION));
  QGuiApplication::setWindowIcon(DeferredSvgIcon(QStringLiteral("velquin-reader")));
  TVelquinApplication::InstallPlatformServices();
  InstallTranslationHook();

  // Only as the sole argument: anything else is a file name, joined as the window does.
  const QStringList arguments = QCoreApplication::arguments().mid(1);
  if (arguments.size() == 1 && (arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h"))) {
    ApplyLanguage(std::max(0, LanguageRowForLocale(SystemDefaultLocaleId())));
    std::fputs(LoadResString(TStringId::ViewerUsage).c_str(), stdout);
    return 0;
  }
  if (arguments.size() == 1 && arguments.first() == QLatin1String("--version")) {
    std::fputs("velquin-reader " VELQUIN_VERSION "\n", stdout);
    return 0;
  }

  // What an earlier run that was killed or crashed left in the temporary folder.
  TPrivateTempFolder::RemoveStaleFolders();
  app.EndOnTerminationSignals();
  int result = 0;
  {
    TfmVelquinDatReader window;
    // The options dialog is made only when it is shown (first run, or Options...).
    window.show();
    // A signal taken while the first show ran a modal dialog (the first run's options) has
    // already ended that dialog's loop; the main loop would start afresh and never end.
    if (app.TerminationSignal() == 0) result = app.exec();
  }  // the window, its readers and their temporary folders go here
  // Ended by a signal: the folders are gone; now end as the signal would have, so that
  // whoever sent it sees it.
  if (const int signo = app.TerminationSignal()) {
    std::signal(signo, SIG_DFL);
    std::raise(signo);
  }
  return result;
}
