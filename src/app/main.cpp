// The viewer's start: the application object with its title, the main window, the message
// loop until the window closes. --help and --version answer on standard output instead.

#include <algorithm>
#include <cstdio>
#include <string>

#include "Application.h"
#include "DeferredIcons.h"
#include "Languages.h"
#include "Startup.h"
#include "TNEFReaderConst.h"
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

  TfmVelquinDatReader window;
  // The options dialog is made only when it is shown (first run, or Options...).
  window.show();
  return app.exec();
}
