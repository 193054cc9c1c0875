#pragma once
// The application object of the viewer. Its event dispatch is the last line of defence: a
// failure that escapes a handler is shown in the standard error box and the event loop goes
// on, so no failure ends the program.

#include <QApplication>

class TVelquinApplication : public QApplication {
  Q_OBJECT
public:
  TVelquinApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Installs the desktop shell and the shared MIME database behind the registry's
  // HKEY_CLASSES_ROOT, as the viewer needs them before its window opens.
  static void InstallPlatformServices();

  // SIGTERM, SIGINT and SIGHUP close the windows and end the event loops, so that the
  // program ends the normal way and its temporary folders go with it.
  void EndOnTerminationSignals();
  // The signal that ended the program, 0 when none did.
  int TerminationSignal() const { return FTerminationSignal; }

private:
  int FTerminationSignal = 0;
};
