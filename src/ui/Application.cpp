#include "Application.h"

#include <QSocketNotifier>
#include <QWidget>
#include <memory>

#include "DeferredIcons.h"
#include "ErrorBox.h"
#include "MimeClassesRootProvider.h"
#include "QtShell.h"
#include "TerminationSignals.h"

TVelquinApplication::TVelquinApplication(int& argc, char** argv) : QApplication(argc, argv) { DeferStyleIcons(); }

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

void TVelquinApplication::EndOnTerminationSignals() {
  const int fd = InstallTerminationSignals();
  if (fd < 0) return;
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    const int signo = TakeTerminationSignal();
    if (signo == 0 || FTerminationSignal != 0) return;
    FTerminationSignal = signo;
    // Every event loop ends, a modal dialog's too; the windows are closed first so that
    // they save what they keep.
    closeAllWindows();
    quit();
  });
}
