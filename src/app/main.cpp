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
  // The options dialog is made only when it is shown (first run, or Options...).
  window.show();
  return app.exec();
}
