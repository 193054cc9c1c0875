#include "Application.h"

#include <QWidget>
#include <memory>

#include "ErrorBox.h"
#include "MimeClassesRootProvider.h"
#include "QtShell.h"

TVelquinApplication::TVelquinApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TVelquinApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowErrorBox(activeWindow(), FailureMessage(e));
  } catch (...) {
    ShowErrorBox(activeWindow(), QString());
  }
  return false;
}

void TVelquinApplication::InstallPlatformServices() {
  SetShell(std::make_shared<TQtShell>());
  SetClassesRootProvider(std::make_shared<TMimeClassesRootProvider>());
}
