// The viewer's start: the application object with its title, the main window, the message
// loop until the window closes.

#include <QIcon>

#include "Application.h"
#include "Languages.h"
#include "Startup.h"
#include "TNEFReaderConst.h"
#include "fmTNEFReader.h"

int main(int argc, char** argv) {
  TVelquinApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("velquin-reader"));
  QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velquin-reader.svg")));
  TVelquinApplication::InstallPlatformServices();
  InstallTranslationHook();

  TfmVelquinDatReader window;
  // Made with the window, before the message loop: its creation reads the options.
  CreateStartupOptionsDialog(&window);
  window.show();
  return app.exec();
}
